#include "platform/savefile.h"

#include <QFileInfo>
#include <QSaveFile>

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
           ::access(folder.constData(), W_OK | X_OK) == 0;
}

bool writeInPlace(const QByteArray& path, const QByteArray& bytes, QString* reason)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        *reason = systemError(errno);
        return false;
    }
    int error = 0;
#ifdef Q_OS_LINUX
    // The old text is overwritten only once the disk has room for all of the new one.
    if (!bytes.isEmpty() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        error = errno;
#endif
    for (qint64 done = 0; error == 0 && done < bytes.size();) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (written > 0)
            done += written;
        else if (written < 0 && errno != EINTR)
            error = errno;
    }
    if (error == 0 && (::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0))
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
    QString ignored;
    if (!reason)
        reason = &ignored;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat file = {};
    if (::stat(native.constData(), &file) == 0 && S_ISREG(file.st_mode)) {
        // Renaming over a read-only file would ignore its being read-only.
        if (::access(native.constData(), W_OK) != 0) {
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
