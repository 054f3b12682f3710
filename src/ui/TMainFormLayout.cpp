// Building the frame of the designer window: the tree panel beside the parameter pages, and the status
// strip; the menus, the tool bar and the pages are built by their own classes.

#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/ParameterPages.h"
#include "ui/TMainForm.h"
#include "ui/WidgetNaming.h"

#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace veskaro {

void TMainForm::buildWindow() {
    setObjectName(QLatin1String(names::MainForm));
    setWindowIcon(applicationIcon());
    auto* splitter = named(new QSplitter(Qt::Horizontal), names::Splitter1);
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildTreePanel());
    QWidget* scroller = buildPagesScroller();
    splitter->addWidget(scroller);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    buildStatusStrip();
    // The designed size, or larger where this desktop's fonts need more room for the pages, but never beyond
    // the screen's free area: at a large scale the pages scroll instead.
    const QSize pagesNeed = m_pages->minimumSize().expandedTo(m_pages->minimumSizeHint());
    QSize size = QSize(782, 470 + menuBar()->sizeHint().height())
                     .expandedTo(sizeHint() + (pagesNeed - scroller->sizeHint()).expandedTo(QSize(0, 0)));
    if (const QScreen* display = screen()) {
        const QMargins frame(8, 32, 8, 8); // room for the window manager's frame, which is not known yet
        size = size.boundedTo(display->availableGeometry().marginsRemoved(frame).size());
    }
    resize(size);
    // The pages get the room they need first, with their scroll bar where they do not fit in height; the
    // tree takes what is left, down to a narrow column.
    const bool pagesScroll = size.height() < menuBar()->sizeHint().height() + pagesNeed.height();
    const int pagesWidth =
        std::max(445, pagesNeed.width()) + (pagesScroll ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0);
    splitter->setSizes({std::clamp(size.width() - pagesWidth - splitter->handleWidth(), 160, 337), pagesWidth});
    centreOnScreen(*this);
}

// The pages keep their own minimum size; in a window smaller than that, they scroll.
QWidget* TMainForm::buildPagesScroller() {
    auto* scroller = new QScrollArea;
    scroller->setObjectName(QStringLiteral("pagesScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setWidget(m_pages);
    return scroller;
}

QWidget* TMainForm::buildTreePanel() {
    auto* panel = named(new QWidget, names::pnlTreeView);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(3, 4, 0, 0);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIndentation(19);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setToolTip(tr("Add, remove or move items by right-clicking the mouse."));
    layout->addWidget(m_tree);
    watchHint(panel);
    watchHint(m_tree);
    return panel;
}

void TMainForm::buildStatusStrip() {
    auto* strip = named(new QStatusBar, names::StatusBar1);
    setStatusBar(strip);
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setFixedWidth(338);
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    strip->addWidget(m_hint);
    strip->addWidget(m_progressBar, 1);
    m_cancelWork->setFocusPolicy(Qt::NoFocus);
    m_cancelWork->hide();
    strip->addWidget(m_cancelWork);
}

} // namespace veskaro
