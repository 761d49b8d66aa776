#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tintara {

namespace {

// QSettings reads "/" as a group separator and "\" as an escape; names holding either, or none at
// all, would land elsewhere in the file than asked.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
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

// Read from the disk under a second name: a settings object for the file itself would answer
// from what this process already holds.
bool readsBackWhole(const QSettings& settings)
{
    const QByteArray file = QFile::encodeName(settings.fileName());
    const QByteArray alias = besideFile(settings.fileName(), "check");
    if (::link(file.constData(), alias.constData()) != 0)
        return true;
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
// new one has been read back whole, and put back if it was not.
bool syncWhole(QSettings& settings)
{
#ifdef Q_OS_UNIX
    const QByteArray file = QFile::encodeName(settings.fileName());
    const QByteArray kept = besideFile(settings.fileName(), "keep");
    const bool hadFile = ::link(file.constData(), kept.constData()) == 0;
    settings.sync();
    const bool ok = settings.status() != QSettings::AccessError && readsBackWhole(settings);
    if (!ok) {
        if (hadFile)
            ::rename(kept.constData(), file.constData());
        else
            ::unlink(file.constData());
    }
    ::unlink(kept.constData());
    return ok;
#else
    settings.sync();
    return settings.status() != QSettings::AccessError;
#endif
}

} // namespace

QString DefaultsOnlyStore::read(const QString&, const QString&, const QString&,
                                const QString& defaultValue)
{
    return defaultValue;
}

void DefaultsOnlyStore::write(const QString&, const QString&, const QString&, const QString&) {}

NativeSettingsStore::NativeSettingsStore() = default;

NativeSettingsStore::~NativeSettingsStore() = default;

QSettings& NativeSettingsStore::settingsFor(const QString& application)
{
    auto& settings = m_files[application];
    if (!settings) {
        settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               application, application);
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
    return failed.isEmpty();
}

void NativeSettingsStore::reload()
{
    for (auto& [application, settings] : m_files) {
        // Writes that a failed commit left pending would go out with the reading.
        if (m_uncommitted)
            syncWhole(*settings);
        else
            settings->sync();
    }
}

} // namespace tintara
