#include "ui/TCheckGroupBox.h"

#include "platform/VeskaroError.h"

#include <QAbstractButton>
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
    // Drawn over the frame, and able to hide the frame line behind its text.
    value->raise();
    value->setAutoFillBackground(true);
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
    // Room for the check component above the contents; the frame line runs through its middle.
    setContentsMargins(0, m_checkComponent ? std::max(0, m_checkComponent->height() - 3 - frameTop()) : 0, 0, 0);
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

int TCheckGroupBox::frameTop() const {
    return m_checkComponent ? std::max(0, m_checkComponent->height() / 2 - 3) : 0;
}

} // namespace veskaro
