#include "ui/TreeWidgetItemTree.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <stdexcept>

namespace veskaro {

TreeWidgetItemTree::TreeWidgetItemTree(QTreeWidget& tree, QIcon itemIcon)
    : m_tree(tree), m_itemIcon(std::move(itemIcon)) {}

int TreeWidgetItemTree::nodeCount() const {
    const QTreeWidgetItem* top = root();
    return top ? 1 + CountDescendants(top) : 0;
}

int TreeWidgetItemTree::levelAt(int position) const {
    return depth(nodeAt(position));
}

void TreeWidgetItemTree::setCaption(int position, const std::string& caption) {
    nodeAt(position)->setText(0, QString::fromLocal8Bit(caption));
}

void TreeWidgetItemTree::addChild(int parentPosition, const std::string& caption) {
    addChildNode(nodeAt(parentPosition), QString::fromLocal8Bit(caption));
}

QTreeWidgetItem* TreeWidgetItemTree::root() const {
    return m_tree.topLevelItemCount() > 0 ? m_tree.topLevelItem(0) : nullptr;
}

QTreeWidgetItem* TreeWidgetItemTree::nodeAt(int position) const {
    if (position >= 0) {
        int current = 0;
        for (QTreeWidgetItemIterator it(&m_tree); *it; ++it, ++current)
            if (current == position)
                return *it;
    }
    throw std::out_of_range("no tree node at position " + std::to_string(position));
}

int TreeWidgetItemTree::absoluteIndex(const QTreeWidgetItem* node) const {
    int position = 0;
    for (QTreeWidgetItemIterator it(&m_tree); *it; ++it, ++position)
        if (*it == node)
            return position;
    throw std::out_of_range("the node is not in the item tree");
}

QTreeWidgetItem* TreeWidgetItemTree::addChildNode(QTreeWidgetItem* parent, const QString& caption) {
    auto* node = new QTreeWidgetItem(parent, QStringList{caption});
    node->setIcon(0, m_itemIcon);
    parent->setExpanded(true);
    return node;
}

int TreeWidgetItemTree::depth(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        ++level;
    return level;
}

int TreeWidgetItemTree::CountDescendants(const QTreeWidgetItem* node) {
    int count = node->childCount();
    for (int i = 0; i < node->childCount(); ++i)
        count += CountDescendants(node->child(i));
    return count;
}

} // namespace veskaro
