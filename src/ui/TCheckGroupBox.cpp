#include "ui/TCheckGroupBox.h"

#include "platform/VeskaroError.h"

#include <QAbstractButton>
#include <QLayout>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace veskaro {

TCheckGroupBox::TCheckGroupBox(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), m_caption(caption) {}

TCheckGroupBox::~TCheckGroupBox() {
    forgetCheckComponent();
}

void TCheckGroupBox::SetCaption(const QString& value) {
    if (!value.isEmpty())
        m_caption = value;
    setTitle(m_checkComponent ? QString() : m_caption);
}

void TCheckGroupBox::SetCheckComponent(QWidget* value, ClickHandler earlierClick) {
    if (qobject_cast<TCheckGroupBox*>(value))
        throw VeskaroError("Assigned TCheckGroupBox to itself");
    forgetCheckComponent();
    m_checkComponent = value;
    if (!value)
        return;
    // Drawn over the frame, where the caption would be.
    value->raise();
    m_savedClick = std::move(earlierClick);
    // A change of the checked state by program counts as a click, as a user's click does.
    if (auto* button = qobject_cast<QAbstractButton*>(value))
        m_clickConnection = connect(button, &QAbstractButton::toggled, this, &TCheckGroupBox::CheckComponentClick);
    Update();
}

void TCheckGroupBox::SetPositionCheckComponent(bool value) {
    m_positionCheckComponent = value;
    if (value && m_checkComponent)
        m_checkComponent->move(x() + 8, y() - 3);
}

void TCheckGroupBox::SetEnabled(bool value) {
    setEnabled(value);
    const bool childrenEnabled = value && IsChecked();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(childrenEnabled);
    emit OnEnabled(this, value);
}

void TCheckGroupBox::Update() {
    update();
    SetCaption(title());
    makeRoomForCheckComponent();
    SetPositionCheckComponent(m_positionCheckComponent);
    // The group box's own state: being inside a disabled page does not count.
    SetEnabled(!testAttribute(Qt::WA_ForceDisabled) && IsChecked());
}

bool TCheckGroupBox::IsChecked() const {
    if (const auto* button = qobject_cast<const QAbstractButton*>(m_checkComponent.data());
        button && button->isCheckable())
        return button->isChecked();
    return true;
}

void TCheckGroupBox::moveEvent(QMoveEvent* event) {
    QGroupBox::moveEvent(event);
    SetPositionCheckComponent(m_positionCheckComponent);
}

void TCheckGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    SetPositionCheckComponent(m_positionCheckComponent);
}

void TCheckGroupBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.rect.setTop(frameTop());
    // The frame line breaks off where the check component stands, as it does around a caption.
    if (m_checkComponent && m_checkComponent->isVisible() && m_checkComponent->parentWidget() == parentWidget())
        painter.setClipRegion(QRegion(rect()).subtracted(m_checkComponent->geometry().translated(-pos())));
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void TCheckGroupBox::CheckComponentClick() {
    SetEnabled(IsChecked());
    if (m_savedClick)
        m_savedClick(this);
}

void TCheckGroupBox::forgetCheckComponent() {
    disconnect(m_clickConnection);
    m_checkComponent = nullptr;
    m_savedClick = nullptr;
}

// The contents start below the check component, whose middle the frame line runs through. The group box
// keeps its own margins for its frame, so the room is made in the layout of the contents.
void TCheckGroupBox::makeRoomForCheckComponent() {
    QLayout* contents = layout();
    if (!contents || !m_checkComponent)
        return;
    QMargins margins = contents->contentsMargins();
    margins.setTop(std::max(margins.top(), m_checkComponent->height() - contentsMargins().top()));
    contents->setContentsMargins(margins);
}

int TCheckGroupBox::frameTop() const {
    return m_checkComponent ? std::max(0, m_checkComponent->height() / 2 - 3) : 0;
}

} // namespace veskaro
