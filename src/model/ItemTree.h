#pragma once

#include <string>

namespace veskaro {

/// The item tree as the core sees it: nodes are named by their absolute (depth-first) position, the
/// root being position 0 at level 0, so a child of the root has level 1.
class ItemTree {
public:
    virtual ~ItemTree() = default;

    /// Returns the number of nodes, the root included.
    virtual int nodeCount() const = 0;
    /// Returns the depth of the node at an absolute position (the root has 0).
    virtual int levelAt(int position) const = 0;
    /// Returns the caption of the node at an absolute position.
    virtual std::string captionAt(int position) const = 0;
    /// Sets the caption of the node at an absolute position.
    virtual void setCaption(int position, const std::string& caption) = 0;
    /// Adds a node with a caption as the last child of the node at an absolute position and returns the
    /// new node's position.
    virtual int addChild(int parentPosition, const std::string& caption) = 0;
    /// Removes the node at an absolute position (never the root) together with its descendants.
    virtual void removeSubtree(int position) = 0;
    /// Moves the node at an absolute position, with its descendants, to just before its sibling at
    /// siblingPosition.
    virtual void moveBefore(int position, int siblingPosition) = 0;
    /// Returns the absolute position of the selected node, or -1 when none is selected.
    virtual int selectedPosition() const = 0;
    /// Selects the node at an absolute position.
    virtual void select(int position) = 0;
};

} // namespace veskaro
