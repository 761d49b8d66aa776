#pragma once

#include "app/tintara.h"
#include "eyedropper/screencolorpicker.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/filechooser.h"
#include "platform/settingsstore.h"
#include "platform/terminationsignals.h"
#include "support/input.h"
#include "support/modal.h"
#include "support/testmain.h"

// The controls the tests reach through ui(), and what the tests use all around.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace tintara::test {

using namespace Qt::StringLiterals;

// Channel values in slider order: fore red, green, blue, back red, green, blue.
using Channels = std::array<int, 6>;
inline constexpr Channels kFirstStart{0, 0, 0, 255, 255, 255};
inline constexpr QRgb kWhite = qRgb(255, 255, 255);
// Stored settings that start the window in full colour mode instead of web-safe.
inline const QMap<QString, QString> kFullColor{{u"pass/w216"_s, u"False"_s}};

// Settings kept in memory, keyed "section/key"; every write is also logged in order, and every
// commit counted.
class MemorySettingsStore final : public SettingsStore
{
public:
    QMap<QString, QString> values;
    QStringList writes;
    int commits = 0;

    QString read(const QString& section, const QString& key, const QString& defaultValue) override
    {
        return values.value(section + u'/' + key, defaultValue);
    }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        values.insert(section + u'/' + key, value);
        writes << section + u'/' + key + u'=' + value;
    }
    bool commit(QString*, QString*) override
    {
        ++commits;
        return true;
    }
};

// Answers the open and save dialogs from queues filled by the test; an empty answer, or an empty
// queue, is a cancelled dialog. Every save request is kept.
class FakeFileChooser final : public FileChooser
{
public:
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<OpenFileRequest> openRequests;
    QList<SaveFileRequest> saveRequests;

    QString chooseOpenFile(QWidget*, const OpenFileRequest& request) override
    {
        openRequests << request;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString chooseSaveFile(QWidget*, const SaveFileRequest& request) override
    {
        saveRequests << request;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};

// Answers the screen picker at once, with the colour queued by the test, or a failure's
// message; with neither the answer is the test's to emit later.
class FakeScreenPicker final : public ScreenColorPicker
{
public:
    std::optional<QColor> color;
    QString failure;
    int starts = 0;

    void start() override
    {
        ++starts;
        if (color)
            emit picked(*std::exchange(color, std::nullopt));
        else if (!failure.isEmpty())
            emit failed(failure);
    }
};

Channels channelsOf(const Tintara& window);

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
    // Stands in for the system's signals to end the program.
    TerminationRequests& termination() const { return *m_termination; }
    FakeScreenPicker& picker() const { return *m_picker; }
    // Web addresses the window asked the desktop to open; none is really opened.
    const QList<QUrl>& openedUrls() const { return *m_openedUrls; }

    Channels channels() const { return channelsOf(*m_window); }
    void setChannels(const Channels& values) const;

private:
    MemorySettingsStore* m_store = nullptr;
    FakeFileChooser* m_files = nullptr;
    TerminationRequests* m_termination = nullptr;
    FakeScreenPicker* m_picker = nullptr;
    std::shared_ptr<QList<QUrl>> m_openedUrls = std::make_shared<QList<QUrl>>();
    std::unique_ptr<Tintara> m_window;
};

// The main window over the real settings store, started as the program starts it.
std::unique_ptr<Tintara> startProgram();

// Generates the page as the HTML button does, closes the viewer and gives the page.
QString generatePage(Tintara& window);

// Points the native settings store at a fresh folder, or the one given, for as long as it lives.
class SettingsFolder
{
public:
    explicit SettingsFolder(const QString& folder = {});
    ~SettingsFolder();
    QString path() const { return m_path; }
    // Where the program's settings file goes.
    QString file() const { return m_path + u"/Tintara/Tintara.conf"_s; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Whole-file helpers; writeFile creates the folders on the way.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// A picture whose every pixel differs from its neighbours, so a misplaced tile shows.
QImage patternPicture(int width, int height);
QByteArray encodedPicture(const QImage& image, const char* format);
// Gives the path of the saved file.
QString savePicture(const QTemporaryDir& dir, const QString& name, const QImage& image,
                    const char* format = "bmp");
int countPixels(const QImage& image, QRgb color);

// Waits until a picture dropped or loaded has been analysed and its verdict is shown.
void waitForVerdict(const Tintara& window);

// Over a picture whose worst pixel is just too close to pass AA, as seen with protanopia: the
// longest status line there is. Gives what of the status line cannot be read whole, or nothing.
QString showLongestStatusLine(const TestWindow& w, const QTemporaryDir& dir);

} // namespace tintara::test

namespace QTest {
template<>
inline char* toString(const tintara::test::Channels& channels)
{
    QByteArray text;
    for (const int value : channels)
        text += QByteArray::number(value) + ' ';
    return qstrdup(text.trimmed().constData());
}
} // namespace QTest

Q_DECLARE_METATYPE(tintara::test::Channels)
