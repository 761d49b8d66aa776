#include "app/tintara.h"

#include "sets/colorset.h"
#include "sets/frmsavecolor.h"

#include <QComboBox>
#include <QLineEdit>
#include <utility>

using namespace tintara;

void Tintara::FillColorCombo(const QString& entry)
{
    if (const auto set = parseColorSetEntry(entry))
        appendColorSet(set->name, set->pair);
}

void Tintara::ColorCmbo_Click()
{
    const int index = m_ui.ColorCmbo->currentIndex();
    if (index < 0 || index >= m_ui.ColorList.size())
        return;
    const auto codes = splitAtFirstComma(m_ui.ColorList.at(index));
    if (!codes)
        return;
    // When the background code will apply too, the preview is drawn once, with both colours in:
    // a drawing with the new text colour alone would be drawn over before it could be shown.
    m_previewHeld = parseColorCode(codes->rest).has_value();
    m_ui.ColorCode[0]->setText(codes->first);
    m_previewHeld = false;
    m_ui.ColorCode[1]->setText(codes->rest);
    // The background box may have shown that code already, and so not have drawn it.
    if (std::exchange(m_previewStale, false))
        DrawPreview();
}

void Tintara::AddBtn_Click()
{
    SaveColor_Click();
}

void Tintara::SaveColor_Click()
{
    frmSaveColor dialog(*this);
    dialog.exec();
}

void Tintara::DelList_Click()
{
    const int index = m_ui.ColorCmbo->currentIndex();
    if (index < 0)
        return;
    m_ui.ColorList.removeAt(index);
    m_ui.ColorCmbo->removeItem(index);
    // The combo picks a neighbour when its current item goes; the deletion leaves none chosen.
    m_ui.ColorCmbo->setCurrentIndex(-1);
}

QStringList Tintara::colorSetNames() const
{
    QStringList names;
    names.reserve(m_ui.ColorCmbo->count());
    for (int i = 0; i < m_ui.ColorCmbo->count(); ++i)
        names << m_ui.ColorCmbo->itemText(i);
    return names;
}

int Tintara::appendColorSet(const QString& name, const QString& pair)
{
    // Adding to an empty combo would make the new item current; adding never chooses a set.
    const int selected = m_ui.ColorCmbo->currentIndex();
    m_ui.ColorCmbo->addItem(name);
    m_ui.ColorList.append(pair);
    m_ui.ColorCmbo->setCurrentIndex(selected);
    return m_ui.ColorCmbo->count() - 1;
}

void Tintara::replaceColorPair(int index, const QString& pair)
{
    if (index >= 0 && index < m_ui.ColorList.size())
        m_ui.ColorList[index] = pair;
}

void Tintara::selectColorSet(int index)
{
    m_ui.ColorCmbo->setCurrentIndex(index);
    ColorCmbo_Click();
}
