#pragma once

#include "model/ItemTree.h"

#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;

namespace veskaro {

/// The item tree of the window as the core sees it: the one top-level node of a tree widget is the root,
/// and positions count its nodes depth first.
class TreeWidgetItemTree : public ItemTree {
public:
    /// Works on tree; nodes added through it show itemIcon.
    TreeWidgetItemTree(QTreeWidget& tree, QIcon itemIcon);

    int nodeCount() const override;
    int levelAt(int position) const override;
    void setCaption(int position, const std::string& caption) override;
    void addChild(int parentPosition, const std::string& caption) override;

    /// Returns the root node, or none while the tree is empty.
    QTreeWidgetItem* root() const;
    /// Returns the node at an absolute position; throws std::out_of_range past the last node.
    QTreeWidgetItem* nodeAt(int position) const;
    /// Returns the absolute position of a node of this tree.
    int absoluteIndex(const QTreeWidgetItem* node) const;
    /// Adds a node with a caption as the last child of parent, showing the item icon, and returns it.
    QTreeWidgetItem* addChildNode(QTreeWidgetItem* parent, const QString& caption);

    /// Returns the depth of a node below the top of its tree (the root has 0).
    static int depth(const QTreeWidgetItem* node);
    /// Returns the number of all nodes below a node.
    static int CountDescendants(const QTreeWidgetItem* node);

private:
    QTreeWidget& m_tree;
    QIcon m_itemIcon;
};

} // namespace veskaro
