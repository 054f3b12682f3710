#pragma once

#include <QGroupBox>
#include <QPointer>

#include <functional>

namespace veskaro {

/// A group box whose caption is a separate check control, its check component: a sibling placed over the
/// frame where the caption would be, whose checked state enables or disables everything inside the group.
class TCheckGroupBox : public QGroupBox {
    Q_OBJECT
public:
    /// A handler run when the check component is clicked; it is given the group box as the sender.
    using ClickHandler = std::function<void(QObject* sender)>;

    explicit TCheckGroupBox(const QString& caption = {}, QWidget* parent = nullptr);
    ~TCheckGroupBox() override;

    /// Returns the visible caption: empty while a check component stands in for it.
    QString Caption() const { return title(); }
    /// Remembers a non-empty caption and shows it unless a check component is attached.
    void SetCaption(const QString& value);

    QWidget* CheckComponent() const { return m_checkComponent; }
    /// Attaches the check control. earlierClick is the control's own click handler: it keeps running on
    /// every click, after the group box has followed the new state. Throws VeskaroError "Assigned
    /// TCheckGroupBox to itself" for a check group box, leaving the earlier check component in place.
    void SetCheckComponent(QWidget* value, ClickHandler earlierClick = {});

    bool PositionCheckComponent() const { return m_positionCheckComponent; }
    /// Sets whether the check component follows the group box, 8 pixels right of its left edge and
    /// 3 pixels above its top edge, and places it there now.
    void SetPositionCheckComponent(bool value);

    /// Enables or disables the group box; its children are enabled only when it is enabled and checked.
    void SetEnabled(bool value);
    /// Brings caption, placement and enabled state in line with the check component.
    void Update();
    /// Tells whether the check component is checked; true without one, and for controls that cannot be.
    bool IsChecked() const;

signals:
    /// Reports every SetEnabled with the value given.
    void OnEnabled(veskaro::TCheckGroupBox* sender, bool enabled);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CheckComponentClick();
    void forgetCheckComponent();
    void makeRoomForCheckComponent();
    int frameTop() const;

    QString m_caption;
    bool m_positionCheckComponent = true;
    QPointer<QWidget> m_checkComponent;
    ClickHandler m_savedClick;
    QMetaObject::Connection m_clickConnection;
};

} // namespace veskaro
