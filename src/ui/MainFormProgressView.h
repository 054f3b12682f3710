#pragma once

#include "model/ProgressView.h"
#include "ui/StopRequestFilter.h"

class QAbstractButton;
class QLabel;
class QProgressBar;

namespace veskaro {

/// Shows long work in the window: the hint line, the busy cursor and the progress bar. Each change is
/// painted at once, while the user's input waits until the work is done; where the work can be stopped,
/// the Cancel button beside the bar and Esc work meanwhile and every other input is dropped.
class MainFormProgressView : public ProgressView {
public:
    MainFormProgressView(QLabel& hint, QProgressBar& bar, QAbstractButton& cancel);
    ~MainFormProgressView() override;
    MainFormProgressView(const MainFormProgressView&) = delete;
    MainFormProgressView& operator=(const MainFormProgressView&) = delete;

    void setHint(const std::string& text) override;
    void setBusy(bool busy) override;
    void setMaximum(int maximum) override;
    void step(int by) override;
    void setPosition(int position) override;
    /// Shows nothing more: the picture's node already carries its name and the bar counts the items.
    void preparingPicture(int itemNumber, int itemCount, const std::string& name) override;
    /// Shows the Cancel button and lets it and Esc through while offered.
    void offerStop(bool offered) override;
    /// Handles the window's events, then tells whether Cancel or Esc asked to stop.
    bool stopRequested() override;

    /// Tells whether long work is running.
    bool busy() const { return m_busy; }

private:
    void repaint();

    QLabel& m_hint;
    QProgressBar& m_bar;
    QAbstractButton& m_cancel;
    StopRequestFilter m_stopFilter;
    bool m_busy = false;
    bool m_stopOffered = false;
};

} // namespace veskaro
