#pragma once

#include "model/AppletTypes.h"
#include "model/EditHistory.h"

#include <functional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace veskaro {

class ItemTree;
class TkvlAppletAgent;

/// A node of a run of nodes to add below a parent: its depth below that parent (1 for the parent's
/// children) and its caption.
struct NodeBelowParent {
    int depth;
    std::string caption;
};

/// Keeps the item tree and the project's item list in step: every command that changes the tree changes
/// the list the same way, so that item k always belongs to the node at absolute position k + 1. Nodes
/// are named by their absolute position; the root (position 0) has no item and is never moved or removed.
/// Each command is one step of the undo history, which also takes the edits made outside the keeper.
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
    /// Copies the node at position (not the root) with its descendants and their items to just after
    /// it, selects the copy and returns its position.
    int duplicate(int position);
    /// Moves the node at position with its descendants and their items below the node at parentPosition,
    /// before its child at beforePosition, or as its last child when beforePosition is -1; levels follow.
    /// The moved node is selected. Returns its new position, or -1, changing nothing, when the move is
    /// not possible: the root, a parent inside the moved subtree, or beforePosition no child of parent.
    int moveSubtree(int position, int parentPosition, int beforePosition);
    /// Tells whether moveSubtree would move the node at position below parentPosition.
    bool canMoveBelow(int position, int parentPosition) const;

    /// Records a change the caller made to the project's values as a step of the given kind; changes
    /// with the same mergeKey in a row are one step (see EditHistory::record).
    void recordEdit(EditStep kind, const void* mergeKey = nullptr);
    /// Makes the next edit a step of its own, however alike: the user turned to another item.
    void finishEdit() { m_history.endMerging(); }
    /// Runs change, and with it any commands it runs, as one step of the given kind (a batch import is
    /// one step); a change that throws is still recorded as far as it went. Returns what change returns.
    template <typename Change> auto inOneStep(EditStep kind, Change change) {
        openStep(kind);
        if constexpr (std::is_void_v<decltype(change())>) {
            closingStepOnError(change);
            closeStep();
        } else {
            auto result = closingStepOnError(change);
            closeStep();
            return result;
        }
    }

    /// Starts the history afresh at the project as it is, which counts as saved.
    void forgetHistory();
    /// Marks the project as it is as saved.
    void markSaved();
    /// Tells whether the project is as it was saved last (or opened, or made new).
    bool atSavedState() const { return m_history.atSavedState(); }
    const EditHistory& history() const { return m_history; }
    /// Tells whether undoing, or else redoing, the next step changes the tree's nodes, or only values.
    bool nextStepChangesTree(bool undoing) const;
    /// Takes back the last step: the project, the tree and the selection are as they were before it.
    /// Requires history().canUndo().
    void undo();
    /// Makes the step last undone again, with the selection it left. Requires history().canRedo().
    void redo();

    /// Returns the position of the sibling before the node at position, -1 when there is none.
    int previousSibling(int position) const;
    /// Returns the position of the sibling after the node at position, -1 when there is none.
    int nextSibling(int position) const;
    /// Returns the position of the parent of the node at position, -1 for the root.
    int parentOf(int position) const;
    /// Returns the number of all nodes below the node at position.
    int descendantCount(int position) const;

private:
    int insertNode(int parentPosition, TItemData item, const std::string& caption);
    void removeNode(int position);
    // Moves the node at position with its run of descendants before its earlier sibling at siblingPosition,
    // carrying each of the run's items past everything between them one place at a time.
    void moveBefore(int position, int siblingPosition);
    // Copies the node at position with its descendants as the last child of parentPosition; returns
    // the copy's position.
    int copyAsLastChild(int position, int parentPosition);
    // Adds nodes given depth first below parentPosition, each through add(parent position, index in
    // nodes), which returns the new node's position; returns the first one's.
    int addDepthFirst(int parentPosition, std::span<const NodeBelowParent> nodes,
                      const std::function<int(int, std::size_t)>& add);
    EditState capture() const;
    std::vector<TreeNodeShape> treeShape() const;
    void restore(const EditHistory::Destination& destination);
    void rebuildTree(const std::vector<TreeNodeShape>& nodes);
    void openStep(EditStep kind);
    void closeStep();
    template <typename Change> auto closingStepOnError(Change& change) {
        try {
            return change();
        } catch (...) {
            closeStep();
            throw;
        }
    }

    TkvlAppletAgent& m_project;
    ItemTree& m_tree;
    EditHistory m_history;
    // The step being made, while inOneStep runs (nested calls join the outermost).
    int m_openSteps = 0;
    EditStep m_stepKind = EditStep::Insert;
    int m_selectionBefore = -1;
};

} // namespace veskaro
