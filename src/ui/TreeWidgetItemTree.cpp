#include "ui/TreeWidgetItemTree.h"

#include "ui/Utf8Text.h"

#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace veskaro {

namespace {

void appendSubtree(QTreeWidgetItem* top, std::vector<QTreeWidgetItem*>& order) {
    order.push_back(top);
    for (int i = 0; i < top->childCount(); ++i)
        appendSubtree(top->child(i), order);
}

// The nodes of a subtree that are expanded, the top node included.
QList<QTreeWidgetItem*> expandedNodes(QTreeWidgetItem* top) {
    QList<QTreeWidgetItem*> expanded;
    if (top->isExpanded())
        expanded.append(top);
    for (int i = 0; i < top->childCount(); ++i)
        expanded.append(expandedNodes(top->child(i)));
    return expanded;
}

void requireItemPosition(int position) {
    if (position <= 0)
        throw std::out_of_range("the root of the item tree has no siblings and cannot be removed");
}

} // namespace

TreeWidgetItemTree::TreeWidgetItemTree(QTreeWidget& tree, QIcon itemIcon)
    : m_tree(tree), m_itemIcon(std::move(itemIcon)) {
    // Nodes may change behind this object's back (the window clears the tree and plants its root), so the
    // model's own reports decide when the list is stale.
    const QAbstractItemModel* model = m_tree.model();
    const auto forgetUnlessUpdating = [this] {
        if (!m_updatingOrder)
            forgetOrder();
    };
    m_watches = {
        QObject::connect(model, &QAbstractItemModel::rowsInserted, forgetUnlessUpdating),
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, forgetUnlessUpdating),
        QObject::connect(model, &QAbstractItemModel::rowsMoved, [this] { forgetOrder(); }),
        QObject::connect(model, &QAbstractItemModel::modelReset, [this] { forgetOrder(); }),
        QObject::connect(model, &QAbstractItemModel::layoutChanged, [this] { forgetOrder(); }),
    };
}

TreeWidgetItemTree::~TreeWidgetItemTree() {
    for (const QMetaObject::Connection& watch : m_watches)
        QObject::disconnect(watch);
    // A root apart from the widget belongs to nobody else.
    delete m_loadingRoot;
}

const std::vector<QTreeWidgetItem*>& TreeWidgetItemTree::nodes() const {
    if (!m_orderKnown) {
        m_order.clear();
        if (QTreeWidgetItem* top = root())
            appendSubtree(top, m_order);
        m_orderKnown = true;
    }
    return m_order;
}

int TreeWidgetItemTree::nodeCount() const {
    return static_cast<int>(nodes().size());
}

int TreeWidgetItemTree::levelAt(int position) const {
    return depth(nodeAt(position));
}

std::string TreeWidgetItemTree::captionAt(int position) const {
    return toUtf8Text(nodeAt(position)->text(0));
}

void TreeWidgetItemTree::setCaption(int position, const std::string& caption) {
    nodeAt(position)->setText(0, fromUtf8Text(caption));
}

// Tells whether the tree's last node lies in the subtree of node, by walking up from it: as long as the
// tree is deep, not as long as it is wide.
bool TreeWidgetItemTree::endsTheTree(const QTreeWidgetItem* node) const {
    for (const QTreeWidgetItem* above = nodes().back(); above; above = above->parent())
        if (above == node)
            return true;
    return false;
}

int TreeWidgetItemTree::addChild(int parentPosition, const std::string& caption) {
    QTreeWidgetItem* parent = nodeAt(parentPosition);
    // The new last child follows the parent's last descendant. Reading a project and importing pictures
    // always add below the last node's line, where the tree's end is that place; counting the subtree
    // would make adding n nodes take time in proportion to n squared.
    const int position = endsTheTree(parent) ? nodeCount() : parentPosition + 1 + CountDescendants(parent);
    QTreeWidgetItem* node = nullptr;
    {
        // A batch import adds hundreds of nodes: the list takes each one in place instead of being rebuilt.
        const QScopedValueRollback updating(m_updatingOrder, true);
        node = new QTreeWidgetItem(parent, QStringList{fromUtf8Text(caption)});
    }
    if (m_orderKnown)
        m_order.insert(m_order.begin() + position, node);
    node->setIcon(0, m_itemIcon);
    parent->setExpanded(true);
    return position;
}

void TreeWidgetItemTree::removeSubtree(int position) {
    requireItemPosition(position);
    QTreeWidgetItem* node = nodeAt(position);
    QTreeWidgetItem* parent = node->parent();
    const auto first = m_order.begin() + position;
    const auto last = first + 1 + CountDescendants(node);
    // The tree moves its selection while the node is still in it; the handler runs once it is gone, so
    // that positions in the tree and in the item list agree.
    const QSignalBlocker blocker(&m_tree);
    {
        // Emptying a tree node by node, as an undo does, would otherwise rebuild the list for every node.
        const QScopedValueRollback updating(m_updatingOrder, true);
        delete node;
    }
    m_order.erase(first, last);
    if (!m_loadingRoot)
        m_tree.setCurrentItem(m_tree.currentItem() ? m_tree.currentItem() : parent);
}

void TreeWidgetItemTree::moveBefore(int position, int siblingPosition) {
    requireItemPosition(position);
    QTreeWidgetItem* node = nodeAt(position);
    QTreeWidgetItem* sibling = nodeAt(siblingPosition);
    QTreeWidgetItem* parent = node->parent();
    if (sibling == node || sibling->parent() != parent)
        throw std::out_of_range("the node at position " + std::to_string(siblingPosition) +
                                " is no other sibling of the node at position " + std::to_string(position));
    const QSignalBlocker blocker(&m_tree);
    QTreeWidgetItem* selected = m_tree.currentItem();
    const QList<QTreeWidgetItem*> expanded = expandedNodes(node);
    parent->takeChild(parent->indexOfChild(node));
    parent->insertChild(parent->indexOfChild(sibling), node);
    // Taking a node out of the tree collapses it and everything below it.
    for (QTreeWidgetItem* open : expanded)
        open->setExpanded(true);
    parent->setExpanded(true);
    m_tree.setCurrentItem(selected);
}

void TreeWidgetItemTree::beginLoading() {
    if (m_loadingRoot || !root())
        return;
    const QSignalBlocker blocker(&m_tree);
    m_loadingRoot = m_tree.takeTopLevelItem(0);
}

void TreeWidgetItemTree::endLoading() {
    if (!m_loadingRoot)
        return;
    const QSignalBlocker blocker(&m_tree);
    QTreeWidgetItem* top = std::exchange(m_loadingRoot, nullptr);
    {
        // The list of nodes stays as it is: the same nodes in the same order.
        const QScopedValueRollback updating(m_updatingOrder, true);
        m_tree.insertTopLevelItem(0, top);
    }
    // A node apart from the widget keeps no expanded state; every node that got children was to be
    // expanded, and one walk over the tree does that for all.
    m_tree.expandAll();
    const int selected = std::exchange(m_selectAfterLoading, -1);
    m_tree.setCurrentItem(selected > 0 && selected < nodeCount() ? nodeAt(selected) : top);
}

QTreeWidgetItem* TreeWidgetItemTree::root() const {
    if (m_loadingRoot)
        return m_loadingRoot;
    return m_tree.topLevelItemCount() > 0 ? m_tree.topLevelItem(0) : nullptr;
}

QTreeWidgetItem* TreeWidgetItemTree::nodeAt(int position) const {
    const std::vector<QTreeWidgetItem*>& order = nodes();
    if (position < 0 || position >= static_cast<int>(order.size()))
        throw std::out_of_range("no tree node at position " + std::to_string(position));
    return order[static_cast<std::size_t>(position)];
}

int TreeWidgetItemTree::absoluteIndex(const QTreeWidgetItem* node) const {
    const std::vector<QTreeWidgetItem*>& order = nodes();
    const auto found = std::find(order.begin(), order.end(), node);
    if (found == order.end())
        throw std::out_of_range("the node is not in the item tree");
    return static_cast<int>(found - order.begin());
}

int TreeWidgetItemTree::selectedPosition() const {
    if (m_loadingRoot)
        return m_selectAfterLoading;
    const QTreeWidgetItem* selected = m_tree.currentItem();
    return selected ? absoluteIndex(selected) : -1;
}

void TreeWidgetItemTree::select(int position) {
    QTreeWidgetItem* node = nodeAt(position);
    if (m_loadingRoot)
        m_selectAfterLoading = position;
    else
        m_tree.setCurrentItem(node);
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
