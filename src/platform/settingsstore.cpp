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

// QSettings reads "/" as a group separator and "\" as an escape; names holding either, or none at
// all, would land elsewhere in the file than asked.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

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

QString DefaultsOnlyStore::read(const QString&, const QString&, const QString&,
                                const QString& defaultValue)
{
    return defaultValue;
}

void DefaultsOnlyStore::write(const QString&, const QString&, const QString&, const QString&) {}

NativeSettingsStore::NativeSettingsStore()
    : m_commitOnly(std::make_unique<CommitOnly>())
{
}

NativeSettingsStore::~NativeSettingsStore() = default;

QSettings& NativeSettingsStore::settingsFor(const QString& application)
{
    auto& settings = m_files[application];
    if (!settings) {
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               application, application);
        settings->installEventFilter(m_commitOnly.get());
    }
    return *settings;
}

QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key, const QString& defaultValue)
{
    if (!isPlainName(section) || !isPlainName(key))
        return defaultValue;
    QSettings& settings = settingsFor(application);
    const QString path = section + QLatin1Char('/') + key;
    if (!settings.contains(path))
        return defaultValue;
    const QVariant value = settings.value(path);
    // A hand-edited value with unquoted commas comes back as a list; the text was one string.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (value.canConvert<QString>())
        return value.toString();
    return defaultValue;
}

void NativeSettingsStore::write(const QString& application, const QString& section,
                                const QString& key, const QString& value)
{
    if (!isPlainName(section) || !isPlainName(key)) {
        m_refused = section + QLatin1Char('/') + key;
        return;
    }
    // Always a string, so the file holds the text itself rather than a typed @Variant form.
    settingsFor(application).setValue(section + QLatin1Char('/') + key, value);
    m_uncommitted = true;
}

bool NativeSettingsStore::commit(QString* where)
{
    QStringList failed;
    for (auto& [application, settings] : m_files) {
        // A format error only says the old file could not all be read; the new one is written.
        if (!syncWhole(*settings))
            failed << settings->fileName();
    }
    if (!m_refused.isEmpty()) {
        failed << m_refused;
        m_refused.clear();
    }
    if (where)
        *where = failed.join(QStringLiteral(", "));
    m_uncommitted = !failed.isEmpty();
    m_guards.clear();
    return failed.isEmpty();
}

void NativeSettingsStore::reload()
{
    for (auto& [application, settings] : m_files) {
        // Held until the commit, so that two copies of the program each read, change and write
        // the file in turn. A lock that cannot be had in time, or at all, is gone without.
        auto& guard = m_guards[application];
        if (!guard) {
            guard = std::make_unique<QLockFile>(writtenFile(*settings) + QStringLiteral(".guard"));
            guard->tryLock(kGuardWaitMs);
        }
        // Writes that a failed commit left pending would go out with the reading.
        if (m_uncommitted)
            syncWhole(*settings);
        else
            settings->sync();
    }
}

} // namespace tintara
