#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

// Small pictures for the tests, made on the fly: whole ones through QImage, broken ones as bytes.
namespace tintara::test {

// Every pixel differs from its neighbours, so a misplaced tile shows.
inline QImage patternPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, (x + y) % 2 ? 200 : 90));
    return image;
}

inline QByteArray encodedPicture(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

inline QString savePicture(const QTemporaryDir& dir, const QString& name, const QImage& image,
                           const char* format = "bmp")
{
    return writeFile(dir, name, encodedPicture(image, format));
}

inline quint32 crc32Of(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A well-formed 1 x 1 PNG whose header, checksum and all, claims width x height.
inline QByteArray pngAnnouncing(quint32 width, quint32 height)
{
    QByteArray bytes = encodedPicture(patternPicture(1, 1), "png");
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(crc32Of(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

// A 1 x 1 bitmap whose header claims width x height.
inline QByteArray bmpAnnouncing(qint32 width, qint32 height)
{
    QByteArray bytes = encodedPicture(patternPicture(1, 1), "bmp");
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

} // namespace tintara::test
