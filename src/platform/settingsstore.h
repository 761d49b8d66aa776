#pragma once

#include <QString>
#include <memory>

class QLockFile;
class QObject;
class QSettings;

namespace tintara {

// A per-user store of text values addressed by section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or defaultValue when the key or its section does not exist.
    virtual QString read(const QString& section, const QString& key,
                         const QString& defaultValue) = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
    // Makes the writes so far permanent. On failure returns false and names, in *where, what
    // could not be written.
    virtual bool commit(QString* where)
    {
        Q_UNUSED(where);
        return true;
    }
    // Reads the store afresh from now on: another copy of the program may have written it. Until
    // the next commit, no other copy commits.
    virtual void reload() {}
};

// The system's per-user settings: on Linux the file <config>/<application>/<application>.conf,
// one [section] per section, each value as plain text. The file is replaced as a whole on commit,
// never left half-written, and keys this program does not write are kept.
class NativeSettingsStore final : public SettingsStore
{
public:
    explicit NativeSettingsStore(const QString& application);
    ~NativeSettingsStore() override;

    QString read(const QString& section, const QString& key, const QString& defaultValue) override;
    void write(const QString& section, const QString& key, const QString& value) override;
    bool commit(QString* where) override;
    void reload() override;

private:
    std::unique_ptr<QObject> m_commitOnly;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<QLockFile> m_guard;
    bool m_uncommitted = false;
};

} // namespace tintara
