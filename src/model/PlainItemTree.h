#pragma once

#include "model/ItemTree.h"

#include <vector>

namespace veskaro {

/// An item tree held in memory, for the command line and the tests; it starts with its root.
class PlainItemTree : public ItemTree {
public:
    explicit PlainItemTree(std::string rootCaption = {});

    int nodeCount() const override;
    int levelAt(int position) const override;
    void setCaption(int position, const std::string& caption) override;
    int addChild(int parentPosition, const std::string& caption) override;
    void removeSubtree(int position) override;
    void moveBefore(int position, int siblingPosition) override;
    std::string captionAt(int position) const override;
    /// Returns the selected position, which removing nodes brings back within the tree.
    int selectedPosition() const override;
    void select(int position) override;

    /// Returns the absolute position of the parent of a node; -1 for the root.
    int parentOf(int position) const;
    /// Removes every node but the root.
    void clear();

private:
    // Returns the position just past the last descendant of the node at position.
    std::size_t subtreeEnd(int position) const;
    // Tells whether the subtree of the node at position reaches the end of the list.
    bool endsWithSubtreeOf(int position);
    void rebuildLastPath();

    struct Node {
        int level;
        std::string caption;
    };
    std::vector<Node> m_nodes; // in depth-first order
    // The positions of the last node and its ancestors, by level; empty when it must be found again.
    std::vector<int> m_lastPath;
    int m_selected = 0;
};

} // namespace veskaro
