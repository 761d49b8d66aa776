#include "app/tintara.h"

#include "platform/channelslider.h"

#include <QLabel>

using namespace tintara;

void Tintara::connectChannels()
{
    for (int i = 0; i < kChannelCount; ++i) {
        connect(m_ui.Slider1[i], &ChannelSlider::changed, this, [this, i] { Slider1_Change(i); });
        connect(m_ui.Slider1[i], &ChannelSlider::scrolled, this, [this, i] { Slider1_Scroll(i); });
    }
}

void Tintara::showChannels()
{
    // A slider set to the value it holds reports no change: its label is set all the same.
    for (int i = 0; i < kChannelCount; ++i) {
        if (m_ui.Slider1[i]->value() != m_model.channel(i))
            m_ui.Slider1[i]->setValue(m_model.channel(i));
        else
            Slider1_Change(i);
    }
}

QString Tintara::channelName(int Index)
{
    static const char* const names[kChannelCount] = {"前景 赤", "前景 緑", "前景 青",
                                                     "背景 赤", "背景 緑", "背景 青"};
    return QString::fromUtf8(names[Index]);
}

void Tintara::Slider1_Change(int Index)
{
    const int value = m_ui.Slider1[Index]->value();
    // A slider set from code sets its channel, with no rule and no drawing.
    m_model.setChannel(Index, value);
    const QString text = QString::number(value);
    m_ui.cval[Index]->setText(text);
    // A named label no longer reports its text to screen readers: the name carries the number.
    m_ui.cval[Index]->setAccessibleName(channelName(Index) + QStringLiteral("の値 ") + text);
}

void Tintara::Slider1_Scroll(int Index)
{
    m_model.moveChannel(Index, m_ui.Slider1[Index]->value());
    endStep(Index);
}
