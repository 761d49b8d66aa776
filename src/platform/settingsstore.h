#pragma once

#include <QString>
#include <QStringList>
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
    // Makes the writes so far permanent. On failure returns false and says what could not be
    // written, and why in a few words the user understands.
    virtual bool commit(QString* where, QString* why)
    {
        Q_UNUSED(where);
        Q_UNUSED(why);
        return true;
    }
    // Reads the store afresh from now on: another copy of the program may have written it. Until
    // the next commit, no other copy commits.
    virtual void reload() {}
    // Something the user should hear once about the store itself, or nothing.
    virtual QString takeNotice() { return {}; }
};

// The system's per-user settings: on Linux the file <config>/<application>/<application>.conf,
// one [section] per section, each value as plain text. The file is replaced as a whole on commit,
// never left half-written, and keys this program does not write are kept. A file that cannot be
// read as settings is kept as it was under a new name beside it, and the store starts empty.
class NativeSettingsStore final : public SettingsStore
{
public:
    // The sections named are the program's own: what can be read of them is kept from a file
    // that cannot be read whole.
    NativeSettingsStore(const QString& application, const QStringList& ownSections);
    ~NativeSettingsStore() override;

    QString read(const QString& section, const QString& key, const QString& defaultValue) override;
    void write(const QString& section, const QString& key, const QString& value) override;
    bool commit(QString* where, QString* why) override;
    void reload() override;
    QString takeNotice() override;

private:
    void setDamagedFileAside();

    QStringList m_ownSections;

    std::unique_ptr<QObject> m_commitOnly;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<QLockFile> m_guard;
    bool m_uncommitted = false;
    QString m_notice;
    // Why the file could not be used, when it is still in the way.
    QString m_damage;
};

} // namespace tintara
