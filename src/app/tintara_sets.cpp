#include "app/tintara.h"

#include "platform/settingsstore.h"
#include "preview/colorcode.h"
#include "sets/colorset.h"
#include "sets/contrasttable.h"
#include "sets/contrasttablewindow.h"
#include "sets/frmsavecolor.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

using namespace tintara;

void Tintara::connectSets()
{
    // activated also comes when the user chooses the set already chosen.
    connect(m_ui.ColorCmbo, &QComboBox::activated, this, &Tintara::ColorCmbo_Click);
    connect(m_ui.AddBtn, &QPushButton::clicked, this, &Tintara::AddBtn_Click);
    connect(m_ui.DelList, &QPushButton::clicked, this, &Tintara::DelList_Click);
    connect(m_ui.SaveColor, &QAction::triggered, this, &Tintara::SaveColor_Click);
}

void Tintara::FillColorCombo(const QString& entry)
{
    if (const auto set = parseColorSetEntry(entry))
        addColorSet(set->name, set->pair);
}

void Tintara::ColorCmbo_Click()
{
    const int index = m_ui.ColorCmbo->currentIndex();
    if (index < 0)
        return;
    const auto codes = splitAtFirstComma(m_ui.ColorCmbo->itemData(index).toString());
    if (!codes)
        return;
    // Each code as if typed into its box, the text colour first; a code that is no colour
    // changes nothing.
    m_model.chooseSet(parseColorCode(codes->first), parseColorCode(codes->rest));
    endStep();
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
    const ColorSetEntry deleted{colorSetName(index), m_ui.ColorCmbo->itemData(index).toString()};
    m_ui.ColorCmbo->removeItem(index);
    // The combo picks a neighbour when its current item goes; the deletion leaves none chosen.
    m_ui.ColorCmbo->setCurrentIndex(-1);
    storeColorSetChange({true, deleted});
}

QString Tintara::colorSetName(int index) const
{
    return m_ui.ColorCmbo->itemData(index, kSetNameRole).toString();
}

QStringList Tintara::colorSetNames() const
{
    QStringList names;
    names.reserve(m_ui.ColorCmbo->count());
    for (int i = 0; i < m_ui.ColorCmbo->count(); ++i)
        names << colorSetName(i);
    return names;
}

int Tintara::saveColorSet(const QString& name, const QString& pair)
{
    int index = findSetName(colorSetNames(), name);
    if (index >= 0)
        m_ui.ColorCmbo->setItemData(index, pair);
    else
        index = addColorSet(name, pair);
    storeColorSetChange({false, {name, pair}});
    return index;
}

int Tintara::addColorSet(const QString& name, const QString& pair)
{
    // A name too long for the box is shown shortened there and in the popup, which would
    // otherwise grow to the longest name, up to the screen's width; the whole name is a tooltip.
    QComboBox* combo = m_ui.ColorCmbo;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const int room =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .width() -
        2;
    const QString shown = combo->fontMetrics().elidedText(name, Qt::ElideRight, room);
    // Adding to an empty combo would make the new item current; adding never chooses a set.
    const int selected = combo->currentIndex();
    combo->addItem(shown, pair);
    const int index = combo->count() - 1;
    combo->setItemData(index, name, kSetNameRole);
    if (shown != name)
        combo->setItemData(index, name, Qt::ToolTipRole);
    combo->setCurrentIndex(selected);
    return index;
}

void Tintara::selectColorSet(int index)
{
    m_ui.ColorCmbo->setCurrentIndex(index);
    ColorCmbo_Click();
}

void Tintara::showContrastTable()
{
    if (!m_table) {
        m_table = new ContrastTableWindow(this);
        connect(m_table, &ContrastTableWindow::pairChosen, this, [this](Rgb text, Rgb back) {
            m_model.chooseSet(text, back);
            endStep();
        });
    }
    // Filled before it is shown, so that it opens at the size of its colours.
    updateContrastTable(true);
    m_table->show();
    m_table->raise();
    m_table->activateWindow();
}

void Tintara::updateContrastTable(bool evenHidden)
{
    // Made when first asked for; kept up to date while it is open.
    if (!m_table || !(evenHidden || m_table->isVisible()))
        return;
    QStringList pairs;
    for (int i = 0; i < m_ui.ColorCmbo->count(); ++i)
        pairs << m_ui.ColorCmbo->itemData(i).toString();
    m_table->setColors(tableColors(pairs, m_model.text(), m_model.background()));
    m_table->setApplyAvailable(!m_model.automaticText());
}

void Tintara::storeColorSetChange(const ColorSetChange& change)
{
    m_setChanges << change;
    updateContrastTable();
    m_services.settings->reload();
    writeColorSets();
    if (!commitSettings())
        warnSettingsProblem();
}
