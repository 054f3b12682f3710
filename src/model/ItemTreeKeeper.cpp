#include "model/ItemTreeKeeper.h"

#include "model/ItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <stdexcept>

namespace veskaro {

namespace {

void requireItemNode(const ItemTree& tree, int position) {
    if (position <= 0 || position >= tree.nodeCount())
        throw std::out_of_range("no item node at position " + std::to_string(position));
}

} // namespace

ItemTreeKeeper::ItemTreeKeeper(TkvlAppletAgent& project, ItemTree& tree) : m_project(project), m_tree(tree) {}

int ItemTreeKeeper::insertItem(int parentPosition, TItemData item, const std::string& caption) {
    const int position = m_tree.addChild(parentPosition, caption);
    item.ILevel = std::to_string(m_tree.levelAt(position) - 1);
    m_project.InsertItem(position - 1, item);
    return position;
}

void ItemTreeKeeper::deleteSubtree(int position) {
    requireItemNode(m_tree, position);
    const int count = 1 + descendantCount(position);
    for (int i = 0; i < count; ++i)
        m_project.DeleteItem(position - 1);
    m_tree.removeSubtree(position);
}

int ItemTreeKeeper::moveUp(int position) {
    requireItemNode(m_tree, position);
    const int previous = previousSibling(position);
    if (previous < 0)
        return position;
    moveBefore(position, previous);
    return previous;
}

int ItemTreeKeeper::moveDown(int position) {
    requireItemNode(m_tree, position);
    const int next = nextSibling(position);
    if (next < 0)
        return position;
    const int nextRun = 1 + descendantCount(next);
    moveBefore(next, position);
    return position + nextRun;
}

void ItemTreeKeeper::moveBefore(int position, int siblingPosition) {
    int start = position - 1;
    const int run = 1 + descendantCount(position);
    const int siblingRun = 1 + descendantCount(siblingPosition);
    for (int moved = 0; moved < run; ++moved, ++start)
        for (int step = 0; step < siblingRun; ++step)
            m_project.SwapWithPrevious(start - step);
    m_tree.moveBefore(position, siblingPosition);
}

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

int ItemTreeKeeper::descendantCount(int position) const {
    const int level = m_tree.levelAt(position);
    int end = position + 1;
    while (end < m_tree.nodeCount() && m_tree.levelAt(end) > level)
        ++end;
    return end - position - 1;
}

} // namespace veskaro
