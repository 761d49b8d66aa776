#include "app/tintara.h"

#include "platform/channelslider.h"
#include "preview/colorcode.h"
#include "preview/web216.h"
#include "tools/autoforeground.h"

#include <QCheckBox>
#include <QLabel>

using namespace tintara;

void Tintara::connectChannels()
{
    for (int i = 0; i < kSliderCount; ++i) {
        connect(m_ui.Slider1[i], &ChannelSlider::changed, this, [this, i] { Slider1_Change(i); });
        connect(m_ui.Slider1[i], &ChannelSlider::scrolled, this, [this, i] { Slider1_Scroll(i); });
    }
}

int Tintara::FC(int i) const
{
    return m_ui.Slider1[i]->value();
}

int Tintara::BC(int i) const
{
    return m_ui.Slider1[kBackFirst + i]->value();
}

QString Tintara::HEX2(int v)
{
    return hex2(v);
}

QString Tintara::channelName(int Index)
{
    static const char* const names[kSliderCount] = {"前景 赤", "前景 緑", "前景 青",
                                                    "背景 赤", "背景 緑", "背景 青"};
    return QString::fromUtf8(names[Index]);
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
    if (m_ui.FAutoCK->isChecked() && Index >= kBackFirst)
        m_ui.Slider1[Index - kBackFirst]->setValue(automaticForeground(slider->value()));
    DrawPreview();
    m_Updating = false;
}
