#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace tintara {

// A picture may have at most this many million pixels: a photograph of 100 megapixels is read,
// a larger one is refused from its header.
inline constexpr int kPictureMegapixelLimit = 128;
// What a decoder may allocate for one picture, in megabytes: the pixel limit at 8 bytes a pixel,
// the widest a decoder gives (16 bits a channel). Whatever size a header announces, a picture
// that would take more is refused before its memory is taken.
inline constexpr int kPictureAllocationLimitMB =
    int((qint64(kPictureMegapixelLimit) * 8'000'000 + (1 << 20) - 1) >> 20);

// Filters for the open dialog: the picture formats among readableFormats first (the names
// QImageReader::supportedImageFormats() gives), all files second.
QStringList pictureNameFilters(const QList<QByteArray>& readableFormats);

// A picture read from a file, or why it could not be.
struct PictureFile
{
    QImage image;
    // Empty when the image is good; otherwise a short phrase that fits after
    // "画像を読み込めません: ", such as "フォルダーです".
    QString problem;
};

// Reads a picture for the preview's background, taking no more memory than the allocation limit
// allows. Gives a null image with its reason for a missing file, a folder or other special file
// (never opened: a pipe or a device could block or never end), a file this user may not read,
// one that is no picture Qt reads, one that is damaged or cut short (a bitmap shorter than its
// header says included), and a picture over the pixel limit. An empty path, a cancelled dialog,
// gives a null image with nothing to tell.
PictureFile readPicture(const QString& path);
// The same from an open device that can seek, such as a file or a buffer, read from its start.
PictureFile readPicture(QIODevice& device);

} // namespace tintara
