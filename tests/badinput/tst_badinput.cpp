// What the program does with bad input, in one place. Each table below is one kind of input; the
// comment above each row says what the user sees. Every case also checks that nothing stored is
// lost or corrupted: the settings file, the colour sets in it, and the colours on the screen.
#include "preview/colorcode.h"
#include "support/fakes.h"
#include "support/fulldisk.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QRandomGenerator>
#include <QtEndian>
#include <csignal>
#include <optional>

using namespace tintara;
using namespace tintara::test;

namespace {

// The next start of the program, over a copy of the settings file as it lies on disk rather than
// what this process may still hold of it.
struct NextStart
{
    explicit NextStart(const QString& file)
        : copied(writeFile(folder.file(), readFile(file)))
    {
    }
    SettingsFolder folder;
    bool copied = false;
    std::unique_ptr<Tintara> window = startProgram();
};

// The web-safe colour numbered i, so that choosing it changes nothing in web-safe mode.
QString webSafeCode(int i)
{
    return colorCode(i / 36 % 6 * 51, i / 6 % 6 * 51, i % 6 * 51);
}

// A settings file holding count sets, as the program writes them.
QByteArray setsFile(int count, const QString& name)
{
    QString text = u"[ColorList]\n"_s;
    for (int i = 0; i < count; ++i) {
        text += u"No.%1=\"%2,%3,#FFFFFF\"\n"_s.arg(QString::number(i), name + QString::number(i),
                                                   webSafeCode(i));
    }
    return text.toUtf8();
}

// A well-formed PNG of one pixel whose header, checksum and all, claims 60,000 x 60,000 pixels.
const QByteArray kHugePng = QByteArray::fromHex(
    "89504e470d0a1a0a0000000d494844520000ea600000ea6008020000000fb0e2150000000c4944415478"
    "9c63105030000000a4006134667d720000000049454e44ae426082");

// A 1 x 1 bitmap whose header claims width x height.
QByteArray bmpAnnouncing(qint32 width, qint32 height)
{
    QByteArray bytes = encodedPicture(patternPicture(1, 1), "bmp");
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

// The picture on screen and everything that says which one it is.
auto pictureState(const TestWindow& w)
{
    return std::make_tuple(w->ui().Picture1->buffer().copy(), w->backFile(), w->solidBack(),
                           w->ui().bmpbg->isEnabled(), w.channels());
}

} // namespace

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
        QTest::addColumn<QStringList>("sets");

        // Sees the first start: black on white, web-safe mode, no sets.
        QTest::newRow("empty file") << QByteArray() << kFirstStart << QStringList();

        // Sees the first start.
        QByteArray noise(4096, '\0');
        QRandomGenerator random(6);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        QTest::newRow("binary noise") << noise << kFirstStart << QStringList();

        // Sees the first start.
        QTest::newRow("text that is no settings file")
            << QByteArray("hello\n= = =\n[[[\n]]\n[color\nfr\n=255\n\\\n") << kFirstStart
            << QStringList();

        // Sees each usable value applied and every other at its first-start value, the window
        // where the system puts it.
        QTest::newRow("unusable values")
            << QByteArray("[color]\nfr=abc\nfg=51.4\nfb=1.02e2\nbr=256\nbg=-1\nbb=inf\n"
                          "[param]\nfauto=2\n[pass]\nw216=perhaps\n"
                          "[window]\nTop=nan\nLeft=1e39\n")
            << Channels{0, 51, 102, 255, 255, 255} << QStringList();

        // Sees the values the settings format would decode as other types at their first-start
        // values; a byte array holding a number is that number.
        QTest::newRow("values of other types")
            << QByteArray("[color]\nfr=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\bQWidget*)\n"
                          "fg=@Rect(1 2 3 4)\nfb=@Size(5 6)\nbr=@ByteArray(204)\n"
                          "bg=@Variant(\\xff\\xff)\n[pass]\nw216=@Invalid()\n"
                          "[ColorList]\nNo.0=@Point(1 2)\n")
            << Channels{0, 0, 0, 204, 255, 255} << QStringList();

        // Sees every set that has a name and colours, in order, up to the first empty entry;
        // an entry without a comma is left out, and the lines that are no entries are ignored.
        QTest::newRow("sets among broken lines")
            << QByteArray("[ColorList]\nNo.0=Sea,#000080,#FFFFFF\nthis line has no equals\n"
                          "No.1=no comma here\nNo.2=\",#123456,#654321\"\n=no key\n"
                          "No.3=\"Sand,#402000,#F0E0C0\"\nNo.4=\nNo.5=After,#000000,#FFFFFF\n")
            << kFirstStart << QStringList{"Sea", "", "Sand"};

        // Sees the name with the broken bytes shown as replacement marks.
        QTest::newRow("broken UTF-8 in a name")
            << QByteArray("[ColorList]\nNo.0=\"caf\xc3 \xff\xfe,#000000,#FFFFFF\"\n") << kFirstStart
            << QStringList{QString::fromUtf8("caf\xc3 \xff\xfe")};
    }

    void garbageInTheSettingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(Channels, channels);
        QFETCH(QStringList, sets);

        const SettingsFolder config;
        QVERIFY(writeFile(config.file(), file));
        {
            const auto w = startProgram();
            QCOMPARE(channelsOf(*w), channels);
            QVERIFY(w->web216Mode() && !w->ui().FAutoCK->isChecked());
            QCOMPARE(w->colorSetNames(), sets);
            QCOMPARE(w->pos(), m_placed);
            const MessageBoxCatcher messages;
            w->close();
            QCOMPARE(messages.texts, QStringList());
        }
        // What was usable is written back whole and reads back the same.
        const NextStart next(config.file());
        QCOMPARE(channelsOf(*next.window), channels);
        QCOMPARE(next.window->colorSetNames(), sets);
    }

    void manyOrLargeStoredSets_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("name");

        // Sees all 10,000 sets listed; choosing the last applies its colours.
        QTest::newRow("10,000 sets") << 10000 << u"Set "_s;

        // Sees the set listed with its name shortened to the box, in the list and in its popup;
        // choosing it applies its colours.
        QString huge;
        while (huge.size() < 1024 * 1024)
            huge += u"Night sky 夜空 "_s;
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
            QCOMPARE(names.last(), name + QString::number(count - 1));
            w->selectColorSet(count - 1);
            QCOMPARE(w->ui().ColorCode[0]->text(), webSafeCode(count - 1));
            QComboBox* list = w->ui().ColorCmbo;
            QVERIFY(list->fontMetrics().horizontalAdvance(list->currentText()) < list->width());
            list->showPopup();
            QTRY_VERIFY(list->view()->isVisible());
            QVERIFY(list->view()->window()->width() < list->width() + 40);
            list->hidePopup();
            w->close();
            QCOMPARE(w->settingsProblem(), QString());
        }
        const QByteArray written = readFile(config.file());
        const NextStart next(config.file());
        QCOMPARE(next.window->colorSetNames(), names);
        next.window->close();
        QCOMPARE(readFile(next.folder.file()), written);
    }

    void settingsThatCannotBeSaved_data()
    {
        // What stands in the way, in the settings folder: a file, a folder, or the settings file
        // on a disk with room for a few bytes more, but not for a new file.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("bySignal");

        // Sees, on closing, that the settings could not be saved and where; the window closes.
        QTest::newRow("a file where the folder should be") << u"Tintara"_s << QString() << false;

        // Sees the first start, and on closing that the settings could not be saved.
        QTest::newRow("a folder where the file should be")
            << QString() << u"Tintara/Tintara.conf"_s << false;

        // Sees, on closing, that the settings could not be saved; the next start has the
        // settings of before.
        QTest::newRow("full disk") << u"Tintara/Tintara.conf"_s << QString() << false;

        // Ended by the system with nobody at the screen: sees nothing; the error output says it.
        QTest::newRow("full disk, ended by a signal")
            << u"Tintara/Tintara.conf"_s << QString() << true;
    }

    void settingsThatCannotBeSaved()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QFETCH(bool, bySignal);

        const QByteArray stored = "[ColorList]\nNo.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\n\n"
                                  "[color]\nbb=51\nbg=102\nbr=153\nfb=0\nfg=0\nfr=0\n";
        const bool storedRead = file == u"Tintara/Tintara.conf"_s;
        std::optional<FullDisk> disk;
        if (storedRead) {
            // Room for the lock file that QSettings takes first.
            disk.emplace(QMap<QString, QByteArray>{{file, stored}}, 4096);
            if (!disk->problem().isEmpty())
                QSKIP(qPrintable(disk->problem()));
        }
        const SettingsFolder config(disk ? disk->path() : QString());
        const QString obstacle = config.path() + u'/' + file;
        QVERIFY(storedRead || (file.isNull() ? QDir().mkpath(config.path() + u'/' + folder)
                                             : writeFile(obstacle, stored)));
        const QStringList filesBefore =
            QDir(QFileInfo(config.file()).path()).entryList(QDir::AllEntries);

        const auto w = startProgram();
        const Channels storedColours{0, 0, 0, 153, 102, 51};
        QCOMPARE(channelsOf(*w), storedRead ? storedColours : kFirstStart);
        w->ui().ColorCode[1]->setText(u"#FFFF00"_s);
        {
            const MessageBoxCatcher messages;
            QTest::ignoreMessage(
                QtWarningMsg,
                qPrintable(u"Tintara: the settings could not be saved to "_s + config.file()));
            if (bySignal)
                std::raise(SIGTERM);
            else
                w->close();
            QTRY_VERIFY(!w->isVisible());
            if (bySignal) {
                QCOMPARE(messages.texts, QStringList());
            } else {
                QCOMPARE(messages.texts.size(), 1);
                QVERIFY(messages.texts[0].contains(u"設定を保存できませんでした"_s));
                QVERIFY(messages.texts[0].contains(config.file()));
            }
        }
        // Nothing half-written, nothing left behind, nothing stored lost.
        if (!file.isNull())
            QCOMPARE(readFile(obstacle), stored);
        QCOMPARE(QDir(QFileInfo(config.file()).path()).entryList(QDir::AllEntries), filesBefore);
        if (storedRead) {
            const NextStart next(config.file());
            QCOMPARE(channelsOf(*next.window), storedColours);
            QCOMPARE(next.window->colorSetNames(), QStringList{"Sea"});
        }
    }

    void setsSavedOnAFullDiskThroughALinkAreKeptAndSavedOnceThereIsRoom()
    {
        // The settings file is a symbolic link, as a user's managed dot files are.
        const QByteArray stored = "[ColorList]\nNo.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\n";
        const FullDisk disk({{u"real.conf"_s, stored}}, 4096);
        if (!disk.problem().isEmpty())
            QSKIP(qPrintable(disk.problem()));
        const SettingsFolder config(disk.path());
        QVERIFY(QDir().mkpath(disk.filePath(u"Tintara"_s)));
        QVERIFY(QFile::link(u"../real.conf"_s, config.file()));
        const auto w = startProgram();
        const MessageBoxCatcher messages;
        w->saveColorSet(u"Full"_s, u"#000000,#FFFFFF"_s);
        QCOMPARE(messages.texts.size(), 1);
        QCOMPARE(readFile(disk.filePath(u"real.conf"_s)), stored);
        disk.makeRoom();
        w->saveColorSet(u"Room"_s, u"#000000,#FFFFFF"_s);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(QFileInfo(config.file()).isSymLink());
        const NextStart next(config.file());
        QCOMPARE(next.window->colorSetNames(), (QStringList{"Sea", "Full", "Room"}));
    }

    void picturesThatCannotBeRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray bmp = encodedPicture(patternPicture(40, 30), "bmp");
        const QByteArray png = encodedPicture(patternPicture(40, 30), "png");
        // In every row the user sees nothing happen, with no message: the preview, the picture
        // already shown and its name in the page stay as they were.
        QTest::newRow("missing file") << u"missing.bmp"_s << QByteArray();
        QTest::newRow("folder") << u"folder.bmp"_s << QByteArray();
        QTest::newRow("device that never ends") << u"/dev/zero"_s << QByteArray();
        QTest::newRow("empty file") << u"empty.bmp"_s << QByteArray("");
        QTest::newRow("text file") << u"notes.txt"_s << QByteArray("a text\r\n");
        QTest::newRow("text named as a picture")
            << u"text.bmp"_s << QByteArray("not a picture at all\r\n");
        QTest::newRow("bitmap cut in its header") << u"head.bmp"_s << bmp.left(10);
        QTest::newRow("bitmap cut in half") << u"half.bmp"_s << bmp.left(bmp.size() / 2);
        QTest::newRow("bitmap one byte short") << u"short.bmp"_s << bmp.left(bmp.size() - 1);
        QTest::newRow("PNG cut in half") << u"half.png"_s << png.left(png.size() / 2);
        QTest::newRow("PNG claiming 60,000 x 60,000 pixels") << u"huge.png"_s << kHugePng;
        QTest::newRow("bitmap claiming 60,000 x 60,000 pixels")
            << u"huge.bmp"_s << bmpAnnouncing(60000, 60000);
        QTest::newRow("bitmap claiming 60,000 x -60,000 pixels")
            << u"upside.bmp"_s << bmpAnnouncing(60000, -60000);
        QTest::newRow("bitmap claiming the largest size")
            << u"max.bmp"_s << bmpAnnouncing(2147483647, 2147483647);
    }

    void picturesThatCannotBeRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);

        QTemporaryDir dir;
        QString path = name.startsWith(u'/') ? name : dir.filePath(name);
        if (name == u"folder.bmp"_s)
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (!bytes.isNull())
            QVERIFY(writeFile(path, bytes));

        TestWindow w(kFullColour);
        w.setChannels({12, 34, 56, 204, 153, 102});
        for (const bool pictureShown : {false, true}) {
            if (pictureShown) {
                dropFiles(w->ui().Picture1, {savePicture(dir, "good.bmp", patternPicture(7, 5))});
                QVERIFY(!w->solidBack());
            }
            const auto before = pictureState(w);
            const QString page = generatePage(*w);
            w.files().openAnswers << path;
            w->ui().LoadBGPic->trigger();
            QVERIFY(pictureState(w) == before);
            dropFiles(w->ui().Picture1, {path});
            QVERIFY(pictureState(w) == before);
            QCOMPARE(generatePage(*w), page);
        }
    }

    void dropsWithoutFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withAddresses");
        QTest::addColumn<QList<QUrl>>("addresses");

        const QString picture = savePicture(m_dir, u"tile.bmp"_s, patternPicture(4, 4));
        // In every row the pointer shows that the preview refuses the drag, and should a drop
        // come all the same, nothing changes.
        QTest::newRow("text") << u"some words"_s << false << QList<QUrl>();
        QTest::newRow("text naming a picture file") << picture << false << QList<QUrl>();
        QTest::newRow("web address")
            << QString() << true << QList<QUrl>{QUrl(u"https://www.example.org/a.bmp"_s)};
        QTest::newRow("empty list of addresses") << QString() << true << QList<QUrl>();
        QTest::newRow("nothing at all") << QString() << false << QList<QUrl>();
    }

    void dropsWithoutFiles()
    {
        QFETCH(QString, text);
        QFETCH(bool, withAddresses);
        QFETCH(QList<QUrl>, addresses);

        TestWindow w;
        const auto before = pictureState(w);
        QMimeData data;
        if (!text.isNull())
            data.setText(text);
        if (withAddresses)
            data.setUrls(addresses);
        QVERIFY(!dropOn(w->ui().Picture1, data));
        QVERIFY(pictureState(w) == before);
        QVERIFY(w->isVisible());
    }

    void hugeTextPastedIntoACodeBox_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");

        QString megabyte;
        while (megabyte.size() < 1024 * 1024)
            megabyte += u"#123456 lorem ipsum 背景\t"_s;
        // Sees the start of the text in the box, as much as it holds; the colours stay, and
        // the next colour change writes the code back.
        QTest::newRow("1 MB into the text colour box") << 0 << megabyte;
        QTest::newRow("1 MB into the background box") << 1 << megabyte;
        // Sees the code and the line break in the box; a code must be the seven characters
        // alone, so the colours stay. The page carries the box's text as it stands, for the
        // user to edit.
        QTest::newRow("a code with a line break and markup") << 1 << u"#123456\r\n\"><b>"_s;
    }

    void hugeTextPastedIntoACodeBox()
    {
        QFETCH(int, box);
        QFETCH(QString, text);

        TestWindow w(kFullColour);
        const Channels colours{12, 34, 56, 204, 153, 102};
        w.setChannels(colours);
        const QImage preview = w->ui().Picture1->buffer().copy();
        const QString plainPage = generatePage(*w);
        QLineEdit* code = w->ui().ColorCode[box];
        const QString shownCode = code->text();

        QGuiApplication::clipboard()->setText(text);
        code->setFocus();
        code->selectAll();
        QTest::keySequence(code, QKeySequence::Paste);
        QCOMPARE(code->text(), text.left(code->maxLength()));
        QCOMPARE(w.channels(), colours);
        QCOMPARE(w->ui().Picture1->buffer(), preview);
        // The page takes the box's text as it stands; nothing else in it changes.
        QCOMPARE(generatePage(*w),
                 QString(plainPage).replace(u'"' + shownCode + u'"', u'"' + code->text() + u'"'));

        // The box still takes a code, and what is stored is the colours, not the text.
        typeInto(code, u"#FFFFFF"_s);
        QCOMPARE(w.channels()[box * 3], 255);
        w->close();
        QCOMPARE(w.store().values.value(box == 0 ? "color/fr" : "color/br"), u"255"_s);
    }
};

TINTARA_TEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
