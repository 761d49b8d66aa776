#include "platform/settingsstore.h"

#include <QSettings>
#include <QStringList>

namespace tintara {

namespace {

// QSettings reads "/" as a group separator and "\" as an escape; names holding either, or none at
// all, would land elsewhere in the file than asked.
bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
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
}

bool NativeSettingsStore::commit(QString* where)
{
    QStringList failed;
    for (auto& [application, settings] : m_files) {
        // QSettings writes through QSaveFile: a new file that replaces the old one whole.
        settings->sync();
        // A format error only says the old file could not all be read; the new one is written.
        if (settings->status() == QSettings::AccessError)
            failed << settings->fileName();
    }
    if (!m_refused.isEmpty()) {
        failed << m_refused;
        m_refused.clear();
    }
    if (where)
        *where = failed.join(QStringLiteral(", "));
    return failed.isEmpty();
}

} // namespace tintara
