#pragma once

#include <QObject>

class QAbstractButton;

namespace veskaro {

/// While installed on the application, leaves the user only the way to stop the work under way: a click
/// on the Cancel button or Esc asks to stop; every other click, key and shortcut is dropped, so that no
/// command starts in the middle of the work. Painting, timers and the window's own events go on.
class StopRequestFilter : public QObject {
public:
    /// Listens to cancel, the one control left working.
    explicit StopRequestFilter(QAbstractButton& cancel);

    /// Returns true once the user has asked to stop since the last reset.
    bool requested() const { return m_requested; }
    /// Forgets an earlier request.
    void reset() { m_requested = false; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton& m_cancel;
    bool m_requested = false;
};

} // namespace veskaro
