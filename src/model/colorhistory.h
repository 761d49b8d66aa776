#pragma once

#include "model/colormodel.h"

#include <optional>
#include <vector>

namespace tintara {

// Undo and redo of the colours: each user action that changes them is one step, from the
// colours the last step left to the colours now. Steps of a run (keys on one slider) make one.
class ColorHistory
{
public:
    // Forgets every step; the next starts from these colours.
    void reset(const ColorState& now);
    // The change since the last step as one step, or none when nothing changed. A step with a
    // run key joins the step before while it has the same key and nothing came between; a run
    // that comes back to where it started leaves no step.
    void record(const ColorState& now, int run = 0);
    // The colours changed by something that is no step: the next starts from here.
    void absorb(const ColorState& now);
    // Whatever comes next starts a new run.
    void endRun() { m_run = 0; }

    // The colours to go back or forward to, and the step is taken; nothing at either end.
    std::optional<ColorState> undo();
    std::optional<ColorState> redo();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }

    // More than anyone goes back through; a step is a few dozen bytes.
    static constexpr std::size_t kStepsKept = 1000;

private:
    struct Step
    {
        ColorState before;
        ColorState after;
        int run = 0;
    };
    std::vector<Step> m_steps;
    std::size_t m_done = 0;
    ColorState m_from;
    int m_run = 0;
};

} // namespace tintara
