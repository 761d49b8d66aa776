#include "platform/channelslider.h"

namespace tintara {

ChannelSlider::ChannelSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 255);
    setTracking(true);
    connect(this, &QAbstractSlider::valueChanged, this, &ChannelSlider::changed);
    // actionTriggered is emitted for user input only, but before QAbstractSlider applies the new
    // value; the notification is held back until the event that caused it has been handled.
    connect(this, &QAbstractSlider::actionTriggered, this, [this] { m_userAction = true; });
}

bool ChannelSlider::event(QEvent* event)
{
    m_userAction = false;
    const bool handled = QSlider::event(event);
    if (m_userAction) {
        m_userAction = false;
        emit scrolled();
    }
    return handled;
}

} // namespace tintara
