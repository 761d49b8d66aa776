#pragma once

#include "app/tintara.h"
#include "platform/filechooser.h"
#include "platform/settingsstore.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace tintara::test {

// Settings kept in memory, keyed "section/key"; every write is also logged in order, and every
// commit counted.
class MemorySettingsStore final : public SettingsStore
{
public:
    QMap<QString, QString> values;
    QStringList writes;
    int commits = 0;

    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
    bool commit(QString* where) override;
};

// Answers the open and save dialogs from queues filled by the test; an empty answer, or an empty
// queue, is a cancelled dialog. Every request is kept.
class FakeFileChooser final : public FileChooser
{
public:
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<OpenFileRequest> openRequests;
    QList<SaveFileRequest> saveRequests;

    QString chooseOpenFile(QWidget* parent, const OpenFileRequest& request) override;
    QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request) override;
};

// A main window over an in-memory store, started and shown offscreen.
class TestWindow
{
public:
    explicit TestWindow(const QMap<QString, QString>& stored = {});

    Tintara* operator->() const { return m_window.get(); }
    Tintara& operator*() const { return *m_window; }
    Tintara* get() const { return m_window.get(); }
    MemorySettingsStore& store() const { return *m_store; }
    FakeFileChooser& files() const { return *m_files; }
    // Web addresses the window asked the desktop to open; none is really opened.
    const QList<QUrl>& openedUrls() const { return *m_openedUrls; }

    // Channel values in slider order: fore red, green, blue, back red, green, blue.
    std::array<int, 6> channels() const;
    void setChannels(const std::array<int, 6>& values) const;

private:
    MemorySettingsStore* m_store = nullptr;
    FakeFileChooser* m_files = nullptr;
    std::shared_ptr<QList<QUrl>> m_openedUrls = std::make_shared<QList<QUrl>>();
    std::unique_ptr<Tintara> m_window;
};

// Points the native settings store at a fresh folder for as long as it lives.
class SettingsFolder
{
public:
    SettingsFolder();
    ~SettingsFolder();
    QString path() const { return m_dir.path(); }
    // Where the program's settings file goes.
    QString file() const;

private:
    QTemporaryDir m_dir;
};

// Whole-file helpers; writeFile creates the folders on the way.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

} // namespace tintara::test
