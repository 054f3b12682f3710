// Building the designer window: menus, tool bar, the tree panel, the three parameter pages and the
// status strip, each control under its component name.

#include "ui/ColorPanel.h"
#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/SpinEdit.h"
#include "ui/TCheckGroupBox.h"
#include "ui/TMainForm.h"
#include "ui/WidgetNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veskaro {

namespace {

// The caption of a parameter: bold, like every parameter caption of the pages.
QLabel* captionLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel* wrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QGroupBox* group(const char* name, const QString& caption) {
    return named(new QGroupBox(caption), name);
}

QLineEdit* lineEdit(const char* name) {
    return named(new QLineEdit, name);
}

SpinEdit* spinEdit(const char* name, int minimum, int maximum) {
    return named(new SpinEdit(minimum, maximum), name);
}

ColorPanel* colorPanel(const char* name) {
    return named(new ColorPanel, name);
}

QComboBox* comboBox(const char* name, const QStringList& suggestions) {
    auto* combo = named(new QComboBox, name);
    combo->setEditable(true);
    // The list only suggests: typed text is stored as it is and never joins the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(suggestions);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return combo;
}

QToolButton* browseButton(const char* name) {
    auto* button = named(new QToolButton, name);
    button->setIcon(menuIcon(MenuImage::Open));
    button->setAutoRaise(true);
    return button;
}

// A row of a grid: a caption and a field that keeps its natural width.
void addFieldRow(QGridLayout* grid, int row, const QString& caption, QWidget* field) {
    grid->addWidget(captionLabel(caption), row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
}

} // namespace

void TMainForm::buildWindow() {
    setObjectName(QLatin1String(names::MainForm));
    setWindowIcon(applicationIcon());
    buildMenus();
    buildToolBar();
    auto* splitter = named(new QSplitter(Qt::Horizontal), names::Splitter1);
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildTreePanel());
    splitter->addWidget(buildPages());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({337, 445});
    setCentralWidget(splitter);
    buildStatusStrip();
    // The designed size, or larger where this desktop's fonts need more room.
    resize(QSize(782, 470 + menuBar()->sizeHint().height()).expandedTo(sizeHint()));
    centreOnScreen(*this);
}

QAction* TMainForm::addEntry(QMenu* menu, const char* name, const QString& caption) {
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(QLatin1String(name));
    return entry;
}

void TMainForm::buildMenus() {
    QMenuBar* bar = named(menuBar(), names::MainMenu1);

    QMenu* file = named(bar->addMenu(tr("&File")), names::File1);
    const std::array<std::tuple<const char*, QString, QKeyCombination, MenuImage>, 3> fileCommands{{
        {names::New1, tr("&New..."), Qt::CTRL | Qt::Key_N, MenuImage::New},
        {names::Open1, tr("&Open..."), Qt::CTRL | Qt::Key_O, MenuImage::Open},
        {names::Save1, tr("&Save"), Qt::CTRL | Qt::Key_S, MenuImage::Save},
    }};
    for (const auto& [name, caption, shortcut, image] : fileCommands) {
        QAction* entry = addEntry(file, name, caption);
        entry->setShortcut(QKeySequence(shortcut));
        entry->setIcon(menuIcon(image));
    }
    addEntry(file, names::Save2, tr("Save &As..."));
    file->addSeparator();
    named(file->addMenu(tr("&Recent Files")), names::mnitRecentFiles);
    file->addSeparator();
    addEntry(file, names::Exit1, tr("E&xit"));

    QMenu* view = named(bar->addMenu(tr("&View")), names::View1);
    for (const auto& [name, caption] :
         {std::pair{names::ToolBar1, tr("&Tool Bar")}, {names::StatusBar2, tr("&Status Bar")}}) {
        QAction* toggle = addEntry(view, name, caption);
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    // The same four item commands appear in the "Item" menu and in the tree's context menu.
    QMenu* item = named(bar->addMenu(tr("&Item")), names::Item1);
    m_popupMenu = named(new QMenu(this), names::PopupMenu1);
    const std::array<std::tuple<const char*, const char*, QString, MenuImage>, 4> itemCommands{{
        {names::Insert2, names::Insert1, tr("I&nsert"), MenuImage::Insert},
        {names::Delete2, names::Delete1, tr("&Delete"), MenuImage::Delete},
        {names::MoveUp2, names::MoveUp1, tr("Move &Up"), MenuImage::MoveUp},
        {names::MoveDown2, names::MoveDown1, tr("Move &Down"), MenuImage::MoveDown},
    }};
    for (const auto& [menuName, popupName, caption, image] : itemCommands) {
        addEntry(item, menuName, caption)->setIcon(menuIcon(image));
        addEntry(m_popupMenu, popupName, caption)->setIcon(menuIcon(image));
    }

    QMenu* script = named(bar->addMenu(tr("&Script")), names::Script1);
    QAction* preview = addEntry(script, names::Preview1, tr("&Preview"));
    preview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    preview->setIcon(menuIcon(MenuImage::Preview));

    QMenu* option = named(bar->addMenu(tr("&Option")), names::Option1);
    addEntry(option, names::WebBrowser1, tr("Web &Browser..."))
        ->setStatusTip(tr("Specified which web browser be used to preview"));

    QMenu* help = named(bar->addMenu(tr("&Help")), names::Help1);
    addEntry(help, names::Topic1, tr("Help &Topics"))->setIcon(menuIcon(MenuImage::Help));
    addEntry(help, names::ViewSample1, tr("View &Sample..."));
    help->addSeparator();
    addEntry(help, names::Homepage1, tr("&Homepage"));
    addEntry(help, names::ContactUs1, tr("&Contact Us"));
    addEntry(help, names::About1, tr("&About"));
}

QToolButton* TMainForm::addToolButton(const char* name, const QIcon& icon, const QString& hint) {
    auto* button = named(new QToolButton, name);
    button->setIcon(icon);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    m_toolBar->addWidget(button);
    return button;
}

void TMainForm::buildToolBar() {
    m_toolBar = named(new QToolBar, names::tlbr1);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    // Only "View" shows and hides the tool bar, so its tick always tells the truth.
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    auto* batchImport = named(new QPushButton(tr("Batch Importing Images")), names::btnBatchImportImgs);
    QFont bold = batchImport->font();
    bold.setBold(true);
    batchImport->setFont(bold);
    batchImport->setMinimumWidth(185);
    m_toolBar->addWidget(batchImport);
    m_toolBar->addSeparator();
    addToolButton(names::tlbtnNew, menuIcon(MenuImage::New), tr("Create a new project"));
    addToolButton(names::tlbtnOpen, menuIcon(MenuImage::Open),
                  tr("Open a project from the file that you saved before"));
    addToolButton(names::tlbtnSave, menuIcon(MenuImage::Save), tr("Save the current project to a file"));
    m_toolBar->addSeparator();
    addToolButton(names::tlbtnInsert, menuIcon(MenuImage::Insert), tr("Insert a new item"));
    addToolButton(names::tlbtnDelete, menuIcon(MenuImage::Delete), tr("Delete selected item"));
    addToolButton(names::tlbtnMoveUp, menuIcon(MenuImage::MoveUp), tr("Move the selected item up"));
    addToolButton(names::tlbtnMoveDown, menuIcon(MenuImage::MoveDown), tr("Move the selected item down"));
    m_toolBar->addSeparator();
    addToolButton(names::tlbtnPreview, menuIcon(MenuImage::Preview), tr("preview the applet in web browser"));
    m_toolBar->addSeparator();
    addToolButton(names::tlbtnHelp, menuIcon(MenuImage::Help), tr("Show help document"));
}

QWidget* TMainForm::buildTreePanel() {
    auto* panel = named(new QWidget, names::pnlTreeView);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(3, 4, 0, 0);
    m_tree = named(new QTreeWidget, names::trvwDesignPanel);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIndentation(19);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setToolTip(tr("Add, remove or move items by right-clicking the mouse."));
    layout->addWidget(m_tree);
    return panel;
}

QTabWidget* TMainForm::buildPages() {
    m_pages = named(new QTabWidget, names::pgcntrl1);
    m_scriptPage = buildScriptPage();
    m_itemPage = buildItemPage();
    m_pathPage = buildPathPage();
    m_pages->addTab(m_scriptPage, tr("Script"));
    m_pages->addTab(m_itemPage, tr("Item General"));
    m_pages->addTab(m_pathPage, tr("Path"));
    // Wrapped texts need more height in a narrow page; ask for the height the narrowest page needs.
    for (QWidget* page : {m_scriptPage, m_itemPage, m_pathPage})
        if (page->hasHeightForWidth())
            page->setMinimumHeight(page->heightForWidth(page->minimumSizeHint().width()));
    // Never smaller than the pages need with the fonts of this desktop.
    m_pages->setMinimumSize(m_pages->minimumSizeHint().expandedTo(QSize(433, 420)));
    return m_pages;
}

QToolButton* TMainForm::helpButton(const char* name, int tag) {
    auto* button = named(new QToolButton, name);
    button->setIcon(menuIcon(MenuImage::Help));
    button->setAutoRaise(true);
    // The help pages are looked up by this number.
    button->setProperty("Tag", tag);
    return button;
}

QWidget* TMainForm::buildScriptPage() {
    auto* page = named(new QWidget, names::tbshtScript);
    auto* layout = new QVBoxLayout(page);

    QGroupBox* general = group(names::grpbx_Script_Menu, tr("General"));
    auto* generalGrid = new QGridLayout(general);
    generalGrid->addWidget(captionLabel(tr("Name")), 0, 0);
    generalGrid->addWidget(lineEdit(names::pSliderName), 0, 1);
    addFieldRow(generalGrid, 1, tr("Width"), spinEdit(names::sliderWidth, 1, 9999));
    addFieldRow(generalGrid, 2, tr("Height"), spinEdit(names::sliderHeight, 1, 9999));
    generalGrid->addWidget(helpButton(names::SpeedButton1, 1), 0, 2, Qt::AlignRight | Qt::AlignTop);
    generalGrid->setColumnStretch(1, 1);
    layout->addWidget(general);

    QGroupBox* navigation = group(names::GroupBox1, tr("Navigation Buttons"));
    auto* navigationGrid = new QGridLayout(navigation);
    navigationGrid->addWidget(captionLabel(tr("Vertical Offset")), 0, 0);
    navigationGrid->addWidget(spinEdit(names::navBtnVerticalOffset, -9999, 9999), 0, 1, 1, 3, Qt::AlignLeft);
    // Text colours at the left with their panels, background colours to their right.
    const std::array<std::tuple<QString, const char*, QString, const char*>, 4> colourRows{{
        {tr("Normal Text Color"), names::navBtnTextColorNormal, tr("Normal BG Color"), names::navBtnBgColorNormal},
        {tr("Hover Text Color"), names::navBtnTextColorHover, tr("Hover BG Color"), names::navBtnBgColorHover},
        {tr("Active Text Color"), names::navBtnTextColorActive, tr("Active BG Color"), names::navBtnBgColorActive},
        {tr("Active Hover Text Color"), names::navBtnTextColorActiveHover, tr("Active Hover BG Color"),
         names::navBtnBgColorActiveHover},
    }};
    int row = 1;
    for (const auto& [textCaption, textPanel, backgroundCaption, backgroundPanel] : colourRows) {
        navigationGrid->addWidget(captionLabel(textCaption), row, 0);
        navigationGrid->addWidget(colorPanel(textPanel), row, 1);
        navigationGrid->addWidget(captionLabel(backgroundCaption), row, 2);
        navigationGrid->addWidget(colorPanel(backgroundPanel), row, 3);
        ++row;
    }
    navigationGrid->setColumnMinimumWidth(1, 40);
    navigationGrid->setColumnStretch(3, 1);
    navigationGrid->addWidget(helpButton(names::SpeedButton2, 2), 0, 4, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(navigation);

    QGroupBox* timing = group(names::GroupBox9, tr("Timing"));
    auto* timingGrid = new QGridLayout(timing);
    addFieldRow(timingGrid, 0, tr("Automatic Transition Duration"), spinEdit(names::transDurAuto, 0, 9999));
    addFieldRow(timingGrid, 1, tr("Manual Transition Duration"), spinEdit(names::transDurManual, 0, 9999));
    addFieldRow(timingGrid, 2, tr("Delay Switching Image"), spinEdit(names::switchImageDelay, 0, 9999));
    timingGrid->setColumnStretch(1, 1);
    timingGrid->addWidget(helpButton(names::SpeedButton11, 3), 0, 2, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(timing);
    layout->addStretch(1);
    return page;
}

QWidget* TMainForm::buildItemPage() {
    auto* page = named(new QWidget, names::tbshtItemGeneral);
    auto* layout = new QVBoxLayout(page);

    QGroupBox* image = group(names::GroupBox12, tr("Original Image Path"));
    auto* imageRow = new QHBoxLayout(image);
    imageRow->addWidget(lineEdit(names::edtOriginalImagePath), 1);
    imageRow->addWidget(browseButton(names::spdbtnOriginalImagePath));
    imageRow->addWidget(helpButton(names::SpeedButton13, 5));
    layout->addWidget(image);

    QGroupBox* link = group(names::GroupBox7, tr("Link"));
    auto* linkGrid = new QGridLayout(link);
    linkGrid->addWidget(captionLabel(tr("URL")), 0, 0);
    linkGrid->addWidget(comboBox(names::cmbx_ILink,
                                 {QStringLiteral("http://"), QStringLiteral("mailto://"), QStringLiteral("javascript:"),
                                  QStringLiteral("ftp://"), QStringLiteral("news://")}),
                        0, 1);
    linkGrid->addWidget(browseButton(names::spdbtnItURL), 0, 2);
    linkGrid->addWidget(captionLabel(tr("Target")), 1, 0);
    linkGrid->addWidget(
        comboBox(names::cmbx_ITarget, {QStringLiteral("_self"), QStringLiteral("_blank"), QStringLiteral("_parent"),
                                       QStringLiteral("_top"), QStringLiteral("_search"), QStringLiteral("_media")}),
        1, 1);
    linkGrid->addWidget(helpButton(names::SpeedButton24, 6), 0, 3);
    layout->addWidget(link);

    QGroupBox* description = group(names::GroupBox10, tr("Description"));
    auto* descriptionRow = new QHBoxLayout(description);
    descriptionRow->addWidget(lineEdit(names::edt_IToolTip), 1);
    descriptionRow->addWidget(helpButton(names::SpeedButton19, 7));
    layout->addWidget(description);
    layout->addStretch(1);

    QGroupBox* preview = group(names::GroupBox2, tr("Preview"));
    preview->setMinimumSize(153, 113);
    preview->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* previewLayout = new QVBoxLayout(preview);
    m_preview = named(new QLabel, names::imgPreview);
    m_preview->setFixedSize(120, 90);
    m_preview->setScaledContents(true);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setWordWrap(true);
    m_preview->hide();
    previewLayout->addWidget(m_preview, 0, Qt::AlignCenter);
    layout->addWidget(preview, 0, Qt::AlignLeft);
    return page;
}

QWidget* TMainForm::buildPathPage() {
    auto* page = named(new QWidget, names::tbshtPath);
    auto* pageLayout = new QVBoxLayout(page);
    QGroupBox* replacement = group(names::GroupBox5, tr("Path Replacement for Publishing"));
    pageLayout->addWidget(replacement);
    auto* layout = new QVBoxLayout(replacement);

    QLabel* explanation = wrappedLabel(
        tr("If item's URL contains either local or web path you specified here, one path will be replaced by another "
           "depending on the choice below. Local path will be replaced by web path for uploading if you need to upload "
           "the menu to web server to test or publish. "));
    explanation->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(explanation);
    layout->addSpacing(6);

    layout->addWidget(captionLabel(tr("Root Directory for Local Computer")));
    layout->addWidget(new QLabel(tr("e.g. file:///C|/projects/websites/tarnwell/")));
    layout->addWidget(lineEdit(names::InternalUse_RootDir_Local));
    layout->addSpacing(6);
    layout->addWidget(captionLabel(tr("Root Directory for Web Server")));
    layout->addWidget(new QLabel(tr("e.g. https://www.example.com/")));
    layout->addWidget(lineEdit(names::InternalUse_RootDir_Remote));
    layout->addSpacing(6);

    // Both buttons share the group box, which makes them one exclusive pair.
    auto* local = named(new QRadioButton(tr("Test on Local Computer (Switch to Local Path)")),
                        names::InternalUse_RootDir_Local_Checked);
    local->setChecked(true);
    layout->addWidget(local);
    layout->addWidget(named(new QRadioButton(tr("Upload to Web Server (Switch to Web Path)")),
                            names::InternalUse_RootDir_Local_Checked2));
    layout->addSpacing(12);

    auto* leadingPath = named(new TCheckGroupBox, names::CheckGroupBox1);
    auto* leadingLayout = new QVBoxLayout(leadingPath);
    leadingLayout->addWidget(wrappedLabel(tr("Specifies the leading path, e.g. ") +
                                          QStringLiteral("https://www.example.com/images/") +
                                          tr(", to the thumb image filenames. Leave the path blank for testing "
                                             "(preview) locally.")));
    leadingLayout->addWidget(lineEdit(names::pImageLeadingPath));
    layout->addWidget(leadingPath);
    auto* enabled = named(new QCheckBox(tr("Image Leading Path"), replacement), names::pImageLeadingPathEnabled);
    QFont bold = enabled->font();
    bold.setBold(true);
    enabled->setFont(bold);
    enabled->setChecked(true);
    enabled->adjustSize();
    leadingPath->SetCheckComponent(enabled);

    layout->addStretch(1);
    layout->addWidget(helpButton(names::SpeedButton28, 8), 0, Qt::AlignRight);
    return page;
}

void TMainForm::buildStatusStrip() {
    auto* strip = named(new QStatusBar, names::StatusBar1);
    setStatusBar(strip);
    m_hint = named(new QLabel, names::stctxtHint);
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setFixedWidth(338);
    m_progressBar = named(new QProgressBar, names::prgrsbrMainFormBottom);
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    strip->addWidget(m_hint);
    strip->addWidget(m_progressBar, 1);
}

} // namespace veskaro
