#include "tools/backgroundpicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>

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

} // namespace

QString extractFileName(const QString& path)
{
    qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    separator = std::max(separator, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return path.mid(separator + 1);
}

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

QImage readPicture(const QString& path)
{
    // Only regular files: a pipe or a device could block or never end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return readPicture(file);
}

QImage readPicture(QIODevice& device)
{
    if (!device.isReadable() || device.isSequential() || !device.seek(0))
        return QImage();
    if (bitmapIsCutShort(device.peek(kBitmapHeadBytes), device.size()))
        return QImage();
    QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    QImageReader reader(&device);
    return reader.read();
}

} // namespace tintara
