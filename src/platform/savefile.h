#pragma once

#include <QByteArray>
#include <QString>

namespace tintara {

// Makes bytes the whole content of the file at path. On failure (a full disk, no permission) the
// result is false, *reason says why in the system's words, an existing file keeps its old content
// and no new file is left behind. An existing file stays what it was: where replacing it by a new
// file would change its owner or group or cut it from its other names, or its folder takes no new
// files, it is written in place, the part beyond its old end first, so that a full disk leaves it
// whole. (Only a file system that copies on every write could still refuse the rest; the old text
// is then partly overwritten, and the failure is reported.)
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* reason);

} // namespace tintara
