#include "model/colorhistory.h"

namespace tintara {

void ColorHistory::reset(const ColorState& now)
{
    m_steps.clear();
    m_done = 0;
    m_from = now;
    m_run = 0;
}

void ColorHistory::record(const ColorState& now, int run)
{
    if (now == m_from)
        return;
    m_steps.resize(m_done);
    const bool joins = run != 0 && run == m_run && !m_steps.empty();
    m_run = run;
    if (joins) {
        m_steps.back().after = now;
        if (now == m_steps.back().before)
            m_steps.pop_back();
    } else {
        m_steps.push_back({m_from, now, run});
        if (m_steps.size() > kStepsKept)
            m_steps.erase(m_steps.begin());
    }
    m_done = m_steps.size();
    m_from = now;
}

void ColorHistory::absorb(const ColorState& now)
{
    m_from = now;
    m_run = 0;
}

std::optional<ColorState> ColorHistory::undo()
{
    m_run = 0;
    if (!canUndo())
        return std::nullopt;
    m_from = m_steps[--m_done].before;
    return m_from;
}

std::optional<ColorState> ColorHistory::redo()
{
    m_run = 0;
    if (!canRedo())
        return std::nullopt;
    m_from = m_steps[m_done++].after;
    return m_from;
}

} // namespace tintara
