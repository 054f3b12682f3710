#include "ui/CommandControls.h"

#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/WidgetNaming.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

#include <array>
#include <tuple>

namespace veskaro {

namespace {

QAction* addEntry(QMenu* menu, const char* name, const QString& caption) {
    return named(menu->addAction(caption), name);
}

QAction* addEntry(QMenu* menu, const char* name, const QString& caption, MenuImage image) {
    QAction* entry = addEntry(menu, name, caption);
    entry->setIcon(menuIcon(image));
    return entry;
}

QToolButton* addToolButton(QToolBar* bar, const char* name, MenuImage image, const QString& hint) {
    auto* button = named(new QToolButton, name);
    button->setIcon(menuIcon(image));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

} // namespace

CommandControls::CommandControls(QMainWindow& window) {
    QMenuBar* bar = named(window.menuBar(), names::MainMenu1);

    QMenu* file = named(bar->addMenu(tr("&File")), names::File1);
    QAction* new1 = addEntry(file, names::New1, tr("&New..."), MenuImage::New);
    new1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* open1 = addEntry(file, names::Open1, tr("&Open..."), MenuImage::Open);
    open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* save1 = addEntry(file, names::Save1, tr("&Save"), MenuImage::Save);
    save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* save2 = addEntry(file, names::Save2, tr("Save &As..."));
    file->addSeparator();
    recentFiles = named(file->addMenu(tr("&Recent Files")), names::mnitRecentFiles);
    file->addSeparator();
    exit = CommandEntries{addEntry(file, names::Exit1, tr("E&xit"))};

    QMenu* edit = named(bar->addMenu(tr("&Edit")), names::Edit1);
    QAction* undo1 = addEntry(edit, names::Undo1, tr("&Undo"), MenuImage::Undo);
    undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo1 = addEntry(edit, names::Redo1, tr("&Redo"), MenuImage::Redo);
    redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    QMenu* view = named(bar->addMenu(tr("&View")), names::View1);
    toolBarShown = addEntry(view, names::ToolBar1, tr("&Tool Bar"));
    statusBarShown = addEntry(view, names::StatusBar2, tr("&Status Bar"));
    for (QAction* toggle : {toolBarShown, statusBarShown}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    // The same item commands appear in the "Item" menu and in the tree's context menu.
    QMenu* item = named(bar->addMenu(tr("&Item")), names::Item1);
    popup = named(new QMenu(&window), names::PopupMenu1);
    const std::array<std::tuple<const char*, const char*, QString, MenuImage>, 5> itemCommands{{
        {names::Insert2, names::Insert1, tr("I&nsert"), MenuImage::Insert},
        {names::Delete2, names::Delete1, tr("&Delete"), MenuImage::Delete},
        {names::MoveUp2, names::MoveUp1, tr("Move &Up"), MenuImage::MoveUp},
        {names::MoveDown2, names::MoveDown1, tr("Move &Down"), MenuImage::MoveDown},
        {names::Duplicate2, names::Duplicate1, tr("Du&plicate"), MenuImage::Duplicate},
    }};
    std::array<std::pair<QAction*, QAction*>, 5> itemEntries{};
    for (std::size_t i = 0; i < itemCommands.size(); ++i) {
        const auto& [menuName, popupName, caption, image] = itemCommands[i];
        itemEntries[i] = {addEntry(item, menuName, caption, image), addEntry(popup, popupName, caption, image)};
    }
    // Both entries show the shortcut; the one in the context menu takes it only while that menu is open,
    // since two entries that both take it would make it ambiguous.
    for (QAction* entry : {itemEntries[4].first, itemEntries[4].second})
        entry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    itemEntries[4].second->setShortcutContext(Qt::WidgetShortcut);

    QMenu* script = named(bar->addMenu(tr("&Script")), names::Script1);
    QAction* preview1 = addEntry(script, names::Preview1, tr("&Preview"), MenuImage::Preview);
    preview1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    QMenu* option = named(bar->addMenu(tr("&Option")), names::Option1);
    QAction* webBrowser1 = addEntry(option, names::WebBrowser1, tr("Web &Browser..."));
    webBrowser1->setStatusTip(tr("Specified which web browser be used to preview"));
    webBrowser = CommandEntries{webBrowser1};

    QMenu* help = named(bar->addMenu(tr("&Help")), names::Help1);
    QAction* topic1 = addEntry(help, names::Topic1, tr("Help &Topics"), MenuImage::Help);
    viewSample = CommandEntries{addEntry(help, names::ViewSample1, tr("View &Sample..."))};
    help->addSeparator();
    homepage = CommandEntries{addEntry(help, names::Homepage1, tr("&Homepage"))};
    contactUs = CommandEntries{addEntry(help, names::ContactUs1, tr("&Contact Us"))};
    about = CommandEntries{addEntry(help, names::About1, tr("&About"))};

    toolBar = named(new QToolBar, names::tlbr1);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    // Only "View" shows and hides the tool bar, so its tick always tells the truth.
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::TopToolBarArea, toolBar);

    batchImport = named(new QPushButton(tr("Batch Importing Images")), names::btnBatchImportImgs);
    QFont bold = batchImport->font();
    bold.setBold(true);
    batchImport->setFont(bold);
    batchImport->setMinimumWidth(185);
    toolBar->addWidget(batchImport);
    toolBar->addSeparator();
    QToolButton* newButton = addToolButton(toolBar, names::tlbtnNew, MenuImage::New, tr("Create a new project"));
    QToolButton* openButton = addToolButton(toolBar, names::tlbtnOpen, MenuImage::Open,
                                            tr("Open a project from the file that you saved before"));
    QToolButton* saveButton =
        addToolButton(toolBar, names::tlbtnSave, MenuImage::Save, tr("Save the current project to a file"));
    toolBar->addSeparator();
    QToolButton* undoButton = addToolButton(toolBar, names::tlbtnUndo, MenuImage::Undo, tr("Undo the last change"));
    QToolButton* redoButton =
        addToolButton(toolBar, names::tlbtnRedo, MenuImage::Redo, tr("Redo the change last undone"));
    toolBar->addSeparator();
    QToolButton* insertButton = addToolButton(toolBar, names::tlbtnInsert, MenuImage::Insert, tr("Insert a new item"));
    QToolButton* deleteButton =
        addToolButton(toolBar, names::tlbtnDelete, MenuImage::Delete, tr("Delete selected item"));
    QToolButton* moveUpButton =
        addToolButton(toolBar, names::tlbtnMoveUp, MenuImage::MoveUp, tr("Move the selected item up"));
    QToolButton* moveDownButton =
        addToolButton(toolBar, names::tlbtnMoveDown, MenuImage::MoveDown, tr("Move the selected item down"));
    toolBar->addSeparator();
    QToolButton* previewButton =
        addToolButton(toolBar, names::tlbtnPreview, MenuImage::Preview, tr("preview the applet in web browser"));
    toolBar->addSeparator();
    QToolButton* helpButton = addToolButton(toolBar, names::tlbtnHelp, MenuImage::Help, tr("Show help document"));
    toolButtons = {newButton,    openButton,   saveButton,     undoButton,    redoButton, insertButton,
                   deleteButton, moveUpButton, moveDownButton, previewButton, helpButton};

    newProject = CommandEntries{{new1}, {newButton}};
    open = CommandEntries{{open1}, {openButton}};
    save = CommandEntries{{save1}, {saveButton}};
    saveAs = CommandEntries{save2};
    undo = CommandEntries{{undo1}, {undoButton}};
    redo = CommandEntries{{redo1}, {redoButton}};
    insert = CommandEntries{{itemEntries[0].first, itemEntries[0].second}, {insertButton}};
    remove = CommandEntries{{itemEntries[1].first, itemEntries[1].second}, {deleteButton}};
    moveUp = CommandEntries{{itemEntries[2].first, itemEntries[2].second}, {moveUpButton}};
    moveDown = CommandEntries{{itemEntries[3].first, itemEntries[3].second}, {moveDownButton}};
    duplicate = CommandEntries{itemEntries[4].first, itemEntries[4].second};
    preview = CommandEntries{{preview1}, {previewButton}};
    helpTopics = CommandEntries{{topic1}, {helpButton}};
}

} // namespace veskaro
