#include "platform/uifont.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

namespace tintara {

void useJapaneseUiFont()
{
    QFont font = QApplication::font();
    QStringList families = font.families();
    if (families.isEmpty())
        families << font.family();
    for (const char* face : {"Noto Sans CJK JP", "Noto Sans JP", "Yu Gothic UI", "Meiryo UI",
                             "MS UI Gothic", "Hiragino Sans"}) {
        if (!families.contains(QLatin1String(face)))
            families << QLatin1String(face);
    }
    font.setFamilies(families);
    QApplication::setFont(font);
}

} // namespace tintara
