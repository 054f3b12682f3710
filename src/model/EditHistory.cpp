#include "model/EditHistory.h"

#include "model/TkvlAppletAgent.h"

#include <stdexcept>
#include <utility>

namespace veskaro {

namespace {

std::size_t textBytes(const std::string& text) {
    return sizeof(std::string) + text.size();
}

std::size_t textBytes(const TStringArray& texts) {
    std::size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += textBytes(text);
    return bytes;
}

// About what a state takes in memory: a project of 2000 items about a megabyte.
std::size_t stateBytes(const EditState& state) {
    std::size_t bytes = sizeof(EditState) + textBytes(TkvlAppletAgent::AppletDataToStrings(state.appletData));
    for (const TItemData& item : state.items)
        bytes += textBytes(TkvlAppletAgent::ItemToStrings(item));
    for (const TreeNodeShape& node : state.nodes)
        bytes += sizeof(node.level) + textBytes(node.caption);
    for (const std::string& line : state.options.fileLines())
        bytes += textBytes(line);
    return bytes;
}

} // namespace

EditHistory::EditHistory(std::size_t stepLimit, std::size_t byteLimit)
    : m_stepLimit(stepLimit), m_byteLimit(byteLimit) {}

void EditHistory::reset(EditState current) {
    m_first = std::move(current);
    m_steps.clear();
    m_bytes = 0;
    m_done = 0;
    m_saved = 0;
    m_mergeOpen = false;
}

const EditState& EditHistory::current() const {
    return m_done == 0 ? m_first : m_steps[m_done - 1].after;
}

void EditHistory::record(EditStep kind, int selectionBefore, EditState current, int selectionAfter,
                         const void* mergeKey) {
    if (current == this->current())
        return;
    for (std::size_t undone = m_done; undone < m_steps.size(); ++undone)
        m_bytes -= m_steps[undone].bytes;
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    if (m_saved && *m_saved > m_done)
        m_saved.reset();
    if (m_mergeOpen && mergeKey && m_done > 0 && m_saved != m_done) {
        Step& last = m_steps.back();
        if (last.mergeKey == mergeKey && last.selectionAfter == selectionAfter) {
            replaceCurrent(std::move(current));
            keepWithinLimits();
            return;
        }
    }
    const std::size_t bytes = stateBytes(current);
    m_steps.push_back(Step{kind, selectionBefore, selectionAfter, std::move(current), mergeKey, bytes});
    m_bytes += bytes;
    m_done = m_steps.size();
    m_mergeOpen = true;
    keepWithinLimits();
}

void EditHistory::keepWithinLimits() {
    while (m_steps.size() > m_stepLimit || (m_bytes > m_byteLimit && m_steps.size() > 1))
        forgetOldestStep();
}

// The state after the last step done changes in place (a merged step, a save): its size is counted anew,
// so that a step that grows keyboard stroke by keyboard stroke is bounded as a new step would be.
void EditHistory::replaceCurrent(EditState state) {
    if (m_done == 0) {
        m_first = std::move(state);
        return;
    }
    Step& step = m_steps[m_done - 1];
    const std::size_t bytes = stateBytes(state);
    m_bytes = m_bytes - step.bytes + bytes;
    step.after = std::move(state);
    step.bytes = bytes;
}

void EditHistory::forgetOldestStep() {
    m_first = std::move(m_steps.front().after);
    m_bytes -= m_steps.front().bytes;
    m_steps.pop_front();
    --m_done;
    if (m_saved == 0u)
        m_saved.reset();
    else if (m_saved)
        --*m_saved;
}

void EditHistory::markSaved(EditState current) {
    replaceCurrent(std::move(current));
    m_saved = m_done;
    m_mergeOpen = false;
    keepWithinLimits();
}

std::optional<EditStep> EditHistory::undoStep() const {
    return canUndo() ? std::optional(m_steps[m_done - 1].kind) : std::nullopt;
}

std::optional<EditStep> EditHistory::redoStep() const {
    return canRedo() ? std::optional(m_steps[m_done].kind) : std::nullopt;
}

const EditState& EditHistory::beforeLastStep() const {
    if (!canUndo())
        throw std::logic_error("there is no step to undo");
    return m_done == 1 ? m_first : m_steps[m_done - 2].after;
}

const EditState& EditHistory::afterNextStep() const {
    if (!canRedo())
        throw std::logic_error("there is no step to redo");
    return m_steps[m_done].after;
}

EditHistory::Destination EditHistory::undo() {
    if (!canUndo())
        throw std::logic_error("there is no step to undo");
    m_mergeOpen = false;
    const int selection = m_steps[--m_done].selectionBefore;
    return {current(), selection};
}

EditHistory::Destination EditHistory::redo() {
    if (!canRedo())
        throw std::logic_error("there is no step to redo");
    m_mergeOpen = false;
    const Step& step = m_steps[m_done++];
    return {step.after, step.selectionAfter};
}

} // namespace veskaro
