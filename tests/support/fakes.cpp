#include "support/fakes.h"

#include "output/showhtml.h"
#include "preview/colorcode.h"
#include "support/modal.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>

namespace tintara::test {

Channels channelsOf(const Tintara& window)
{
    Channels values{};
    for (int i = 0; i < 6; ++i)
        values[i] = window.ui().Slider1[i]->value();
    return values;
}

TestWindow::TestWindow(const QMap<QString, QString>& stored)
{
    TintaraServices services;
    services.settings = std::make_unique<MemorySettingsStore>();
    m_store = static_cast<MemorySettingsStore*>(services.settings.get());
    m_store->values = stored;
    services.files = std::make_unique<FakeFileChooser>();
    m_files = static_cast<FakeFileChooser*>(services.files.get());
    services.openUrl = [opened = m_openedUrls](const QUrl& url) {
        *opened << url;
        return true;
    };
    services.termination = std::make_unique<TerminationRequests>();
    m_termination = services.termination.get();
    services.screenPicker = std::make_unique<FakeScreenPicker>();
    m_picker = static_cast<FakeScreenPicker*>(services.screenPicker.get());
    m_window = std::make_unique<Tintara>(std::move(services));
    m_window->Form_Load();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("main window was not exposed");
}

void TestWindow::setChannels(const Channels& values) const
{
    m_window->ui().ColorCode[0]->setText(colorCode(values[0], values[1], values[2]));
    m_window->ui().ColorCode[1]->setText(colorCode(values[3], values[4], values[5]));
}

std::unique_ptr<Tintara> startProgram()
{
    auto window = std::make_unique<Tintara>();
    window->Form_Load();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("main window was not exposed");
    return window;
}

QString generatePage(Tintara& window)
{
    onModal<ShowHTML>([](ShowHTML*) {});
    window.ui().HTMLBtn->click();
    return window.m_GenHTML;
}

SettingsFolder::SettingsFolder(const QString& folder)
    : m_path(folder.isEmpty() ? m_dir.path() : folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_path);
}

SettingsFolder::~SettingsFolder()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       qEnvironmentVariable("XDG_CONFIG_HOME"));
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

QImage patternPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, (x + y) % 2 ? 200 : 90));
    return image;
}

QByteArray encodedPicture(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString savePicture(const QTemporaryDir& dir, const QString& name, const QImage& image,
                    const char* format)
{
    const QString path = dir.filePath(name);
    if (!writeFile(path, encodedPicture(image, format)))
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

int countPixels(const QImage& image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color;
    return count;
}

void waitForVerdict(const Tintara& window)
{
    QTRY_VERIFY(!window.checkUi().status->text().contains(u"分析"_s));
}

QString showLongestStatusLine(const TestWindow& w, const QTemporaryDir& dir)
{
    QImage white(2, 2, QImage::Format_RGB32);
    white.fill(kWhite);
    dropFiles(w->ui().Picture1, {savePicture(dir, u"white.png"_s, white, "png")});
    waitForVerdict(*w);
    w->ui().ColorCode[0]->setText(u"#777777"_s);
    w->checkUi().vision[1]->trigger();
    QString cut;
    for (const QLabel* label : w->statusBar()->findChildren<QLabel*>()) {
        if (!label->isVisible())
            continue;
        const QStringList lines = label->text().split(u'\n');
        const QRect room = label->contentsRect().adjusted(label->indent(), 0, 0, 0);
        for (const QString& line : lines) {
            if (label->fontMetrics().horizontalAdvance(line) > room.width())
                cut += line + u" is cut\n"_s;
        }
        if (lines.size() * label->fontMetrics().lineSpacing() > room.height())
            cut += label->text() + u" is cut below\n"_s;
        if (!w->rect().contains(QRect(label->mapTo(w.get(), QPoint(0, 0)), label->size())))
            cut += label->text() + u" is outside the window\n"_s;
    }
    return cut;
}

} // namespace tintara::test
