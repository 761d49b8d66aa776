#include "app/tintara.h"

#include "platform/canvas.h"
#include "platform/channelslider.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using namespace tintara;

namespace {

// The window's keys reach it from a code box too: the box would otherwise take undo, redo and
// Ctrl+X for its own text, and have them even when the window's command is unavailable.
class LeaveKeysToWindow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combination = key->keyCombination();
        return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
               combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
               combination == QKeyCombination(Qt::ControlModifier, Qt::Key_X);
    }
};

} // namespace

void Tintara::createHistory()
{
    HistoryUi& history = m_historyUi;
    history.menu = new QMenu(QStringLiteral("編集"), this);
    menuBar()->insertMenu(m_check.menu->menuAction(), history.menu);
    history.undo = history.menu->addAction(QStringLiteral("元に戻す"));
    history.undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    history.redo = history.menu->addAction(QStringLiteral("やり直し"));
    history.redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    showHistory();
}

void Tintara::connectHistory()
{
    connect(m_historyUi.undo, &QAction::triggered, this, [this] { stepBack(true); });
    connect(m_historyUi.redo, &QAction::triggered, this, [this] { stepBack(false); });
    auto* filter = new LeaveKeysToWindow(this);
    for (QLineEdit* box : m_ui.ColorCode)
        box->installEventFilter(filter);
    for (ChannelSlider* slider : m_ui.Slider1)
        connect(slider, &QSlider::sliderReleased, this, [this] { endStep(); });
    // Only the left button picks on a bar.
    for (Canvas* bar : {m_ui.ForeBar, m_ui.BackBar}) {
        connect(bar, &Canvas::mousePressed, this, [this](Qt::MouseButton button) {
            m_barHeld = m_barHeld || button == Qt::LeftButton;
        });
        connect(bar, &Canvas::mouseReleased, this, [this](Qt::MouseButton button) {
            if (button != Qt::LeftButton)
                return;
            m_barHeld = false;
            endStep();
        });
    }
    // A run of keys ends when the keyboard leaves its slider.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { m_history.endRun(); });
}

void Tintara::endStep(int runSlider)
{
    // A drag goes on: its step ends when it is let go. A release that never came (a dialog
    // opened over the drag and took it) ends it too.
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) {
        if (m_barHeld)
            return;
        for (const ChannelSlider* slider : m_ui.Slider1)
            if (slider->isSliderDown())
                return;
    }
    m_barHeld = false;
    // Keys on a slider join its run; anything else, or another slider, starts anew.
    m_history.record(m_model.state(), runSlider + 1);
    showHistory();
}

void Tintara::stepBack(bool undo)
{
    endStep();
    m_history.endRun();
    if (const auto state = undo ? m_history.undo() : m_history.redo())
        m_model.restore(*state);
    showHistory();
}

void Tintara::showHistory()
{
    m_historyUi.undo->setEnabled(m_history.canUndo());
    m_historyUi.redo->setEnabled(m_history.canRedo());
}
