#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QTemporaryFile>
#endif

namespace tintara {

namespace {

constexpr int kGuardWaitMs = 5000;

// The file QSettings writes: where the settings file is a symbolic link, QSaveFile replaces what
// it points to.
QString writtenFile(const QSettings& settings)
{
    const QFileInfo file(settings.fileName());
    return file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
}

#ifdef Q_OS_UNIX

// A name beside the file that nothing else uses.
QByteArray besideFile(const QString& file, const char* purpose)
{
    static int count = 0;
    return QFile::encodeName(file) + '.' + purpose + '-' +
           QByteArray::number(QCoreApplication::applicationPid()) + '-' +
           QByteArray::number(++count);
}

// Whether the file holds what the settings object holds, read from the disk under a second name:
// under its own name the reading would come from what this process already holds. Nothing when
// the file can have no second name.
std::optional<bool> readsBackWhole(const QSettings& settings, const QString& file)
{
    const QByteArray alias = besideFile(file, "check");
    if (::link(QFile::encodeName(file).constData(), alias.constData()) != 0)
        return std::nullopt;
    bool same = false;
    {
        const QSettings written(QFile::decodeName(alias), QSettings::NativeFormat);
        QStringList keys = settings.allKeys();
        QStringList writtenKeys = written.allKeys();
        keys.sort();
        writtenKeys.sort();
        same = written.status() == QSettings::NoError && keys == writtenKeys &&
               std::all_of(keys.cbegin(), keys.cend(), [&](const QString& key) {
                   return written.value(key) == settings.value(key);
               });
    }
    ::unlink(alias.constData());
    return same;
}

#endif

// QSettings writes through QSaveFile, which on a full disk puts an empty or cut-short file in
// place of the old one and reports success. The old file is kept under a second name until the
// new one has been read back whole, and put back if it was not. The reading decides: the status
// of a settings object stays an error once it has been one.
bool syncWhole(QSettings& settings)
{
#ifdef Q_OS_UNIX
    const QString file = writtenFile(settings);
    const QByteArray native = QFile::encodeName(file);
    const QByteArray kept = besideFile(file, "keep");
    struct stat before = {};
    const bool existed = ::stat(native.constData(), &before) == 0;
    const bool keptOld = existed && ::link(native.constData(), kept.constData()) == 0;
    settings.sync();
    const bool ok =
        readsBackWhole(settings, file).value_or(settings.status() != QSettings::AccessError);
    if (!ok && keptOld)
        ::rename(kept.constData(), native.constData());
    else if (!ok && !existed)
        ::unlink(native.constData());
    ::unlink(kept.constData());
    return ok;
#else
    settings.sync();
    return settings.status() != QSettings::AccessError;
#endif
}

// About as many bytes as the file takes, for a trial write.
qint64 roughSize(const QSettings& settings)
{
    qint64 bytes = 1024;
    for (const QString& key : settings.allKeys())
        bytes += 2 * key.size() + 3 * settings.value(key).toString().size() + 8;
    return bytes;
}

// Why a file of about `bytes` bytes cannot be written at `file`, in the user's words.
QString whyNotWritten(const QString& file, qint64 bytes)
{
    const QFileInfo info(file);
    for (QFileInfo folder(info.absolutePath()); !folder.isRoot();
         folder.setFile(folder.absolutePath())) {
        if (folder.exists() && !folder.isDir())
            return QStringLiteral("フォルダーの場所に同じ名前のファイルがあります");
        if (folder.isDir())
            break;
    }
    if (info.isDir())
        return QStringLiteral("設定ファイルの場所に同じ名前のフォルダーがあります");
    if (info.exists() && !info.isReadable())
        return QStringLiteral("設定ファイルを読み取る許可がありません");
#ifdef Q_OS_UNIX
    // A trial file of about the same size meets what the real one met.
    QByteArray trial = QFile::encodeName(info.absolutePath() + QStringLiteral("/.tintara-XXXXXX"));
    int error = 0;
    const int fd = ::mkstemp(trial.data());
    if (fd < 0) {
        error = errno;
    } else {
        ::unlink(trial.constData());
        const QByteArray block(4096, '\0');
        for (qint64 done = 0; done < bytes && error == 0;) {
            const ssize_t written = ::write(fd, block.constData(),
                                            size_t(std::min<qint64>(block.size(), bytes - done)));
            if (written > 0)
                done += written;
            else if (written < 0 && errno != EINTR)
                error = errno;
        }
        if (error == 0 && ::fsync(fd) != 0)
            error = errno;
        ::close(fd);
    }
    switch (error) {
    case 0:
        break;
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに空きがありません");
    case EROFS:
        return QStringLiteral("読み取り専用です");
    case EACCES:
    case EPERM:
        return QStringLiteral("フォルダーに書き込む許可がありません");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("フォルダーを作れません");
    default:
        return qt_error_string(error);
    }
#else
    QTemporaryFile trial(info.absolutePath() + QStringLiteral("/.tintara-XXXXXX"));
    if (!trial.open() || trial.write(QByteArray(int(std::min<qint64>(bytes, 1 << 20)), '\0')) < 0 ||
        !trial.flush())
        return trial.errorString();
#endif
    return QStringLiteral("書き込んだ内容を読み戻せませんでした");
}

// QSettings also writes its changes by itself, from the event loop, a moment after they are made,
// and again after a failed write: that would take none of the care a commit takes.
class CommitOnly final : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::UpdateRequest;
    }
};

} // namespace

NativeSettingsStore::NativeSettingsStore(const QString& application, const QStringList& ownSections)
    : m_ownSections(ownSections)
    , m_commitOnly(std::make_unique<CommitOnly>())
    , m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             application, application))
{
    m_settings->installEventFilter(m_commitOnly.get());
    // Sections are read as they are first used, and the status says only what was read so far.
    m_settings->allKeys();
    if (m_settings->status() == QSettings::FormatError)
        setDamagedFileAside();
}

void NativeSettingsStore::setDamagedFileAside()
{
    // Written over, the file would be gone; kept as it is under a new name, it is the user's to
    // look into, and the settings start afresh.
    const QString file = m_settings->fileName();
    QFile damaged(file);
    if (!damaged.open(QIODevice::ReadOnly)) {
        m_damage = QStringLiteral("設定ファイルが壊れていて、読み取ることもできません");
        return;
    }
    const QByteArray bytes = damaged.readAll();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= 100; ++n) {
        const QString name = file + QStringLiteral(".damaged-") + stamp +
                             (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        QFile aside(name);
        // Never over a file that is there already.
        if (!aside.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (aside.exists())
                continue;
            break;
        }
        bool ok = aside.write(bytes) == bytes.size() && aside.flush();
#ifdef Q_OS_UNIX
        ok = ok && ::fsync(aside.handle()) == 0;
#endif
        aside.close();
        if (!ok) {
            aside.remove();
            break;
        }
        // What can still be read of the program's own sections is kept; the rest, which may not
        // even be written back as it was read, is in the copy.
        QList<std::pair<QString, QVariant>> kept;
        for (const QString& key : m_settings->allKeys()) {
            if (m_ownSections.contains(key.section(QLatin1Char('/'), 0, 0)))
                kept.append({key, m_settings->value(key)});
        }
        m_settings->clear();
        for (const auto& [key, value] : kept)
            m_settings->setValue(key, value);
        m_uncommitted = true;
        m_notice = QStringLiteral("設定ファイルが壊れていたため、読み取れた設定だけで始めます。"
                                  "元のファイルはそのまま次の名前で残してあります:\n%1")
                       .arg(QDir::toNativeSeparators(name));
        return;
    }
    m_damage = QStringLiteral("設定ファイルが壊れていて、別の名前で残すこともできません (%1)")
                   .arg(whyNotWritten(file, bytes.size()));
}

NativeSettingsStore::~NativeSettingsStore() = default;

QString NativeSettingsStore::read(const QString& section, const QString& key,
                                  const QString& defaultValue)
{
    const QString path = section + QLatin1Char('/') + key;
    if (!m_settings->contains(path))
        return defaultValue;
    const QVariant value = m_settings->value(path);
    // A hand-edited value with unquoted commas comes back as a list; the text was one string.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (value.canConvert<QString>())
        return value.toString();
    return defaultValue;
}

void NativeSettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    // A damaged file that could not be kept elsewhere is not written over.
    if (!m_damage.isEmpty())
        return;
    // Always a string, so the file holds the text itself rather than a typed @Variant form.
    m_settings->setValue(section + QLatin1Char('/') + key, value);
    m_uncommitted = true;
}

bool NativeSettingsStore::commit(QString* where, QString* why)
{
    // A format error only says the old file could not all be read; the new one is written.
    const bool ok = m_damage.isEmpty() && syncWhole(*m_settings);
    if (where)
        *where = ok ? QString() : m_settings->fileName();
    if (why && !ok)
        *why = m_damage.isEmpty() ? whyNotWritten(writtenFile(*m_settings), roughSize(*m_settings))
                                  : m_damage;
    m_uncommitted = !ok;
    m_guard.reset();
    return ok;
}

QString NativeSettingsStore::takeNotice()
{
    return std::exchange(m_notice, QString());
}

void NativeSettingsStore::reload()
{
    // Held until the commit, so that two copies of the program each read, change and write the
    // file in turn. A lock that cannot be had in time, or at all, is gone without.
    if (!m_guard) {
        m_guard = std::make_unique<QLockFile>(writtenFile(*m_settings) + QStringLiteral(".guard"));
        m_guard->tryLock(kGuardWaitMs);
    }
    if (!m_damage.isEmpty())
        return;
    // Writes that a failed commit left pending would go out with the reading.
    if (m_uncommitted)
        syncWhole(*m_settings);
    else
        m_settings->sync();
}

} // namespace tintara
