#include "platform/savefile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tintara {

namespace {

bool replaceFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    QSaveFile file(path);
    // Unbuffered, so that a write the disk refuses fails here and not inside commit(), which would
    // then put the short file in place and report success.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; ok && done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        ok = written > 0;
        done += written;
    }
    if (ok && file.commit())
        return true;
    *reason = file.errorString();
    return false;
}

#ifdef Q_OS_UNIX

// Qt's wording, translated as the reasons QSaveFile gives are.
QString systemError(int error)
{
    return qt_error_string(error);
}

// Whether this program, with its effective user and groups, may do what mode asks on path.
bool mayAccess(const QByteArray& path, int mode)
{
    return ::faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

// A new file put in the old one's place would belong to this user and this folder's group, with
// none of the old file's other names.
bool replacingKeepsFile(const QString& path, const struct stat& file)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).canonicalPath());
    struct stat parent = {};
    if (::stat(folder.constData(), &parent) != 0)
        return false;
    const gid_t newGroup = (parent.st_mode & S_ISGID) ? parent.st_gid : ::getegid();
    return file.st_nlink == 1 && file.st_uid == ::geteuid() && file.st_gid == newGroup &&
           mayAccess(folder, W_OK | X_OK);
}

// Writes bytes [from, to) at their own offsets; gives 0 or the error.
int writeRange(int fd, const QByteArray& bytes, qint64 from, qint64 to)
{
    while (from < to) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + from, to - from, from);
        if (written > 0)
            from += written;
        else if (written == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

bool writeInPlace(const QByteArray& path, const QByteArray& bytes, QString* reason)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    struct stat file = {};
    if (fd < 0 || ::fstat(fd, &file) != 0) {
        *reason = systemError(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const qint64 oldSize = file.st_size;
    const qint64 newSize = bytes.size();
    // What lies beyond the old end goes first: a disk without room for it leaves the old text
    // whole, and the rest is written over space the file already has.
    int error = writeRange(fd, bytes, std::min(oldSize, newSize), newSize);
    if (error != 0) {
        [[maybe_unused]] const int restored = ::ftruncate(fd, oldSize);
    } else {
        error = writeRange(fd, bytes, 0, std::min(oldSize, newSize));
    }
    if (error == 0 && (::ftruncate(fd, newSize) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        *reason = systemError(error);
    return error == 0;
}

#endif

} // namespace

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat file = {};
    if (::stat(native.constData(), &file) == 0 && S_ISREG(file.st_mode)) {
        // Renaming over a read-only file would ignore its being read-only.
        if (!mayAccess(native, W_OK)) {
            *reason = systemError(errno);
            return false;
        }
        if (!replacingKeepsFile(path, file))
            return writeInPlace(native, bytes, reason);
    }
#endif
    return replaceFile(path, bytes, reason);
}

} // namespace tintara
