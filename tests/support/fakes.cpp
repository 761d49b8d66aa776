#include "support/fakes.h"

#include "platform/channelslider.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

namespace tintara::test {

QString MemorySettingsStore::read(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue)
{
    Q_UNUSED(application);
    return values.value(section + QLatin1Char('/') + key, defaultValue);
}

void MemorySettingsStore::write(const QString& application, const QString& section,
                                const QString& key, const QString& value)
{
    Q_UNUSED(application);
    const QString path = section + QLatin1Char('/') + key;
    values.insert(path, value);
    writes << path + QLatin1Char('=') + value;
}

bool MemorySettingsStore::commit(QString* where)
{
    ++commits;
    if (where)
        where->clear();
    return true;
}

QString FakeFileChooser::chooseOpenFile(QWidget*, const OpenFileRequest& request)
{
    openRequests << request;
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString FakeFileChooser::chooseSaveFile(QWidget*, const SaveFileRequest& request)
{
    saveRequests << request;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

TestWindow::TestWindow(const QMap<QString, QString>& stored)
{
    auto store = std::make_unique<MemorySettingsStore>();
    store->values = stored;
    m_store = store.get();
    auto files = std::make_unique<FakeFileChooser>();
    m_files = files.get();
    TintaraServices services;
    services.settings = std::move(store);
    services.files = std::move(files);
    services.openUrl = [opened = m_openedUrls](const QUrl& url) {
        *opened << url;
        return true;
    };
    m_window = std::make_unique<Tintara>(std::move(services));
    m_window->Form_Load();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("main window was not exposed");
}

std::array<int, 6> TestWindow::channels() const
{
    std::array<int, 6> values{};
    for (int i = 0; i < 6; ++i)
        values[i] = m_window->ui().Slider1[i]->value();
    return values;
}

void TestWindow::setChannels(const std::array<int, 6>& values) const
{
    for (int i = 0; i < 6; ++i)
        m_window->ui().Slider1[i]->setValue(values[i]);
}

SettingsFolder::SettingsFolder()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path());
}

SettingsFolder::~SettingsFolder()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       qEnvironmentVariable("XDG_CONFIG_HOME"));
}

QString SettingsFolder::file() const
{
    return m_dir.filePath(QStringLiteral("Tintara/Tintara.conf"));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

} // namespace tintara::test
