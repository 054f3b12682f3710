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

int PlainItemTree::addChild(int parentPosition, const std::string& caption) {
    // The new last child goes after the parent's last descendant.
    const auto end = static_cast<std::ptrdiff_t>(subtreeEnd(parentPosition));
    m_nodes.insert(m_nodes.begin() + end, Node{levelAt(parentPosition) + 1, caption});
    return static_cast<int>(end);
}

void PlainItemTree::removeSubtree(int position) {
    if (position <= 0)
        throw std::out_of_range("the root of the item tree cannot be removed");
    m_nodes.erase(m_nodes.begin() + position, m_nodes.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(position)));
}

void PlainItemTree::moveBefore(int position, int siblingPosition) {
    const auto first = m_nodes.begin() + siblingPosition;
    const auto middle = m_nodes.begin() + position;
    const auto last = m_nodes.begin() + static_cast<std::ptrdiff_t>(subtreeEnd(position));
    std::rotate(first, middle, last);
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
}

} // namespace veskaro
