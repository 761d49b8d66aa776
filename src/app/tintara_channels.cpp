#include "app/tintara.h"

#include "platform/channelslider.h"
#include "preview/colorcode.h"
#include "preview/web216.h"
#include "tools/autoforeground.h"

#include <QCheckBox>
#include <QLabel>

using namespace tintara;

int Tintara::FC(int i) const
{
    return m_ui.Slider1[i]->value();
}

int Tintara::BC(int i) const
{
    return m_ui.Slider1[i + 3]->value();
}

QString Tintara::HEX2(int v)
{
    return hex2(v);
}

void Tintara::Slider1_Change(int Index)
{
    const QString value = QString::number(m_ui.Slider1[Index]->value());
    m_ui.cval[Index]->setText(value);
    // A named label no longer reports its text to screen readers: the name carries the number.
    m_ui.cval[Index]->setAccessibleName(channelName(Index) + QStringLiteral("の値 ") + value);
}

void Tintara::Slider1_Scroll(int Index)
{
    m_Updating = true;
    ChannelSlider* slider = m_ui.Slider1[Index];
    if (m_Web216)
        slider->setValue(roundToWebSafe(slider->value()));
    if (m_ui.FAutoCK->isChecked() && Index > 2)
        m_ui.Slider1[Index - 3]->setValue(automaticForeground(slider->value()));
    DrawPreview();
    m_Updating = false;
}
