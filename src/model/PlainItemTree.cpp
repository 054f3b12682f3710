#include "model/PlainItemTree.h"

namespace veskaro {

PlainItemTree::PlainItemTree(std::string rootCaption) : m_nodes{{0, std::move(rootCaption)}} {}

int PlainItemTree::nodeCount() const { return static_cast<int>(m_nodes.size()); }

int PlainItemTree::levelAt(int position) const { return m_nodes.at(static_cast<std::size_t>(position)).level; }

void PlainItemTree::setCaption(int position, const std::string& caption) {
    m_nodes.at(static_cast<std::size_t>(position)).caption = caption;
}

const std::string& PlainItemTree::captionAt(int position) const {
    return m_nodes.at(static_cast<std::size_t>(position)).caption;
}

void PlainItemTree::addChild(int parentPosition, const std::string& caption) {
    const int parentLevel = levelAt(parentPosition);
    // The new last child goes after the parent's last descendant.
    std::size_t end = static_cast<std::size_t>(parentPosition) + 1;
    while (end < m_nodes.size() && m_nodes[end].level > parentLevel)
        ++end;
    m_nodes.insert(m_nodes.begin() + static_cast<std::ptrdiff_t>(end), Node{parentLevel + 1, caption});
}

int PlainItemTree::parentOf(int position) const {
    const int level = levelAt(position);
    for (int p = position - 1; p >= 0; --p)
        if (m_nodes[static_cast<std::size_t>(p)].level < level)
            return p;
    return -1;
}

void PlainItemTree::clear() { m_nodes.resize(1); }

} // namespace veskaro
