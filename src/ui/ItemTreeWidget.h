#pragma once

#include <QTreeWidget>

#include <functional>
#include <optional>

class QMimeData;

namespace veskaro {

/// The designer's item tree: a node dragged onto another node becomes its last child, one dragged between
/// nodes goes there. The widget never moves its nodes itself: it asks whether a place is allowed, which
/// decides where a drop is shown, and hands an allowed drop to the window, which moves nodes and items
/// together. Only drags started in this tree in this process move nodes.
class ItemTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    /// Where a dragged node goes: below parent, before its child before, or as its last child when before
    /// is null.
    struct Placement {
        QTreeWidgetItem* parent = nullptr;
        QTreeWidgetItem* before = nullptr;
    };
    using PlacementCheck = std::function<bool(QTreeWidgetItem* node, const Placement& placement)>;
    using PlacementAction = std::function<void(QTreeWidgetItem* node, const Placement& placement)>;

    explicit ItemTreeWidget(QWidget* parent = nullptr);

    /// Sets what decides whether a node may go to a place, and what moves it there on a drop.
    void setPlacement(PlacementCheck allowed, PlacementAction place);
    /// Returns the data a drag of node carries, as a drag started on it makes it.
    QMimeData* nodeDragData(QTreeWidgetItem* node) const;
    /// Returns where a node dropped at a point of the viewport would go; none where nothing may go.
    std::optional<Placement> placementAt(const QPoint& point) const;

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Drop {
        QTreeWidgetItem* node;
        Placement placement;
    };
    QTreeWidgetItem* draggedNode(const QMimeData* payload) const;
    // Returns the node a drag carries and where it would go, when it may go there.
    std::optional<Drop> allowedDrop(const QDropEvent* event) const;
    // Accepts a drag of one of this tree's nodes to an allowed place, ignores it elsewhere.
    void judgeNodeDrag(QDropEvent* event) const;

    PlacementCheck m_allowed;
    PlacementAction m_place;
};

} // namespace veskaro
