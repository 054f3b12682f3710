#include "ui/MainFormProgressView.h"

#include "ui/Utf8Text.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace veskaro {

MainFormProgressView::MainFormProgressView(QLabel& hint, QProgressBar& bar) : m_hint(hint), m_bar(bar) {}

MainFormProgressView::~MainFormProgressView() {
    if (m_busy)
        QApplication::restoreOverrideCursor();
}

void MainFormProgressView::setHint(const std::string& text) {
    m_hint.setText(fromUtf8Text(text));
    repaint();
}

void MainFormProgressView::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    repaint();
}

void MainFormProgressView::setMaximum(int maximum) {
    m_bar.setMaximum(maximum);
    repaint();
}

void MainFormProgressView::step(int by) {
    m_bar.setValue(std::min(m_bar.value() + by, m_bar.maximum()));
    repaint();
}

void MainFormProgressView::setPosition(int position) {
    m_bar.setValue(std::clamp(position, m_bar.minimum(), m_bar.maximum()));
    repaint();
}

void MainFormProgressView::preparingPicture(int, int, const std::string&) {}

void MainFormProgressView::repaint() {
    // The work runs on the window's own thread: let the window paint itself (also where another window
    // uncovered it) without taking clicks or keys, which are handled once the work is over.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace veskaro
