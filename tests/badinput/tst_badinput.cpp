// What the program does with bad input, in one place. Each table below is one kind of input; the
// comment above each row says what the user sees. Every case also checks that nothing stored is
// lost or corrupted: the settings file, the colour sets in it, and the colours on the screen.
#include "output/showhtml.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "preview/colorcode.h"
#include "support/fakes.h"
#include "support/modal.h"
#include "support/testregistry.h"
#include "tools/testpictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace tintara;
using namespace tintara::test;

namespace {

using Channels = std::array<int, 6>;
constexpr Channels kFirstStart{0, 0, 0, 255, 255, 255};
const QString kNotSaved = QStringLiteral("設定を保存できませんでした");

// A window over the real settings file, as the program starts.
std::unique_ptr<Tintara> startProgram()
{
    auto window = std::make_unique<Tintara>();
    window->Form_Load();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("main window was not exposed");
    return window;
}

// The next start of the program, which reads the settings file as it lies on disk rather than
// what this process may still hold of it.
class NextStart
{
public:
    explicit NextStart(const QString& file)
    {
        writeFile(m_folder.file(), readFile(file));
        m_window = startProgram();
    }
    Tintara* operator->() const { return m_window.get(); }
    Tintara& operator*() const { return *m_window; }
    QString file() const { return m_folder.file(); }

private:
    SettingsFolder m_folder;
    std::unique_ptr<Tintara> m_window;
};

Channels channelsOf(const Tintara& w)
{
    Channels values{};
    for (int i = 0; i < 6; ++i)
        values[i] = w.ui().Slider1[i]->value();
    return values;
}

// The web-safe colour numbered i, so that choosing it changes nothing in web-safe mode.
QString webSafeCode(int i)
{
    return colorCode(i / 36 % 6 * 51, i / 6 % 6 * 51, i % 6 * 51);
}

QString setName(const QString& name, int i, int count)
{
    return count > 1 ? name + QString::number(i) : name;
}

// A settings file holding count sets, as the program writes them.
QByteArray setsFile(int count, const QString& name)
{
    QString text = QStringLiteral("[ColorList]\n");
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("No.%1=\"%2,%3,#FFFFFF\"\n")
                    .arg(QString::number(i), setName(name, i, count), webSafeCode(i));
    }
    return text.toUtf8();
}

// Makes every write to a file fail while it lives, as a full disk or, for a user, a read-only
// folder does. Permission bits do not stop root, who runs these tests here; a file size limit of
// zero stops everyone.
class RefusingDisk
{
public:
    RefusingDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_before;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~RefusingDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    RefusingDisk(const RefusingDisk&) = delete;
    RefusingDisk& operator=(const RefusingDisk&) = delete;

private:
    rlimit m_before{};
    void (*m_signal)(int) = nullptr;
};

enum class Obstacle { FileForFolder, FolderForFile, RefusingDisk };

// The drop as a real drag makes it: Qt hands over the drop only when the drag was welcomed, so
// the drop is sent regardless, to show it would be harmless. Gives whether it was welcomed.
bool drop(Canvas* box, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box, &enter);
    QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(box)->event(&dropped);
    return enter.isAccepted();
}

void dropFile(Canvas* box, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    drop(box, data);
}

// The picture on screen and everything that says which one it is.
struct PictureState
{
    QImage preview;
    QString file;
    bool solid = true;
    bool menuEnabled = false;
    Channels channels{};
    bool operator==(const PictureState& o) const
    {
        return preview == o.preview && file == o.file && solid == o.solid &&
               menuEnabled == o.menuEnabled && channels == o.channels;
    }
};

PictureState pictureState(const TestWindow& w)
{
    return {w->ui().Picture1->buffer().copy(), w->backFile(), w->solidBack(),
            w->ui().bmpbg->isEnabled(), w.channels()};
}

QString generatePage(const TestWindow& w)
{
    onModal<ShowHTML>([](ShowHTML*) {});
    w->ui().HTMLBtn->click();
    return w->m_GenHTML;
}

} // namespace

namespace QTest {
template<>
char* toString(const Channels& channels)
{
    QByteArray text;
    for (const int value : channels)
        text += QByteArray::number(value) + ' ';
    return qstrdup(text.trimmed().constData());
}
} // namespace QTest

Q_DECLARE_METATYPE(Channels)
Q_DECLARE_METATYPE(Obstacle)

class BadInputTest : public QObject
{
    Q_OBJECT
    QPoint m_placed; // where the system puts a window that has no stored place
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        const SettingsFolder config;
        m_placed = startProgram()->pos();
    }

    void garbageInTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Channels>("channels");
        QTest::addColumn<bool>("web216");
        QTest::addColumn<QStringList>("sets");

        // Sees the first start: black on white, web-safe mode, no sets.
        QTest::newRow("empty file") << QByteArray() << kFirstStart << true << QStringList();

        // Sees the first start.
        QByteArray noise(4096, '\0');
        QRandomGenerator random(6);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        QTest::newRow("binary noise") << noise << kFirstStart << true << QStringList();

        // Sees the first start.
        QTest::newRow("text that is no settings file")
            << QByteArray("hello\n= = =\n[[[\n]]\n[color\nfr\n=255\n\\\n") << kFirstStart << true
            << QStringList();

        // Sees each usable value applied and every other at its first-start value, the window
        // where the system puts it.
        QTest::newRow("unusable values")
            << QByteArray("[color]\nfr=abc\nfg=51.4\nfb=1.02e2\nbr=256\nbg=-1\nbb=inf\n"
                          "[param]\nfauto=2\n[pass]\nw216=perhaps\n"
                          "[window]\nTop=nan\nLeft=1e39\n")
            << Channels{0, 51, 102, 255, 255, 255} << true << QStringList();

        // Sees the values the settings format would decode as other types at their first-start
        // values; a byte array holding a number is that number.
        QTest::newRow("values of other types")
            << QByteArray("[color]\nfr=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\bQWidget*)\n"
                          "fg=@Rect(1 2 3 4)\nfb=@Size(5 6)\nbr=@ByteArray(204)\n"
                          "bg=@Variant(\\xff\\xff)\n[pass]\nw216=@Invalid()\n"
                          "[ColorList]\nNo.0=@Point(1 2)\n")
            << Channels{0, 0, 0, 204, 255, 255} << true << QStringList();

        // Sees every set that has a name and colours, in order, up to the first empty entry;
        // an entry without a comma is left out, and the lines that are no entries are ignored.
        QTest::newRow("sets among broken lines")
            << QByteArray("[ColorList]\nNo.0=Sea,#000080,#FFFFFF\nthis line has no equals\n"
                          "No.1=no comma here\nNo.2=\",#123456,#654321\"\n=no key\n"
                          "No.3=\"Sand,#402000,#F0E0C0\"\nNo.4=\nNo.5=After,#000000,#FFFFFF\n")
            << kFirstStart << true << QStringList{"Sea", "", "Sand"};

        // Sees the name with the broken bytes shown as replacement marks.
        QTest::newRow("broken UTF-8 in a name")
            << QByteArray("[ColorList]\nNo.0=\"caf\xc3 \xff\xfe,#000000,#FFFFFF\"\n") << kFirstStart
            << true << QStringList{QString::fromUtf8("caf\xc3 \xff\xfe")};
    }

    void garbageInTheSettingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(Channels, channels);
        QFETCH(bool, web216);
        QFETCH(QStringList, sets);

        const SettingsFolder config;
        QVERIFY(writeFile(config.file(), file));
        {
            const auto w = startProgram();
            QCOMPARE(channelsOf(*w), channels);
            QCOMPARE(w->web216Mode(), web216);
            QVERIFY(!w->ui().FAutoCK->isChecked());
            QCOMPARE(w->colorSetNames(), sets);
            QCOMPARE(w->pos(), m_placed);
            const MessageBoxCatcher messages;
            w->close();
            QCOMPARE(messages.texts, QStringList());
        }
        // What was usable is written back whole and reads back the same.
        const NextStart next(config.file());
        QCOMPARE(channelsOf(*next), channels);
        QCOMPARE(next->colorSetNames(), sets);
    }

    void manyOrLargeStoredSets_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("name");

        // Sees all 10,000 sets listed; choosing the last applies its colours.
        QTest::newRow("10,000 sets") << 10000 << QStringLiteral("Set ");

        // Sees the set listed with its name cut at the edge of the box; choosing it applies
        // its colours.
        QString huge;
        while (huge.size() < 1024 * 1024)
            huge += QStringLiteral("Night sky 夜空 ");
        QTest::newRow("a name of 1 MB") << 1 << huge;
    }

    void manyOrLargeStoredSets()
    {
        QFETCH(int, count);
        QFETCH(QString, name);

        const SettingsFolder config;
        QVERIFY(writeFile(config.file(), setsFile(count, name)));
        QStringList names;
        {
            const auto w = startProgram();
            names = w->colorSetNames();
            QCOMPARE(names.size(), count);
            QCOMPARE(names.last(), setName(name, count - 1, count));
            w->selectColorSet(count - 1);
            QCOMPARE(w->ui().ColorCode[0]->text(), webSafeCode(count - 1));
            QCOMPARE(w->ui().ColorCmbo->grab().isNull(), false);
            w->close();
            QCOMPARE(w->settingsProblem(), QString());
        }
        const QByteArray written = readFile(config.file());
        const NextStart next(config.file());
        QCOMPARE(next->colorSetNames(), names);
        next->close();
        QCOMPARE(readFile(next.file()), written);
    }

    void settingsThatCannotBeSaved_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<bool>("bySignal");

        // Sees, on closing, that the settings could not be saved and where; the window closes.
        QTest::newRow("a file where the folder should be") << Obstacle::FileForFolder << false;

        // Sees the first start, and on closing that the settings could not be saved.
        QTest::newRow("a folder where the file should be") << Obstacle::FolderForFile << false;

        // Sees, on closing, that the settings could not be saved; the next start has the
        // settings of before.
        QTest::newRow("read-only or full disk") << Obstacle::RefusingDisk << false;

        // Ended by the system with nobody at the screen: sees nothing; the error output says it.
        QTest::newRow("read-only or full disk, ended by a signal")
            << Obstacle::RefusingDisk << true;
    }

    void settingsThatCannotBeSaved()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(bool, bySignal);

        const SettingsFolder config;
        const QByteArray stored = "[ColorList]\nNo.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\n\n"
                                  "[color]\nbb=51\nbg=102\nbr=153\nfb=0\nfg=0\nfr=0\n";
        QString obstacleFile;
        switch (obstacle) {
        case Obstacle::FileForFolder:
            obstacleFile = config.path() + QStringLiteral("/Tintara");
            QVERIFY(writeFile(obstacleFile, stored));
            break;
        case Obstacle::FolderForFile:
            QVERIFY(QDir().mkpath(config.file()));
            break;
        case Obstacle::RefusingDisk:
            obstacleFile = config.file();
            QVERIFY(writeFile(obstacleFile, stored));
            break;
        }
        const QStringList filesBefore =
            QDir(QFileInfo(config.file()).path()).entryList(QDir::AllEntries);

        const auto w = startProgram();
        const bool storedRead = obstacle == Obstacle::RefusingDisk;
        const Channels storedColours{0, 0, 0, 153, 102, 51};
        QCOMPARE(channelsOf(*w), storedRead ? storedColours : kFirstStart);
        w->ui().ColorCode[1]->setText(QStringLiteral("#FFFF00"));
        {
            const MessageBoxCatcher messages;
            std::optional<RefusingDisk> disk;
            if (obstacle == Obstacle::RefusingDisk)
                disk.emplace();
            QTest::ignoreMessage(
                QtWarningMsg,
                qPrintable(QStringLiteral("Tintara: the settings could not be saved to %1")
                               .arg(config.file())));
            if (bySignal)
                std::raise(SIGTERM);
            else
                w->close();
            QTRY_VERIFY(!w->isVisible());
            if (bySignal) {
                QCOMPARE(messages.texts, QStringList());
            } else {
                QCOMPARE(messages.texts.size(), 1);
                QVERIFY(messages.texts[0].contains(kNotSaved));
                QVERIFY(messages.texts[0].contains(config.file()));
            }
        }
        // Nothing half-written, nothing left behind, nothing stored lost.
        if (!obstacleFile.isEmpty())
            QCOMPARE(readFile(obstacleFile), stored);
        QCOMPARE(QDir(QFileInfo(config.file()).path()).entryList(QDir::AllEntries), filesBefore);
        if (storedRead) {
            const NextStart next(config.file());
            QCOMPARE(channelsOf(*next), storedColours);
            QCOMPARE(next->colorSetNames(), QStringList{"Sea"});
        }
    }

    void picturesThatCannotBeRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray bmp = encodedPicture(patternPicture(40, 30), "bmp");
        const QByteArray png = encodedPicture(patternPicture(40, 30), "png");
        // In every row the user sees nothing happen, with no message: the preview, the picture
        // already shown and its name in the page stay as they were.
        QTest::newRow("missing file") << QStringLiteral("missing.bmp") << QByteArray();
        QTest::newRow("folder") << QStringLiteral("folder.bmp") << QByteArray();
        QTest::newRow("device that never ends") << QStringLiteral("/dev/zero") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("empty.bmp") << QByteArray("");
        QTest::newRow("text file") << QStringLiteral("notes.txt") << QByteArray("a text\r\n");
        QTest::newRow("text named as a picture")
            << QStringLiteral("text.bmp") << QByteArray("not a picture at all\r\n");
        QTest::newRow("bitmap cut in its header") << QStringLiteral("head.bmp") << bmp.left(10);
        QTest::newRow("bitmap cut in half")
            << QStringLiteral("half.bmp") << bmp.left(bmp.size() / 2);
        QTest::newRow("bitmap one byte short")
            << QStringLiteral("short.bmp") << bmp.left(bmp.size() - 1);
        QTest::newRow("PNG cut in half") << QStringLiteral("half.png") << png.left(png.size() / 2);
        QTest::newRow("PNG claiming 60,000 x 60,000 pixels")
            << QStringLiteral("huge.png") << pngAnnouncing(60000, 60000);
        QTest::newRow("bitmap claiming 60,000 x 60,000 pixels")
            << QStringLiteral("huge.bmp") << bmpAnnouncing(60000, 60000);
        QTest::newRow("bitmap claiming 60,000 x -60,000 pixels")
            << QStringLiteral("upside.bmp") << bmpAnnouncing(60000, -60000);
        QTest::newRow("bitmap claiming the largest size")
            << QStringLiteral("max.bmp") << bmpAnnouncing(2147483647, 2147483647);
    }

    void picturesThatCannotBeRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);

        QTemporaryDir dir;
        QString path = name.startsWith(u'/') ? name : dir.filePath(name);
        if (name == QStringLiteral("folder.bmp"))
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (!bytes.isNull())
            writeFile(dir, name, bytes);

        TestWindow w;
        w.setChannels({12, 34, 56, 204, 153, 102});
        w->DrawPreview();
        for (const bool pictureShown : {false, true}) {
            if (pictureShown) {
                dropFile(w->ui().Picture1,
                         savePicture(dir, QStringLiteral("good.bmp"), patternPicture(7, 5)));
                QVERIFY(!w->solidBack());
            }
            const PictureState before = pictureState(w);
            const QString page = generatePage(w);
            w.files().openAnswers << path;
            w->ui().LoadBGPic->trigger();
            QVERIFY(pictureState(w) == before);
            dropFile(w->ui().Picture1, path);
            QVERIFY(pictureState(w) == before);
            QCOMPARE(generatePage(w), page);
        }
    }

    void dropsWithoutFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withAddresses");
        QTest::addColumn<QList<QUrl>>("addresses");

        const QString picture =
            savePicture(m_dir, QStringLiteral("tile.bmp"), patternPicture(4, 4));
        // In every row the pointer shows that the preview refuses the drag, and should a drop
        // come all the same, nothing changes.
        QTest::newRow("text") << QStringLiteral("some words") << false << QList<QUrl>();
        QTest::newRow("text naming a picture file") << picture << false << QList<QUrl>();
        QTest::newRow("web address")
            << QString() << true
            << QList<QUrl>{QUrl(QStringLiteral("https://www.example.org/a.bmp"))};
        QTest::newRow("empty list of addresses") << QString() << true << QList<QUrl>();
        QTest::newRow("nothing at all") << QString() << false << QList<QUrl>();
    }

    void dropsWithoutFiles()
    {
        QFETCH(QString, text);
        QFETCH(bool, withAddresses);
        QFETCH(QList<QUrl>, addresses);

        TestWindow w;
        const PictureState before = pictureState(w);
        QMimeData data;
        if (!text.isNull())
            data.setText(text);
        if (withAddresses)
            data.setUrls(addresses);
        QVERIFY(!drop(w->ui().Picture1, data));
        QVERIFY(pictureState(w) == before);
        QVERIFY(w->isVisible());
    }

    void hugeTextPastedIntoACodeBox_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");

        QString megabyte;
        while (megabyte.size() < 1024 * 1024)
            megabyte += QStringLiteral("#123456 lorem ipsum 背景\t");
        // Sees the start of the text in the box, as much as it holds; the colours stay, and
        // the next colour change writes the code back.
        QTest::newRow("1 MB into the text colour box") << 0 << megabyte;
        QTest::newRow("1 MB into the background box") << 1 << megabyte;
        // Sees the code and the line break in the box; a code must be the seven characters
        // alone, so the colours stay. The page carries the box's text as it stands, for the
        // user to edit.
        QTest::newRow("a code with a line break and markup")
            << 1 << QStringLiteral("#123456\r\n\"><b>");
    }

    void hugeTextPastedIntoACodeBox()
    {
        QFETCH(int, box);
        QFETCH(QString, text);

        TestWindow w;
        const Channels colours{12, 34, 56, 204, 153, 102};
        w.setChannels(colours);
        w->DrawPreview();
        const QImage preview = w->ui().Picture1->buffer().copy();
        const QString plainPage = generatePage(w);
        QLineEdit* code = w->ui().ColorCode[box];

        QGuiApplication::clipboard()->setText(text);
        code->setFocus();
        code->selectAll();
        QTest::keySequence(code, QKeySequence::Paste);
        QCOMPARE(code->text(), text.left(code->maxLength()));
        QCOMPARE(w.channels(), colours);
        QCOMPARE(w->ui().Picture1->buffer(), preview);

        // The page takes the box's text as it stands; nothing else in it changes.
        const QString page = generatePage(w);
        QString expected = plainPage;
        expected.replace(
            QLatin1Char('"') +
                colorCode(colours[box * 3], colours[box * 3 + 1], colours[box * 3 + 2]) +
                QLatin1Char('"'),
            QLatin1Char('"') + code->text() + QLatin1Char('"'));
        QCOMPARE(page, expected);

        // The box still takes a code, and what is stored is the colours, not the text.
        code->selectAll();
        QTest::keyClicks(code, QStringLiteral("#FFFFFF"));
        QCOMPARE(w.channels()[box * 3], 255);
        w->close();
        QCOMPARE(w.store().values.value(box == 0 ? "color/fr" : "color/br"), QStringLiteral("255"));
    }
};

TINTARA_TEST(BadInputTest)
#include "tst_badinput.moc"
