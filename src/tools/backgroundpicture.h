#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace tintara {

// A decoded picture may take at most this many megabytes; larger ones are refused before their
// pixel memory is taken, whatever size their header announces.
inline constexpr int kPictureAllocationLimitMB = 128;

// The file name at the end of a path: everything after the last folder separator of this system,
// the whole path when it has none. On Windows "\" and "/" separate folders, so "C:\pics\" gives an
// empty name; elsewhere only "/" does, and a "\" is part of a name.
QString extractFileName(const QString& path);

// Filters for the open dialog: the picture formats among readableFormats first (the names
// QImageReader::supportedImageFormats() gives), all files second.
QStringList pictureNameFilters(const QList<QByteArray>& readableFormats);

// Reads a picture for the preview's background. Gives a null image, and takes no more memory
// than the allocation limit allows, for an empty path, a missing file, a folder or other special
// file, a file that is not a readable picture, a bitmap shorter than its header says, and a
// picture larger than the limit.
QImage readPicture(const QString& path);
// The same from an open device that can seek, such as a file or a buffer, read from its start.
QImage readPicture(QIODevice& device);

} // namespace tintara
