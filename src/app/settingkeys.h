#pragma once

#include "model/colormodel.h"
#include "platform/settingsstore.h"

#include <QString>

// Every key the program keeps in the settings store, with the text forms in settingvalues.h.
namespace tintara::keys {

struct Key
{
    const char* section;
    const char* name;
};

// The client area's place, in twips.
inline constexpr Key kTop{"window", "Top"};
inline constexpr Key kLeft{"window", "Left"};
// The automatic text colour's switch: "0" or "1".
inline constexpr Key kAutomatic{"param", "fauto"};
// Web-safe mode: "True" or "False"; on when nothing is stored.
inline constexpr Key kWeb216{"pass", "w216"};
// The channels in the model's order, each a whole number 0..255.
inline constexpr Key kChannels[kChannelCount] = {{"color", "fr"}, {"color", "fg"}, {"color", "fb"},
                                                 {"color", "br"}, {"color", "bg"}, {"color", "bb"}};
// The contrast target: "AA" or "AAA".
inline constexpr Key kTarget{"check", "level"};
// The colour sets, "No.0", "No.1", ..., each "name,#RRGGBB,#RRGGBB", the list ended by an empty
// value.
inline constexpr const char* kColorList = "ColorList";

// Every section above.
inline QStringList sections()
{
    QStringList names;
    for (const char* section : {kTop.section, kAutomatic.section, kWeb216.section,
                                kChannels[0].section, kTarget.section, kColorList})
        names << QLatin1String(section);
    return names;
}

inline QString colorSetKey(int index)
{
    return QStringLiteral("No.") + QString::number(index);
}

inline QString read(SettingsStore& store, const Key& key, const QString& fallback)
{
    return store.read(QLatin1String(key.section), QLatin1String(key.name), fallback);
}

inline void write(SettingsStore& store, const Key& key, const QString& value)
{
    store.write(QLatin1String(key.section), QLatin1String(key.name), value);
}

} // namespace tintara::keys
