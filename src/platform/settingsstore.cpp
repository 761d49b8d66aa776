#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
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

NativeSettingsStore::NativeSettingsStore(const QString& application)
    : m_commitOnly(std::make_unique<CommitOnly>())
    , m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             application, application))
{
    m_settings->installEventFilter(m_commitOnly.get());
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
    // Always a string, so the file holds the text itself rather than a typed @Variant form.
    m_settings->setValue(section + QLatin1Char('/') + key, value);
    m_uncommitted = true;
}

bool NativeSettingsStore::commit(QString* where)
{
    // A format error only says the old file could not all be read; the new one is written.
    const bool ok = syncWhole(*m_settings);
    if (where)
        *where = ok ? QString() : m_settings->fileName();
    m_uncommitted = !ok;
    m_guard.reset();
    return ok;
}

void NativeSettingsStore::reload()
{
    // Held until the commit, so that two copies of the program each read, change and write the
    // file in turn. A lock that cannot be had in time, or at all, is gone without.
    if (!m_guard) {
        m_guard = std::make_unique<QLockFile>(writtenFile(*m_settings) + QStringLiteral(".guard"));
        m_guard->tryLock(kGuardWaitMs);
    }
    // Writes that a failed commit left pending would go out with the reading.
    if (m_uncommitted)
        syncWhole(*m_settings);
    else
        m_settings->sync();
}

} // namespace tintara
