#include "support/fulldisk.h"

#include "support/fakes.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

namespace tintara::test {

namespace {

const QString kFiller = QStringLiteral(".filler");

} // namespace

FullDisk::FullDisk(const QMap<QString, QByteArray>& files, qint64 room)
{
#ifdef Q_OS_LINUX
    const QByteArray where = QFile::encodeName(m_dir.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") != 0) {
        m_problem = QStringLiteral("a small file system cannot be mounted here: ") +
                    QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (!writeFile(filePath(it.key()), it.value()))
            m_problem = QStringLiteral("cannot write ") + it.key();
    }
    const QString spare = filePath(QStringLiteral(".spare"));
    if (room > 0 && !writeFile(spare, QByteArray(room, 's')))
        m_problem = QStringLiteral("cannot keep room on the disk");
    QFile filler(filePath(kFiller));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_problem = QStringLiteral("cannot fill the disk");
        return;
    }
    const QByteArray block(1024, 'x');
    while (filler.write(block) > 0) {
    }
    QFile::remove(spare);
#else
    Q_UNUSED(files);
    Q_UNUSED(room);
    m_problem = QStringLiteral("a full disk is only made on Linux");
#endif
}

FullDisk::~FullDisk()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
}

void FullDisk::makeRoom() const
{
    QFile::remove(filePath(kFiller));
}

bool FullDisk::makeReadOnly() const
{
#ifdef Q_OS_LINUX
    return m_mounted && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                                MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#else
    return false;
#endif
}

} // namespace tintara::test
