#include "ui/MainFormProgressView.h"

#include "ui/Utf8Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace veskaro {

MainFormProgressView::MainFormProgressView(QLabel& hint, QProgressBar& bar, QAbstractButton& cancel)
    : m_hint(hint), m_bar(bar), m_cancel(cancel), m_stopFilter(cancel) {}

MainFormProgressView::~MainFormProgressView() {
    offerStop(false);
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
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
        m_bar.setTextVisible(false);
    }
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

// The bar counts the pictures, which is what the user waits for.
void MainFormProgressView::preparingPicture(int itemNumber, int itemCount, const std::string&) {
    m_bar.setFormat(QStringLiteral("%1 / %2").arg(itemNumber).arg(itemCount));
    m_bar.setTextVisible(true);
    repaint();
}

void MainFormProgressView::offerStop(bool offered) {
    if (offered == m_stopOffered)
        return;
    m_stopOffered = offered;
    m_stopFilter.reset();
    m_cancel.setVisible(offered);
    if (offered)
        qApp->installEventFilter(&m_stopFilter);
    else
        qApp->removeEventFilter(&m_stopFilter);
}

bool MainFormProgressView::stopRequested() {
    repaint();
    return m_stopOffered && m_stopFilter.requested();
}

void MainFormProgressView::repaint() {
    // The work runs on the window's own thread or waits there for its workers: let the window paint
    // itself (also where another window uncovered it). Clicks and keys wait until the work is over,
    // unless it can be stopped: then the filter lets only the way to stop through.
    QApplication::processEvents(m_stopOffered ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

} // namespace veskaro
