#pragma once

#include "model/ItemTree.h"

#include <QIcon>
#include <QMetaObject>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace veskaro {

/// The item tree of the window as the core sees it: the one top-level node of a tree widget is the root,
/// and positions count its nodes depth first. The nodes in that order are kept in a list, so that finding a
/// node by its position costs no walk through the tree; any change of the widget's nodes renews the list.
class TreeWidgetItemTree : public ItemTree {
public:
    /// Works on tree; nodes added through it show itemIcon.
    TreeWidgetItemTree(QTreeWidget& tree, QIcon itemIcon);
    ~TreeWidgetItemTree() override;
    TreeWidgetItemTree(const TreeWidgetItemTree&) = delete;
    TreeWidgetItemTree& operator=(const TreeWidgetItemTree&) = delete;

    int nodeCount() const override;
    int levelAt(int position) const override;
    std::string captionAt(int position) const override;
    void setCaption(int position, const std::string& caption) override;
    int addChild(int parentPosition, const std::string& caption) override;
    /// Removes the subtree without running the tree's selection handler; the selection goes where the
    /// tree widget puts it, or to the removed node's parent when it puts it nowhere.
    void removeSubtree(int position) override;
    /// Moves the node object itself, so that it keeps its expanded state and its children theirs; the
    /// selection stays on the node it was on and the tree's selection handler does not run.
    void moveBefore(int position, int siblingPosition) override;
    /// Returns the absolute position of the selected node, or -1 when none is selected.
    int selectedPosition() const override;
    /// Makes the node current, which runs the tree's selection handler; between beginLoading and
    /// endLoading the node is selected by endLoading instead.
    void select(int position) override;

    /// Sets the root with everything below it apart from the tree widget until endLoading: the nodes added
    /// meanwhile are shown in one step then, since a widget told of each node on its own takes longer
    /// with every node it holds. The widget's selection handler is not run for either step.
    void beginLoading();
    /// Shows the nodes added since beginLoading, every node that has children expanded, and selects the
    /// node chosen meanwhile, or else the root.
    void endLoading();

    /// Returns the root node, or none while the tree is empty.
    QTreeWidgetItem* root() const;
    /// Returns the node at an absolute position; throws std::out_of_range for a position without a node.
    QTreeWidgetItem* nodeAt(int position) const;
    /// Returns the absolute position of a node of this tree; throws std::out_of_range for another node.
    int absoluteIndex(const QTreeWidgetItem* node) const;
    /// Returns the depth of a node below the top of its tree (the root has 0).
    static int depth(const QTreeWidgetItem* node);
    /// Returns the number of all nodes below a node.
    static int CountDescendants(const QTreeWidgetItem* node);

private:
    const std::vector<QTreeWidgetItem*>& nodes() const;
    void forgetOrder() { m_orderKnown = false; }
    bool endsTheTree(const QTreeWidgetItem* node) const;

    QTreeWidget& m_tree;
    QIcon m_itemIcon;
    // The nodes in depth-first order, valid while m_orderKnown; rebuilt on the first use after a change.
    mutable std::vector<QTreeWidgetItem*> m_order;
    mutable bool m_orderKnown = false;
    // Set while addChild or removeSubtree brings the list up to date itself.
    bool m_updatingOrder = false;
    // The root while it is apart from the widget, between beginLoading and endLoading.
    QTreeWidgetItem* m_loadingRoot = nullptr;
    int m_selectAfterLoading = -1;
    std::vector<QMetaObject::Connection> m_watches;
};

} // namespace veskaro
