#pragma once

#include "model/AppletTypes.h"
#include "model/ProjectOptions.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace veskaro {

/// One node of the item tree as the history keeps it: its level (the root has 0) and its caption.
struct TreeNodeShape {
    int level;
    std::string caption;

    bool operator==(const TreeNodeShape&) const = default;
};

/// What kind of step the user took; the window names each in its own language.
enum class EditStep {
    Insert,
    Delete,
    MoveUp,
    MoveDown,
    Duplicate,
    Move,
    Typing,
    NumberChange,
    OptionChange,
    ColorChange,
    LinkPick,
    PicturePick,
    PictureImport,
};

/// Everything the user edits at one moment: the script parameters, the items, the item tree's shape
/// in depth-first order, the root first, and the options beyond the script parameters.
struct EditState {
    TAppletData appletData;
    TItemArray items;
    std::vector<TreeNodeShape> nodes;
    ProjectOptions options;

    bool operator==(const EditState&) const = default;
};

/// The undo history of the designer: the states the project went through, each reached by a named step
/// that remembers the selection before and after it, and which of them was saved last.
class EditHistory {
public:
    /// Keeps at most stepLimit steps, and forgets the oldest steps while the states kept take more than
    /// about byteLimit bytes; the last step is always kept.
    explicit EditHistory(std::size_t stepLimit = 200, std::size_t byteLimit = std::size_t{64} << 20);

    /// Forgets every step: current is where undoing stops, and it counts as saved.
    void reset(EditState current);
    /// Records a step of the given kind that led to current. A step with the same mergeKey (not null) as the step
    /// before, with the same selection, and no undo, redo or save between them, joins that step instead: typing in one
    /// field is one step. A step that changed nothing is not recorded.
    void record(EditStep kind, int selectionBefore, EditState current, int selectionAfter,
                const void* mergeKey = nullptr);
    /// Makes the next step one of its own, whatever its mergeKey.
    void endMerging() { m_mergeOpen = false; }
    /// Makes current the saved state, which it replaces: publishing fills in values of its own.
    void markSaved(EditState current);
    /// Tells whether the current state is the one saved last.
    bool atSavedState() const { return m_saved == m_done; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    /// Returns the kind of the step an undo would take back; none when there is none.
    std::optional<EditStep> undoStep() const;
    /// Returns the kind of the step a redo would make again; none when there is none.
    std::optional<EditStep> redoStep() const;

    /// What an undo or redo leads to: the state to show and the node to select.
    struct Destination {
        const EditState& state;
        int selection;
    };
    /// Returns the state an undo would lead to. Requires canUndo().
    const EditState& beforeLastStep() const;
    /// Returns the state a redo would lead to. Requires canRedo().
    const EditState& afterNextStep() const;
    /// Takes back the last step done. Requires canUndo().
    Destination undo();
    /// Makes the step last undone again. Requires canRedo().
    Destination redo();

private:
    struct Step {
        EditStep kind;
        int selectionBefore;
        int selectionAfter;
        EditState after;
        const void* mergeKey;
        std::size_t bytes;
    };
    const EditState& current() const;
    void replaceCurrent(EditState state);
    void keepWithinLimits();
    void forgetOldestStep();

    std::size_t m_stepLimit;
    std::size_t m_byteLimit;
    std::size_t m_bytes = 0; // of the states after the steps kept, as stateBytes counts them
    EditState m_first;       // the state before the oldest step kept
    std::deque<Step> m_steps;
    std::size_t m_done = 0; // the steps before this one are done, the others undone
    // The number of steps done when the project was last saved; none once that state is gone.
    std::optional<std::size_t> m_saved = 0;
    bool m_mergeOpen = false;
};

} // namespace veskaro
