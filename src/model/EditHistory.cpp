#include "model/EditHistory.h"

#include <stdexcept>

namespace veskaro {

EditHistory::EditHistory(std::size_t limit) : m_limit(limit) {}

void EditHistory::reset(EditState current) {
    m_first = std::move(current);
    m_steps.clear();
    m_done = 0;
    m_saved = 0;
    m_mergeOpen = false;
}

const EditState& EditHistory::current() const {
    return m_done == 0 ? m_first : m_steps[m_done - 1].after;
}

EditState& EditHistory::current() {
    return m_done == 0 ? m_first : m_steps[m_done - 1].after;
}

void EditHistory::record(std::string name, int selectionBefore, EditState current, int selectionAfter,
                         const void* mergeKey) {
    if (current == this->current())
        return;
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    if (m_saved && *m_saved > m_done)
        m_saved.reset();
    if (m_mergeOpen && mergeKey && m_done > 0 && m_saved != m_done) {
        Step& last = m_steps.back();
        if (last.mergeKey == mergeKey && last.selectionAfter == selectionAfter) {
            last.after = std::move(current);
            return;
        }
    }
    m_steps.push_back(Step{std::move(name), selectionBefore, selectionAfter, std::move(current), mergeKey});
    m_done = m_steps.size();
    m_mergeOpen = true;
    if (m_steps.size() > m_limit)
        forgetOldestStep();
}

void EditHistory::forgetOldestStep() {
    m_first = std::move(m_steps.front().after);
    m_steps.pop_front();
    --m_done;
    if (m_saved == 0u)
        m_saved.reset();
    else if (m_saved)
        --*m_saved;
}

void EditHistory::markSaved(EditState current) {
    this->current() = std::move(current);
    m_saved = m_done;
    m_mergeOpen = false;
}

std::string EditHistory::undoName() const {
    return canUndo() ? m_steps[m_done - 1].name : std::string();
}

std::string EditHistory::redoName() const {
    return canRedo() ? m_steps[m_done].name : std::string();
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
