#pragma once

#include "model/AppletTypes.h"

#include <string>

namespace veskaro {

class ItemTree;
class TkvlAppletAgent;

/// Keeps the item tree and the project's item list in step: every command that changes the tree changes
/// the list the same way, so that item k always belongs to the node at absolute position k + 1. Nodes
/// are named by their absolute position; the root (position 0) has no item and is never moved or removed.
class ItemTreeKeeper {
public:
    ItemTreeKeeper(TkvlAppletAgent& project, ItemTree& tree);

    /// Adds an item with its node as the last child of the node at parentPosition; the item's level is
    /// set from the node. Returns the new node's position.
    int insertItem(int parentPosition, TItemData item, const std::string& caption);
    /// Removes the node at position (not the root) with its descendants, and their items.
    void deleteSubtree(int position);
    /// Moves the node at position, with its descendants and their items, before its previous sibling.
    /// Returns the node's new position; a node without a previous sibling stays where it is.
    int moveUp(int position);
    /// Moves the node at position, with its descendants and their items, after its next sibling.
    /// Returns the node's new position; a node without a next sibling stays where it is.
    int moveDown(int position);

    /// Returns the position of the sibling before the node at position, -1 when there is none.
    int previousSibling(int position) const;
    /// Returns the position of the sibling after the node at position, -1 when there is none.
    int nextSibling(int position) const;
    /// Returns the number of all nodes below the node at position.
    int descendantCount(int position) const;

private:
    // Moves the node at position with its run of descendants before its sibling at siblingPosition,
    // carrying each of the run's items past the sibling's whole run one place at a time.
    void moveBefore(int position, int siblingPosition);

    TkvlAppletAgent& m_project;
    ItemTree& m_tree;
};

} // namespace veskaro
