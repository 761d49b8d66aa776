#include "app/tintara.h"

#include "platform/canvas.h"
#include "platform/channelslider.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUndoStack>

using namespace tintara;

namespace {

// More than anyone goes back through; a step is a few dozen bytes.
constexpr int kStepsKept = 1000;

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

class Tintara::ColourStep : public QUndoCommand
{
public:
    ColourStep(Tintara& window, const ChannelValues& before, const ChannelValues& after, int run)
        : m_window(window)
        , m_before(before)
        , m_after(after)
        , m_run(run)
    {
    }

    int id() const override { return m_run >= 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const ColourStep*>(other);
        if (next->m_run != m_run)
            return false;
        m_after = next->m_after;
        setObsolete(m_after == m_before);
        return true;
    }
    void undo() override { m_window.restoreChannels(m_before); }
    void redo() override
    {
        // The first time, the user has just done it.
        if (std::exchange(m_done, true))
            m_window.restoreChannels(m_after);
    }

private:
    Tintara& m_window;
    ChannelValues m_before;
    ChannelValues m_after;
    int m_run;
    bool m_done = false;
};

Tintara::StepScope::StepScope(Tintara& window, bool isStep)
    : m_window(window)
    , m_isStep(isStep)
{
    ++m_window.m_stepDepth;
}

Tintara::StepScope::~StepScope()
{
    if (--m_window.m_stepDepth > 0)
        return;
    if (m_isStep)
        m_window.endStep();
    else
        m_window.absorbChange();
}

void Tintara::createHistory()
{
    m_history = new QUndoStack(this);
    m_history->setUndoLimit(kStepsKept);
    HistoryUi& history = m_historyUi;
    history.menu = new QMenu(QStringLiteral("編集"), this);
    menuBar()->insertMenu(m_check.menu->menuAction(), history.menu);
    history.undo = history.menu->addAction(QStringLiteral("元に戻す"));
    history.undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    history.redo = history.menu->addAction(QStringLiteral("やり直し"));
    history.redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    history.undo->setEnabled(false);
    history.redo->setEnabled(false);
}

void Tintara::connectHistory()
{
    connect(m_historyUi.undo, &QAction::triggered, this, [this] { stepBack(true); });
    connect(m_historyUi.redo, &QAction::triggered, this, [this] { stepBack(false); });
    connect(m_history, &QUndoStack::canUndoChanged, m_historyUi.undo, &QAction::setEnabled);
    connect(m_history, &QUndoStack::canRedoChanged, m_historyUi.redo, &QAction::setEnabled);
    auto* filter = new LeaveKeysToWindow(this);
    for (int i = 0; i < 2; ++i) {
        m_ui.ColorCode[i]->installEventFilter(filter);
        // After the code has been applied; the codes the preview writes back are not typed.
        connect(m_ui.ColorCode[i], &QLineEdit::textChanged, this, [this] {
            if (!m_Updating && m_stepDepth == 0)
                endStep();
        });
    }
    for (int i = 0; i < kSliderCount; ++i) {
        ChannelSlider* slider = m_ui.Slider1[i];
        connect(slider, &ChannelSlider::scrolled, this, [this, i] {
            if (m_stepDepth == 0)
                endStep(i);
        });
        connect(slider, &QSlider::sliderReleased, this, [this] { endStep(); });
    }
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
    for (QPushButton* button : m_ui.Bright)
        connect(button, &QPushButton::clicked, this, [this] { endStep(); });
    // A run of keys ends when the keyboard leaves its slider.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { m_runSlider = -1; });
}

Tintara::ChannelValues Tintara::channelValues() const
{
    ChannelValues values{};
    for (int i = 0; i < kSliderCount; ++i)
        values[i] = m_ui.Slider1[i]->value();
    return values;
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
    const ChannelValues now = channelValues();
    if (now == m_stepFrom)
        return;
    // A run joins the step before only while nothing else came between.
    if (runSlider < 0 || runSlider != m_runSlider)
        ++m_runs;
    m_runSlider = runSlider;
    m_history->push(new ColourStep(*this, m_stepFrom, now, runSlider >= 0 ? m_runs : -1));
    m_stepFrom = now;
}

void Tintara::absorbChange()
{
    m_stepFrom = channelValues();
    m_runSlider = -1;
}

void Tintara::restoreChannels(const ChannelValues& values)
{
    // Exactly the colours of then, whatever the modes are now: a rule of the current mode would
    // make redo give other colours than the ones undone.
    const StepScope notAStep(*this, false);
    for (int i = 0; i < kSliderCount; ++i)
        m_ui.Slider1[i]->setValue(values[i]);
    DrawPreview();
    DrawColorBar(true);
    DrawColorBar(false);
}

void Tintara::stepBack(bool undo)
{
    endStep();
    m_runSlider = -1;
    if (undo)
        m_history->undo();
    else
        m_history->redo();
}
