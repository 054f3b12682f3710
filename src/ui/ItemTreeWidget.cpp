#include "ui/ItemTreeWidget.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidgetItemIterator>

#include <utility>

namespace veskaro {

namespace {

const QString kNodeFormat = QStringLiteral("application/x-veskaro-tree-node");

// The drag names its process, its tree and its node by address: only a drag from this tree may name them.
QByteArray nodeReference(const QTreeWidget* tree, const QTreeWidgetItem* node) {
    return QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
           QByteArray::number(reinterpret_cast<quintptr>(tree)) + ' ' +
           QByteArray::number(reinterpret_cast<quintptr>(node));
}

} // namespace

ItemTreeWidget::ItemTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    // A collapsed node opens while a dragged node rests on it, so that its children can be reached.
    setAutoExpandDelay(600);
}

void ItemTreeWidget::setPlacement(PlacementCheck allowed, PlacementAction place) {
    m_allowed = std::move(allowed);
    m_place = std::move(place);
}

QMimeData* ItemTreeWidget::nodeDragData(QTreeWidgetItem* node) const {
    return mimeData({node});
}

QMimeData* ItemTreeWidget::mimeData(const QList<QTreeWidgetItem*>& items) const {
    QMimeData* payload = QTreeWidget::mimeData(items);
    if (payload && items.size() == 1)
        payload->setData(kNodeFormat, nodeReference(this, items.front()));
    return payload;
}

// The node a drag names, when it is one of this tree's nodes now; the address is only compared, never
// followed, until it is found among them.
QTreeWidgetItem* ItemTreeWidget::draggedNode(const QMimeData* payload) const {
    if (!payload || !payload->hasFormat(kNodeFormat))
        return nullptr;
    const QList<QByteArray> reference = payload->data(kNodeFormat).split(' ');
    if (reference.size() != 3 || reference[0].toLongLong() != QCoreApplication::applicationPid() ||
        reference[1].toULongLong() != reinterpret_cast<quintptr>(this))
        return nullptr;
    const quintptr address = reference[2].toULongLong();
    for (QTreeWidgetItemIterator it(const_cast<ItemTreeWidget*>(this)); *it; ++it)
        if (reinterpret_cast<quintptr>(*it) == address)
            return *it;
    return nullptr;
}

// The places follow the lines the view draws while dragging: near a node's top edge before it, near its
// bottom edge after it (or before its first child when its children show), elsewhere on it its last
// child, and below the last line the root's last child.
std::optional<ItemTreeWidget::Placement> ItemTreeWidget::placementAt(const QPoint& point) const {
    QTreeWidgetItem* target = itemAt(point);
    if (!target)
        return topLevelItemCount() > 0 ? std::optional(Placement{topLevelItem(0), nullptr}) : std::nullopt;
    QTreeWidgetItem* parent = target->parent();
    const QRect rect = visualItemRect(target);
    const int margin = qBound(2, qRound(rect.height() / 5.5), 12);
    if (!parent || (point.y() - rect.top() >= margin && rect.bottom() - point.y() >= margin))
        return Placement{target, nullptr};
    if (point.y() - rect.top() < margin)
        return Placement{parent, target};
    if (target->isExpanded() && target->childCount() > 0)
        return Placement{target, target->child(0)};
    return Placement{parent, parent->child(parent->indexOfChild(target) + 1)};
}

std::optional<ItemTreeWidget::Drop> ItemTreeWidget::allowedDrop(const QDropEvent* event) const {
    QTreeWidgetItem* node = draggedNode(event->mimeData());
    const std::optional<Placement> placement = placementAt(event->position().toPoint());
    if (!node || !placement || !m_allowed || !m_allowed(node, *placement))
        return std::nullopt;
    return Drop{node, *placement};
}

void ItemTreeWidget::judgeNodeDrag(QDropEvent* event) const {
    if (allowedDrop(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ItemTreeWidget::dragEnterEvent(QDragEnterEvent* event) {
    QTreeWidget::dragEnterEvent(event);
    if (draggedNode(event->mimeData()))
        event->accept();
}

void ItemTreeWidget::dragMoveEvent(QDragMoveEvent* event) {
    // The view draws the drop line and scrolls; whether the drop may happen is decided here.
    QTreeWidget::dragMoveEvent(event);
    judgeNodeDrag(event);
}

void ItemTreeWidget::dropEvent(QDropEvent* event) {
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const std::optional<Drop> drop = allowedDrop(event);
    if (!drop) {
        event->ignore();
        return;
    }
    // A move reported back would make the view remove the dragged rows itself once the drag ends.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_place(drop->node, drop->placement);
}

} // namespace veskaro
