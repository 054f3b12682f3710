#pragma once

#include "model/ProgressView.h"

class QLabel;
class QProgressBar;

namespace veskaro {

/// Shows long work in the window: the hint line, the busy cursor and the progress bar. Each change is
/// painted at once, while the user's input waits until the work is done.
class MainFormProgressView : public ProgressView {
public:
    MainFormProgressView(QLabel& hint, QProgressBar& bar);
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

    /// Tells whether long work is running.
    bool busy() const { return m_busy; }

private:
    void repaint();

    QLabel& m_hint;
    QProgressBar& m_bar;
    bool m_busy = false;
};

} // namespace veskaro
