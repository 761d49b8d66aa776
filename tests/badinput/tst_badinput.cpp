// What the program does with bad input, in one place. Each table below is one kind of input; the
// comment above each row says what the user sees. Cases also check that nothing stored is
// lost or corrupted: the settings file, the colour sets in it, and the colours on the screen.
#include "support/fakes.h"
#include "support/fulldisk.h"
#include "tools/backgroundpicture.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QRandomGenerator>
#include <QtEndian>
#include <future>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#endif

using namespace tintara;
using namespace tintara::test;

namespace {

// A settings file as the program writes it, with one set.
const QByteArray kStored = "[ColorList]\nNo.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\n";

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = ~0u;
    for (const char byte : bytes)
        for (int bit = 0; bit < 8; ++bit)
            crc = ((crc ^ (uchar(byte) >> bit)) & 1) ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    return ~crc;
}

// A PNG of black pixels of the bits a channel given (16, 8 or 1 grey), its data cut after `rows`
// rows (all of them unless given): a header alone refuses a picture too large, and the stream
// need not take the memory its pixels would.
QByteArray blackPng(quint32 width, quint32 height, int bits = 8, quint32 rows = 0)
{
    const QByteArray header =
        QByteArray(1, char(bits)) + (bits == 1 ? '\0' : '\x02') + QByteArray(3, '\0');
    const qsizetype rowBytes = bits == 1 ? (width + 7) / 8 : qsizetype(width) * 3 * bits / 8;
    const QByteArray chunks[] = {
        "IHDR" + bigEndian(width) + bigEndian(height) + header,
        // A zero filter byte, then zero bytes, for each row; the zlib stream after Qt's prefix.
        "IDAT" + qCompress(QByteArray((rows ? rows : height) * (1 + rowBytes), '\0')).mid(4),
        "IEND"};
    QByteArray png("\x89PNG\r\n\x1a\n");
    for (const QByteArray& chunk : chunks)
        png += bigEndian(chunk.size() - 4) + chunk + bigEndian(crc32(chunk));
    return png;
}

// What a picture file is, beside its bytes.
enum class Kind { Bytes, Missing, Folder, Pipe, Device, Unreadable };

bool make(Kind kind, const QString& path, const QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    if (kind == Kind::Pipe)
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#endif
    if (kind == Kind::Folder)
        return QDir().mkpath(path);
    return kind == Kind::Missing || kind == Kind::Device ||
           (writeFile(path, bytes) &&
            (kind != Kind::Unreadable || QFile::setPermissions(path, {})));
}

// Root reads any file: while it lives, this thread opens files as nobody does, when asked to.
struct AsNobody
{
#ifdef Q_OS_LINUX
    explicit AsNobody(bool asked)
        : was(asked && ::geteuid() == 0 ? ::setfsuid(65534) : -1)
    {
    }
    ~AsNobody()
    {
        was < 0 || ::setfsuid(uid_t(was));
    }
    int was;
#else
    explicit AsNobody(bool) {}
#endif
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class BadInputTest : public QObject
{
    Q_OBJECT
private slots:
    void garbageInTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Channels>("channels");
        QTest::addColumn<QStringList>("sets");

        // Sees each usable value applied and every other at its first-start value, the window
        // where the system puts it. A value the settings format decodes as another type is
        // unusable, but a byte array holding a number is that number.
        QTest::newRow("unusable values and values of other types")
            << QByteArray("[color]\nfr=256\nfg=76.4\nfb=1.276e2\nbr=@ByteArray(204)\nbg=-1\n"
                          "bb=nan\n[param]\nfauto=@Rect(1 2 3 4)\n[pass]\nw216=perhaps\n"
                          "[window]\nLeft=1e9\n[ColorList]\nNo.0=@Point(1 2)\n")
            << Channels{0, 51, 153, 204, 255, 255} << QStringList();

        // Sees every set that has a name and colours, in order, up to the first empty entry: a
        // long name shortened to the box, broken bytes as replacement marks. An entry without a
        // comma is left out, and the lines that are no entries are ignored.
        const QByteArray sky = QByteArray("Night sky 夜空 ").repeated(100).trimmed();
        QTest::newRow("sets among broken lines")
            << "[ColorList]\nNo.0=" + sky +
                   ",#000080,#FFFFFF\nthis line has no equals\n"
                   "No.1=no comma here\nNo.2=\",#123456,#654321\"\n=no key\n"
                   "No.3=\"caf\xc3 \xff\xfe,#402000,#F0E0C0\"\nNo.4=\nNo.5=After,#000000,#FFFFFF\n"
            << kFirstStart
            << QStringList{QString::fromUtf8(sky), "", QString::fromUtf8("caf\xc3 \xff\xfe")};
    }

    void garbageInTheSettingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(Channels, channels);
        QFETCH(QStringList, sets);

        const SettingsFolder config;
        QVERIFY(writeFile(config.file(), file));
        const MessageBoxCatcher messages;
        const auto w = startProgram();
        QCOMPARE(channelsOf(*w), channels);
        QVERIFY(w->model().web216() && !w->ui().FAutoCK->isChecked());
        QCOMPARE(w->colorSetNames(), sets);
        const QComboBox* list = w->ui().ColorCmbo;
        QVERIFY(list->fontMetrics().horizontalAdvance(list->itemText(0)) < list->width());
        QCOMPARE(w->pos(), TestWindow()->pos()); // where the system puts a new window
        // The settings are written back on closing; only a file with lines that are no settings
        // was said to be kept aside, at the start.
        QTest::qWait(20);
        const qsizetype told = messages.texts.size();
        w->close();
        QCOMPARE(messages.texts.size(), told);
        QCOMPARE(told, sets.isEmpty() ? 0 : 1);
    }

    void damagedSettingsFilesAreSetAsideAndSavingGoesOn()
    {
        // Random bytes, or a good file with one line of binary junk in it. Sees what could be read,
        // and one message that names where the old file was kept, byte for byte; what the user then
        // does is saved on closing and comes back at the next start, with nothing more said.
        for (quint32 seed = 1; seed <= 16; ++seed) {
            QByteArray junk(seed % 4 ? 4096 : 648, '\0');
            QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(junk.data()),
                                             junk.size() / 4);
            const QByteArray bytes = seed % 4 ? junk : kStored + junk + "\n";
            const SettingsFolder config;
            QVERIFY(writeFile(config.file(), bytes));
            const MessageBoxCatcher messages;
            {
                const auto w = startProgram();
                QTRY_COMPARE(messages.texts.size(), 1);
                QCOMPARE(channelsOf(*w), kFirstStart);
                // What could be read of a file with one bad line is kept.
                QCOMPARE(w->colorSetNames(), seed % 4 ? QStringList() : QStringList{u"Sea"_s});
                typeInto(w->ui().ColorCode[0], u"#336699"_s);
                w->close();
            }
            const QDir folder = QFileInfo(config.file()).dir();
            const QStringList kept =
                folder.entryList({u"Tintara.conf.*"_s}, QDir::Files | QDir::Hidden);
            QCOMPARE(kept.size(), 1);
            QVERIFY2(messages.texts[0].contains(folder.filePath(kept[0])),
                     qPrintable(messages.texts[0]));
            QCOMPARE(readFile(folder.filePath(kept[0])), bytes);
            const auto again = startProgram();
            QCOMPARE(channelsOf(*again), (Channels{0x33, 0x66, 0x99, 255, 255, 255}));
            QTest::qWait(20);
            QCOMPARE(messages.texts.size(), 1);
        }
    }

    void settingsThatCannotBeSavedSayWhy_data()
    {
        QTest::addColumn<int>("obstacle");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file where the folder goes")
            << 0 << u"フォルダーの場所に同じ名前のファイルがあります"_s;
        QTest::newRow("a full disk") << 1 << u"ディスクに空きがありません"_s;
        QTest::newRow("a read-only file system") << 2 << u"読み取り専用です"_s;
        QTest::newRow("a folder where the file goes")
            << 3 << u"設定ファイルの場所に同じ名前のフォルダーがあります"_s;
    }

    void settingsThatCannotBeSavedSayWhy()
    {
        // Sees, on closing, that the settings could not be saved, where and why; the window
        // closes, and nothing stored is lost or left behind.
        QFETCH(int, obstacle);
        QFETCH(QString, reason);
        std::unique_ptr<FullDisk> disk;
        if (obstacle == 1 || obstacle == 2) {
            disk = std::make_unique<FullDisk>(
                QMap<QString, QByteArray>{{u"Tintara/Tintara.conf"_s, kStored}});
            if (!disk->problem().isEmpty())
                QSKIP(qPrintable(disk->problem()));
            if (obstacle == 2) {
                disk->makeRoom();
                QVERIFY(disk->makeReadOnly());
            }
        }
        const SettingsFolder config(disk ? disk->path() : QString());
        const QString kept = disk            ? config.file()
                             : obstacle == 0 ? config.path() + u"/Tintara"_s
                                             : config.file() + u"/kept"_s;
        if (!disk)
            QVERIFY(writeFile(kept, kStored));
        const QStringList before =
            QDir(QFileInfo(kept).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const auto w = startProgram();
        w->ui().ColorCode[1]->setText(u"#003366"_s);
        const MessageBoxCatcher messages;
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(u"Tintara: the settings could not be saved to "_s +
                                        config.file() + u": "_s + reason));
        w->close();
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(messages.texts,
                 QStringList{u"設定を保存できませんでした: "_s + reason + u"\n"_s + config.file()});
        QCOMPARE(readFile(kept), kStored);
        QCOMPARE(QDir(QFileInfo(kept).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 before);
    }

    void setsSavedOnAFullDiskThroughALinkAreKeptAndSavedOnceThereIsRoom()
    {
        // The settings file is a symbolic link, as a user's managed dot files are.
        const FullDisk disk({{u"real.conf"_s, kStored}}, 4096);
        if (!disk.problem().isEmpty())
            QSKIP(qPrintable(disk.problem()));
        const SettingsFolder config(disk.path());
        QVERIFY(QDir().mkpath(disk.filePath(u"Tintara"_s)));
        QVERIFY(QFile::link(u"../real.conf"_s, config.file()));
        const auto w = startProgram();
        const MessageBoxCatcher messages;
        w->saveColorSet(u"Full"_s, u"#000000,#FFFFFF"_s);
        QCOMPARE(messages.texts.size(), 1);
        QCOMPARE(readFile(disk.filePath(u"real.conf"_s)), kStored);
        disk.makeRoom();
        w->saveColorSet(u"Room"_s, u"#000000,#FFFFFF"_s);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(QFileInfo(config.file()).isSymLink());
        QCOMPARE(
            readFile(disk.filePath(u"real.conf"_s)),
            QByteArray("[ColorList]\nNo.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\"Full,#000000,#FFFFFF\"\n"
                       "No.2=\"Room,#000000,#FFFFFF\"\nNo.3=\n"));
    }

    void picturesThatCannotBeRead_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");

        const QByteArray bmp = encodedPicture(patternPicture(41, 30), "bmp"); // padded rows
        const QByteArray png = encodedPicture(patternPicture(41, 30), "png");
        // In every row the preview, the picture already shown and its name stay as they were, and
        // the status line says why.
        QTest::newRow("missing file")
            << Kind::Missing << u"missing.bmp"_s << QByteArray() << u"ファイルがありません"_s;
        QTest::newRow("folder") << Kind::Folder << u"folder.bmp"_s << QByteArray()
                                << u"フォルダーです"_s;
#ifdef Q_OS_UNIX
        const QString special = u"通常のファイルではありません（パイプやデバイスなど）"_s;
        QTest::newRow("named pipe") << Kind::Pipe << u"pipe.bmp"_s << QByteArray() << special;
        QTest::newRow("device") << Kind::Device << u"/dev/null"_s << QByteArray() << special;
        QTest::newRow("no permission to read")
            << Kind::Unreadable << u"secret.png"_s << png << u"読み取りの権限がありません"_s;
#endif
        const QString unknown = u"画像ではないか、対応していない形式です"_s;
        QTest::newRow("text") << Kind::Bytes << u"text.png"_s << QByteArray("not a picture\n")
                              << unknown;
        QTest::newRow("empty file") << Kind::Bytes << u"empty.bmp"_s << QByteArray("") << unknown;
        const QString damaged = u"ファイルが壊れているか、途中で切れています"_s;
        QTest::newRow("bitmap one byte short")
            << Kind::Bytes << u"short.bmp"_s << bmp.left(bmp.size() - 1) << damaged;
        QTest::newRow("PNG cut short")
            << Kind::Bytes << u"short.png"_s << png.left(png.size() * 2 / 3) << damaged;
        // Refused from its header, before its pixels take memory.
        QTest::newRow("PNG just over the pixel limit")
            << Kind::Bytes << u"large.png"_s << blackPng(16000, 8001, 8, 1)
            << u"大きすぎます（16000 × 8001 画素、上限は 1億2800万画素）"_s;
    }

    void picturesThatCannotBeRead()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);

        QTemporaryDir dir;
        const QString path = kind == Kind::Device ? name : dir.filePath(name);
        QVERIFY(make(kind, path, bytes));
#ifdef Q_OS_UNIX
        // A writer waits on the pipe until something opens it to read: nothing is to.
        std::future<int> writer;
        if (kind == Kind::Pipe)
            writer = std::async(std::launch::async, [&] {
                return ::open(QFile::encodeName(path).constData(), O_WRONLY);
            });
        const auto unopened = qScopeGuard([&] {
            if (!writer.valid())
                return;
            const bool waiting =
                writer.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout;
            const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
            ::close(writer.get());
            ::close(reader);
            QVERIFY2(waiting, "the pipe was opened");
        });
#endif
        TestWindow w(kFullColor);
        w.setChannels({12, 34, 56, 204, 153, 102});
        // The picture on screen and everything that says which one it is.
        const auto state = [&w] {
            return std::make_tuple(w->ui().Picture1->buffer().copy(), w->model().pictureShown(),
                                   w->ui().bmpbg->isEnabled(), w.channels());
        };
        for (const bool pictureShown : {false, true}) {
            if (pictureShown) {
                dropFiles(w->ui().Picture1, {savePicture(dir, "good.bmp", patternPicture(7, 5))});
                QVERIFY(w->model().pictureShown());
            }
            const auto before = state();
            const AsNobody nobody(kind == Kind::Unreadable);
            w.files().openAnswers << path;
            w->ui().LoadBGPic->trigger();
            QVERIFY(state() == before);
            // Said on the status line, with no dialog, until the colours next change.
            const QString said = w->checkUi().status->toolTip();
            QVERIFY2(said.endsWith(u"画像を読み込めません ("_s + QFileInfo(path).fileName() +
                                   u"): "_s + problem),
                     qPrintable(said));
        }
    }

    void largePicturesAreRead()
    {
        // Black, so that the files are small and quick to read: a photograph of 6,000 x 6,000
        // pixels at 16 bits a channel, 288 MB decoded, and one bit a pixel at the pixel limit.
        QTemporaryDir dir;
        for (const auto& [png, size] : {std::pair(blackPng(6000, 6000, 16), QSize(6000, 6000)),
                                        std::pair(blackPng(16000, 8000, 1), QSize(16000, 8000))}) {
            QVERIFY(writeFile(dir.filePath(u"large.png"_s), png));
            const PictureFile file = readPicture(dir.filePath(u"large.png"_s));
            QCOMPARE(file.problem, QString());
            QCOMPARE(file.image.size(), size);
            QCOMPARE(file.image.pixel(size.width() - 1, size.height() - 1), qRgb(0, 0, 0));
        }
    }

    void dropsWithoutFiles()
    {
        // The pointer shows that the preview refuses the drag, and should a drop come all the
        // same, nothing changes: for text naming a picture file, and for a picture's web address.
        QTemporaryDir dir;
        QMimeData text;
        text.setText(savePicture(dir, u"tile.bmp"_s, patternPicture(4, 4)));
        QMimeData address;
        address.setUrls({QUrl(u"https://www.example.org/a.bmp"_s)});
        TestWindow w;
        for (const QMimeData* data : {&text, &address})
            QVERIFY(!dropOn(w->ui().Picture1, *data) && !w->model().pictureLoaded());
    }
};

TINTARA_TEST_MAIN(BadInputTest)
#include "tst_badinput.moc"
