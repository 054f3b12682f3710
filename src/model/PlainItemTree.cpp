#include "model/PlainItemTree.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace veskaro {

PlainItemTree::PlainItemTree(std::string rootCaption) : m_nodes{{0, std::move(rootCaption)}} {}

int PlainItemTree::nodeCount() const {
    return static_cast<int>(m_nodes.size());
}

int PlainItemTree::levelAt(int position) const {
    return m_nodes.at(static_cast<std::size_t>(position)).level;
}

void PlainItemTree::setCaption(int position, const std::string& caption) {
    m_nodes.at(static_cast<std::size_t>(position)).caption = caption;
}

std::string PlainItemTree::captionAt(int position) const {
    return m_nodes.at(static_cast<std::size_t>(position)).caption;
}

std::size_t PlainItemTree::subtreeEnd(int position) const {
    // Every node lies below the root; without this a load that adds children of the root one after the
    // other would scan the whole list for each.
    if (position == 0)
        return m_nodes.size();
    const int level = levelAt(position);
    std::size_t end = static_cast<std::size_t>(position) + 1;
    while (end < m_nodes.size() && m_nodes[end].level > level)
        ++end;
    return end;
}

// A load adds every node after the last one, as the last child of the last node or of one of its
// ancestors: those positions are kept by level, so that such a child is appended without a scan for the end
// of its parent's subtree, which made a load of many items below one item take quadratic time.
int PlainItemTree::addChild(int parentPosition, const std::string& caption) {
    const int level = levelAt(parentPosition);
    if (endsWithSubtreeOf(parentPosition)) {
        m_nodes.push_back(Node{level + 1, caption});
        m_lastPath.resize(static_cast<std::size_t>(level) + 1);
        m_lastPath.push_back(static_cast<int>(m_nodes.size()) - 1);
        return m_lastPath.back();
    }
    // The new last child goes after the parent's last descendant, before the last node, whose path only
    // moves along.
    const auto end = static_cast<int>(subtreeEnd(parentPosition));
    m_nodes.insert(m_nodes.begin() + end, Node{level + 1, caption});
    for (int& position : m_lastPath)
        position += position >= end ? 1 : 0;
    return end;
}

bool PlainItemTree::endsWithSubtreeOf(int position) {
    if (m_lastPath.empty())
        rebuildLastPath();
    const auto level = static_cast<std::size_t>(levelAt(position));
    return level < m_lastPath.size() && m_lastPath[level] == position;
}

// The nearest node before a node with a lower level is its parent.
void PlainItemTree::rebuildLastPath() {
    int last = nodeCount() - 1;
    m_lastPath.assign(static_cast<std::size_t>(levelAt(last)) + 1, 0);
    m_lastPath.back() = last;
    for (int p = last - 1; p >= 0; --p) {
        if (levelAt(p) < levelAt(last)) {
            last = p;
            m_lastPath[static_cast<std::size_t>(levelAt(p))] = p;
        }
    }
}

void PlainItemTree::removeSubtree(int position) {
    if (position <= 0)
        throw std::out_of_range("the root of the item tree cannot be removed");
    m_nodes.erase(m_nodes.begin() + position, m_nodes.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(position)));
    m_lastPath.clear();
}

void PlainItemTree::moveBefore(int position, int siblingPosition) {
    const auto first = m_nodes.begin() + siblingPosition;
    const auto middle = m_nodes.begin() + position;
    const auto last = m_nodes.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(position));
    std::rotate(first, middle, last);
    m_lastPath.clear();
}

int PlainItemTree::parentOf(int position) const {
    const int level = levelAt(position);
    for (int p = position - 1; p >= 0; --p)
        if (m_nodes[static_cast<std::size_t>(p)].level < level)
            return p;
    return -1;
}

int PlainItemTree::selectedPosition() const {
    return std::min(m_selected, nodeCount() - 1);
}

void PlainItemTree::select(int position) {
    if (position < 0 || position >= nodeCount())
        throw std::out_of_range("no tree node at position " + std::to_string(position));
    m_selected = position;
}

void PlainItemTree::clear() {
    m_nodes.resize(1);
    m_lastPath.clear();
}

} // namespace veskaro
