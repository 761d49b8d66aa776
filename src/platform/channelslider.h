#pragma once

#include <QSlider>

namespace tintara {

// A channel slider, 0..255, with two notifications: changed() for every change of value, from the
// user or from code, and scrolled() only for the user's own movements (drag, click beside the
// thumb, keys, wheel), raised after the new value is in place.
class ChannelSlider : public QSlider
{
    Q_OBJECT
public:
    explicit ChannelSlider(QWidget* parent = nullptr);

signals:
    void changed();
    void scrolled();

protected:
    bool event(QEvent* event) override;

private:
    bool m_userAction = false;
};

} // namespace tintara
