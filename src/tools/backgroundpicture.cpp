#include "tools/backgroundpicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tintara {

namespace {

constexpr int kBitmapHeadBytes = 54; // file header and the usual information header

// Qt's bitmap reader accepts a file cut off inside its pixel rows and fills the rest with
// whatever the image memory held; such a file is refused here instead. Only uncompressed and
// run-length encoded layouts are checked; anything unusual is left to the reader.
bool bitmapIsCutShort(const QByteArray& head, qint64 fileSize)
{
    if (!head.startsWith("BM") || head.size() < 26)
        return false;
    const uchar* bytes = reinterpret_cast<const uchar*>(head.constData());
    const qint64 pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitCount = 0;
    quint32 compression = 0;
    quint32 imageSize = 0;
    if (infoSize == 12) {
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
        bitCount = qFromLittleEndian<quint16>(bytes + 24);
    } else if (infoSize >= 40 && head.size() >= kBitmapHeadBytes) {
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = std::llabs(qFromLittleEndian<qint32>(bytes + 22));
        bitCount = qFromLittleEndian<quint16>(bytes + 28);
        compression = qFromLittleEndian<quint32>(bytes + 30);
        imageSize = qFromLittleEndian<quint32>(bytes + 34);
    } else {
        return false;
    }
    const qint64 available = fileSize - pixelOffset;
    if (available < 0)
        return true;
    enum : quint32 { Uncompressed = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };
    switch (compression) {
    case Uncompressed:
    case BitFields:
    case AlphaBitFields: {
        if (width <= 0 || height <= 0 || bitCount <= 0)
            return false;
        const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
        // Divided rather than multiplied: a header may announce rows that overflow any product.
        return height > available / rowBytes;
    }
    case Rle8:
    case Rle4:
        return imageSize > available;
    default:
        return false;
    }
}

PictureFile refused(const QString& problem)
{
    return {QImage(), problem};
}

QString noFile()
{
    return QStringLiteral("ファイルがありません");
}

QString specialFile()
{
    return QStringLiteral("通常のファイルではありません（パイプやデバイスなど）");
}

QString noPermission()
{
    return QStringLiteral("読み取りの権限がありません");
}

QString damaged()
{
    return QStringLiteral("ファイルが壊れているか、途中で切れています");
}

// A count as Japanese writes large numbers, in 億 and 万: "1億2800万".
QString japaneseCount(qint64 count)
{
    QString text;
    const qint64 oku = count / 100'000'000, man = count / 10'000 % 10'000, rest = count % 10'000;
    if (oku)
        text += QString::number(oku) + QStringLiteral("億");
    if (man)
        text += QString::number(man) + QStringLiteral("万");
    if (rest || text.isEmpty())
        text += QString::number(rest);
    return text;
}

bool overPixelLimit(QSize size)
{
    return qint64(size.width()) * size.height() > qint64(kPictureMegapixelLimit) * 1'000'000;
}

QString tooLarge(QSize size)
{
    return QStringLiteral("大きすぎます（%1 × %2 画素、上限は %3画素）")
        .arg(size.width())
        .arg(size.height())
        .arg(japaneseCount(qint64(kPictureMegapixelLimit) * 1'000'000));
}

} // namespace

QStringList pictureNameFilters(const QList<QByteArray>& readableFormats)
{
    static const char* const kOffered[] = {"bmp", "png", "jpg", "jpeg", "gif", "ico", "cur"};
    QStringList patterns;
    for (const char* format : kOffered) {
        if (readableFormats.contains(QByteArray(format)))
            patterns << QStringLiteral("*.") + QLatin1String(format);
    }
    return {QStringLiteral("画像ファイル (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'),
            QStringLiteral("すべてのファイル (*)")};
}

PictureFile readPicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    QFile file;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return refused(errno == EACCES ? noPermission() : noFile());
    if (S_ISDIR(status.st_mode))
        return refused(QStringLiteral("フォルダーです"));
    // Only regular files: a pipe or a device could block or never end.
    if (!S_ISREG(status.st_mode))
        return refused(specialFile());
    // Without waiting, should a pipe have taken the file's place since.
    const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        if (errno == EACCES || errno == EPERM)
            return refused(noPermission());
        return refused(errno == ENOENT ? noFile() : QStringLiteral("ファイルを開けません"));
    }
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return refused(specialFile());
    }
#else
    const QFileInfo info(path);
    if (!info.exists())
        return refused(noFile());
    if (info.isDir())
        return refused(QStringLiteral("フォルダーです"));
    if (!info.isFile())
        return refused(specialFile());
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(info.isReadable() ? QStringLiteral("ファイルを開けません") : noPermission());
#endif
    return readPicture(file);
}

PictureFile readPicture(QIODevice& device)
{
    if (!device.isReadable() || device.isSequential() || !device.seek(0))
        return refused(specialFile());
    if (bitmapIsCutShort(device.peek(kBitmapHeadBytes), device.size()))
        return refused(damaged());
    QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    QImageReader reader(&device);
    if (!reader.canRead())
        return refused(QStringLiteral("画像ではないか、対応していない形式です"));
    if (overPixelLimit(reader.size()))
        return refused(tooLarge(reader.size()));
    QImage image = reader.read();
    if (image.isNull())
        return refused(damaged());
    // A header may announce less than its decoder gives.
    if (overPixelLimit(image.size()))
        return refused(tooLarge(image.size()));
    return {std::move(image), QString()};
}

} // namespace tintara
