#include "platform/exposure.h"

#include <QEvent>
#include <QPointer>
#include <QWindow>

namespace tintara {

namespace {

class ExposureWatch final : public QObject
{
public:
    ExposureWatch(QWindow* window, QObject* context, std::function<void()> action)
        : QObject(context)
        , m_window(window)
        , m_action(std::move(action))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed()) {
            m_window->removeEventFilter(this);
            const std::function<void()> action = std::move(m_action);
            deleteLater();
            action();
        }
        return false;
    }

private:
    QPointer<QWindow> m_window;
    std::function<void()> m_action;
};

} // namespace

void onFirstExposure(QWindow* window, QObject* context, std::function<void()> action)
{
    if (!window || !action)
        return;
    if (window->isExposed())
        action();
    else
        new ExposureWatch(window, context, std::move(action));
}

} // namespace tintara
