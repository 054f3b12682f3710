#include "model/ItemTreeKeeper.h"

#include "model/ItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <stdexcept>
#include <utility>

namespace veskaro {

namespace {

void requireItemNode(const ItemTree& tree, int position) {
    if (position <= 0 || position >= tree.nodeCount())
        throw std::out_of_range("no item node at position " + std::to_string(position));
}

} // namespace

ItemTreeKeeper::ItemTreeKeeper(TkvlAppletAgent& project, ItemTree& tree) : m_project(project), m_tree(tree) {
    forgetHistory();
}

// --- Commands ---

int ItemTreeKeeper::insertItem(int parentPosition, TItemData item, const std::string& caption) {
    return inOneStep(EditStep::Insert, [&] { return insertNode(parentPosition, std::move(item), caption); });
}

void ItemTreeKeeper::deleteSubtree(int position) {
    requireItemNode(m_tree, position);
    inOneStep(EditStep::Delete, [&] { removeNode(position); });
}

int ItemTreeKeeper::moveUp(int position) {
    requireItemNode(m_tree, position);
    const int previous = previousSibling(position);
    if (previous < 0)
        return position;
    inOneStep(EditStep::MoveUp, [&] { moveBefore(position, previous); });
    return previous;
}

int ItemTreeKeeper::moveDown(int position) {
    requireItemNode(m_tree, position);
    const int next = nextSibling(position);
    if (next < 0)
        return position;
    const int nextRun = 1 + descendantCount(next);
    inOneStep(EditStep::MoveDown, [&] { moveBefore(next, position); });
    return position + nextRun;
}

int ItemTreeKeeper::duplicate(int position) {
    requireItemNode(m_tree, position);
    const int next = nextSibling(position);
    return inOneStep(EditStep::Duplicate, [&] {
        const int copy = copyAsLastChild(position, parentOf(position));
        // The copy went after the parent's last descendant, past every later sibling of the original.
        if (next >= 0)
            moveBefore(copy, next);
        const int placed = position + 1 + descendantCount(position);
        m_tree.select(placed);
        return placed;
    });
}

bool ItemTreeKeeper::canMoveBelow(int position, int parentPosition) const {
    if (position <= 0 || position >= m_tree.nodeCount() || parentPosition < 0 || parentPosition >= m_tree.nodeCount())
        return false;
    return parentPosition < position || parentPosition > position + descendantCount(position);
}

int ItemTreeKeeper::moveSubtree(int position, int parentPosition, int beforePosition) {
    if (!canMoveBelow(position, parentPosition) ||
        (beforePosition >= 0 && (beforePosition >= m_tree.nodeCount() || parentOf(beforePosition) != parentPosition)))
        return -1;
    // Placing a node before itself or before its own next sibling leaves everything as it is.
    if (parentOf(position) == parentPosition &&
        (beforePosition == position || beforePosition == nextSibling(position))) {
        m_tree.select(position);
        return position;
    }
    return inOneStep(EditStep::Move, [&] {
        const int run = 1 + descendantCount(position);
        int copy = copyAsLastChild(position, parentPosition);
        // The copy went after the parent's last descendant, which may lie before the original.
        int original = copy <= position ? position + run : position;
        if (beforePosition >= 0) {
            moveBefore(copy, beforePosition);
            if (original >= beforePosition && original < copy)
                original += run;
            copy = beforePosition;
        }
        removeNode(original);
        const int moved = copy > original ? copy - run : copy;
        m_tree.select(moved);
        return moved;
    });
}

// --- Changes of tree and list together ---

int ItemTreeKeeper::insertNode(int parentPosition, TItemData item, const std::string& caption) {
    const int position = m_tree.addChild(parentPosition, caption);
    item.ILevel = std::to_string(m_tree.levelAt(position) - 1);
    m_project.InsertItem(position - 1, item);
    return position;
}

void ItemTreeKeeper::removeNode(int position) {
    const int count = 1 + descendantCount(position);
    for (int i = 0; i < count; ++i)
        m_project.DeleteItem(position - 1);
    m_tree.removeSubtree(position);
}

void ItemTreeKeeper::moveBefore(int position, int siblingPosition) {
    int start = position - 1;
    const int run = 1 + descendantCount(position);
    const int distance = position - siblingPosition;
    for (int moved = 0; moved < run; ++moved, ++start)
        for (int step = 0; step < distance; ++step)
            m_project.SwapWithPrevious(start - step);
    m_tree.moveBefore(position, siblingPosition);
}

int ItemTreeKeeper::copyAsLastChild(int position, int parentPosition) {
    const int run = 1 + descendantCount(position);
    const int depthAbove = m_tree.levelAt(position) - 1;
    std::vector<NodeBelowParent> nodes;
    TItemArray items;
    for (int p = position; p < position + run; ++p) {
        nodes.push_back({m_tree.levelAt(p) - depthAbove, m_tree.captionAt(p)});
        items.push_back(m_project.GetItem(p - 1));
    }
    return addDepthFirst(parentPosition, nodes,
                         [&](int parent, std::size_t k) { return insertNode(parent, items[k], nodes[k].caption); });
}

int ItemTreeKeeper::addDepthFirst(int parentPosition, std::span<const NodeBelowParent> nodes,
                                  const std::function<int(int, std::size_t)>& add) {
    // parents[d - 1] is the node below which the next node of depth d goes.
    std::vector<int> parents{parentPosition};
    int first = -1;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        parents.resize(static_cast<std::size_t>(nodes[k].depth));
        parents.push_back(add(parents.back(), k));
        if (k == 0)
            first = parents.back();
    }
    return first;
}

// --- History ---

void ItemTreeKeeper::recordEdit(EditStep kind, const void* mergeKey) {
    if (m_openSteps == 0)
        m_history.record(kind, m_tree.selectedPosition(), capture(), m_tree.selectedPosition(), mergeKey);
}

void ItemTreeKeeper::openStep(EditStep kind) {
    if (m_openSteps++ > 0)
        return;
    m_stepKind = kind;
    m_selectionBefore = m_tree.selectedPosition();
}

void ItemTreeKeeper::closeStep() {
    if (--m_openSteps == 0)
        m_history.record(m_stepKind, m_selectionBefore, capture(), m_tree.selectedPosition());
}

void ItemTreeKeeper::forgetHistory() {
    m_history.reset(capture());
}

void ItemTreeKeeper::markSaved() {
    m_history.markSaved(capture());
}

void ItemTreeKeeper::undo() {
    restore(m_history.undo());
}

void ItemTreeKeeper::redo() {
    restore(m_history.redo());
}

bool ItemTreeKeeper::nextStepChangesTree(bool undoing) const {
    return (undoing ? m_history.beforeLastStep() : m_history.afterNextStep()).nodes != treeShape();
}

EditState ItemTreeKeeper::capture() const {
    return {m_project.GetAppletData(), m_project.items(), treeShape(), m_project.options()};
}

std::vector<TreeNodeShape> ItemTreeKeeper::treeShape() const {
    std::vector<TreeNodeShape> nodes;
    nodes.reserve(static_cast<std::size_t>(m_tree.nodeCount()));
    for (int p = 0; p < m_tree.nodeCount(); ++p)
        nodes.push_back({m_tree.levelAt(p), m_tree.captionAt(p)});
    return nodes;
}

// Builds the tree afresh below its root where the step changed any part of it; a step that changed only
// values leaves the nodes as they are.
void ItemTreeKeeper::restore(const EditHistory::Destination& destination) {
    const EditState& state = destination.state;
    m_project.SetAppletData(state.appletData);
    m_project.setItems(state.items);
    m_project.setOptions(state.options);
    if (state.nodes != treeShape())
        rebuildTree(state.nodes);
    // A step made while nothing was selected gives the root back selected.
    const int selection = destination.selection;
    m_tree.select(selection > 0 && selection < m_tree.nodeCount() ? selection : 0);
}

void ItemTreeKeeper::rebuildTree(const std::vector<TreeNodeShape>& nodes) {
    // The root's children go from the last, so that no node moves up in the list while the others go.
    for (int last = m_tree.nodeCount() - 1; last > 0; last = m_tree.nodeCount() - 1) {
        while (m_tree.levelAt(last) > 1)
            --last;
        m_tree.removeSubtree(last);
    }
    if (nodes.empty())
        return;
    m_tree.setCaption(0, nodes.front().caption);
    // The root has level 0, so a node's level is its depth below the root.
    std::vector<NodeBelowParent> belowRoot;
    belowRoot.reserve(nodes.size() - 1);
    for (std::size_t k = 1; k < nodes.size(); ++k)
        belowRoot.push_back({nodes[k].level, nodes[k].caption});
    addDepthFirst(0, belowRoot,
                  [&](int parent, std::size_t k) { return m_tree.addChild(parent, belowRoot[k].caption); });
}

// --- Reading the tree ---

int ItemTreeKeeper::previousSibling(int position) const {
    const int level = m_tree.levelAt(position);
    for (int p = position - 1; p >= 0; --p) {
        const int above = m_tree.levelAt(p);
        if (above <= level)
            return above == level ? p : -1;
    }
    return -1;
}

int ItemTreeKeeper::nextSibling(int position) const {
    const int next = position + 1 + descendantCount(position);
    return position > 0 && next < m_tree.nodeCount() && m_tree.levelAt(next) == m_tree.levelAt(position) ? next : -1;
}

int ItemTreeKeeper::parentOf(int position) const {
    const int level = m_tree.levelAt(position);
    for (int p = position - 1; p >= 0; --p)
        if (m_tree.levelAt(p) < level)
            return p;
    return -1;
}

int ItemTreeKeeper::descendantCount(int position) const {
    const int level = m_tree.levelAt(position);
    int end = position + 1;
    while (end < m_tree.nodeCount() && m_tree.levelAt(end) > level)
        ++end;
    return end - position - 1;
}

} // namespace veskaro
