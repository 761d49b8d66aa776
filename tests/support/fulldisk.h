#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace tintara::test {

// A small file system of its own (tmpfs) on a fresh folder, holding the given files and then
// filled up, as a full disk is, but for `room` bytes. Mounting needs root: problem() says why the
// disk could not be made, and a test then skips.
class FullDisk
{
public:
    explicit FullDisk(const QMap<QString, QByteArray>& files = {}, qint64 room = 0);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString problem() const { return m_problem; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Frees the room the filler took.
    void makeRoom() const;
    // Mounts it again read-only, as a locked-down home folder is.
    bool makeReadOnly() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_problem;
};

} // namespace tintara::test
