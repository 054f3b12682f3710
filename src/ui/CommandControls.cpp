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
#include <optional>
#include <string_view>
#include <vector>

namespace veskaro {

namespace {

enum class Menu { File, Edit, View, Item, Script, Option, Help };

struct MenuRow {
    const char* name;
    const char* caption;
};

// The main menu's menus, in the order of Menu.
constexpr std::array<MenuRow, 7> kMenus{{
    {names::File1, QT_TRANSLATE_NOOP("CommandControls", "&File")},
    {names::Edit1, QT_TRANSLATE_NOOP("CommandControls", "&Edit")},
    {names::View1, QT_TRANSLATE_NOOP("CommandControls", "&View")},
    {names::Item1, QT_TRANSLATE_NOOP("CommandControls", "&Item")},
    {names::Script1, QT_TRANSLATE_NOOP("CommandControls", "&Script")},
    {names::Option1, QT_TRANSLATE_NOOP("CommandControls", "&Option")},
    {names::Help1, QT_TRANSLATE_NOOP("CommandControls", "&Help")},
}};

enum class Kind {
    Command,   // an entry, with the command's other entries and its tool button
    Check,     // a ticked entry that shows something or hides it
    Submenu,   // the recent-files submenu
    Separator, // a line between entries
};

// One entry of the main menu. A command may also stand in the tree's context menu (popupName) and on the
// tool bar (buttonName with its hint); the entries and the button make up the command's CommandEntries.
struct EntryRow {
    Menu menu;
    Kind kind;
    const char* name = nullptr;
    const char* caption = nullptr;
    std::optional<MenuImage> image = std::nullopt;
    QList<QKeySequence> shortcuts = {};
    CommandEntries CommandControls::*command = nullptr;
    const char* popupName = nullptr;
    const char* buttonName = nullptr;
    const char* hint = nullptr;
    const char* statusTip = nullptr;
};

#define VESKARO_CAPTION(text) QT_TRANSLATE_NOOP("CommandControls", text)

// Every entry of the main menu in its order; the tool buttons follow the same order, with a separator
// wherever the next one belongs to another menu.
const std::vector<EntryRow>& entryRows() {
    using C = CommandControls;
    // One row per entry reads as the table it is.
    // clang-format off
    static const std::vector<EntryRow> rows{
        {Menu::File, Kind::Command, names::New1, VESKARO_CAPTION("&New..."), MenuImage::New,
         {QKeySequence(Qt::CTRL | Qt::Key_N)}, &C::newProject, nullptr,
         names::tlbtnNew, VESKARO_CAPTION("Create a new project")},
        {Menu::File, Kind::Command, names::Open1, VESKARO_CAPTION("&Open..."), MenuImage::Open,
         {QKeySequence(Qt::CTRL | Qt::Key_O)}, &C::open, nullptr,
         names::tlbtnOpen, VESKARO_CAPTION("Open a project from the file that you saved before")},
        {Menu::File, Kind::Command, names::Save1, VESKARO_CAPTION("&Save"), MenuImage::Save,
         {QKeySequence(Qt::CTRL | Qt::Key_S)}, &C::save, nullptr,
         names::tlbtnSave, VESKARO_CAPTION("Save the current project to a file")},
        {Menu::File, Kind::Command, names::Save2, VESKARO_CAPTION("Save &As..."), std::nullopt,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, &C::saveAs},
#ifdef VESKARO_WINDOW_UPLOAD
        {Menu::File, Kind::Separator},
        {Menu::File, Kind::Command, names::Upload1, VESKARO_CAPTION("&Upload to Web Server..."), MenuImage::Upload,
         {QKeySequence(Qt::CTRL | Qt::Key_U)}, &C::upload, nullptr,
         names::tlbtnUpload, VESKARO_CAPTION("Upload the published slider to your web server")},
#endif
        {Menu::File, Kind::Separator},
        {Menu::File, Kind::Submenu, names::mnitRecentFiles, VESKARO_CAPTION("&Recent Files")},
        {Menu::File, Kind::Separator},
        {Menu::File, Kind::Command, names::Exit1, VESKARO_CAPTION("E&xit"), std::nullopt,
         {QKeySequence(Qt::CTRL | Qt::Key_Q)}, &C::exit},
        {Menu::Edit, Kind::Command, names::Undo1, VESKARO_CAPTION("&Undo"), MenuImage::Undo,
         {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &C::undo, nullptr,
         names::tlbtnUndo, VESKARO_CAPTION("Undo the last change")},
        {Menu::Edit, Kind::Command, names::Redo1, VESKARO_CAPTION("&Redo"), MenuImage::Redo,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, &C::redo, nullptr,
         names::tlbtnRedo, VESKARO_CAPTION("Redo the change last undone")},
        {Menu::Edit, Kind::Separator},
        {Menu::Edit, Kind::Command, names::CopyEmbedCode1, VESKARO_CAPTION("Copy &Embed Code"), std::nullopt,
         {}, &C::copyEmbedCode},
        {Menu::View, Kind::Check, names::ToolBar1, VESKARO_CAPTION("&Tool Bar")},
        {Menu::View, Kind::Check, names::StatusBar2, VESKARO_CAPTION("&Status Bar")},
        {Menu::Item, Kind::Command, names::Insert2, VESKARO_CAPTION("I&nsert"), MenuImage::Insert,
         {QKeySequence(Qt::Key_Insert)}, &C::insert, names::Insert1,
         names::tlbtnInsert, VESKARO_CAPTION("Insert a new item")},
        {Menu::Item, Kind::Command, names::Delete2, VESKARO_CAPTION("&Delete"), MenuImage::Delete,
         {}, &C::remove, names::Delete1,
         names::tlbtnDelete, VESKARO_CAPTION("Delete selected item")},
        {Menu::Item, Kind::Command, names::MoveUp2, VESKARO_CAPTION("Move &Up"), MenuImage::MoveUp,
         {QKeySequence(Qt::CTRL | Qt::Key_Up)}, &C::moveUp, names::MoveUp1,
         names::tlbtnMoveUp, VESKARO_CAPTION("Move the selected item up")},
        {Menu::Item, Kind::Command, names::MoveDown2, VESKARO_CAPTION("Move &Down"), MenuImage::MoveDown,
         {QKeySequence(Qt::CTRL | Qt::Key_Down)}, &C::moveDown, names::MoveDown1,
         names::tlbtnMoveDown, VESKARO_CAPTION("Move the selected item down")},
        {Menu::Item, Kind::Command, names::Duplicate2, VESKARO_CAPTION("Du&plicate"), MenuImage::Duplicate,
         {QKeySequence(Qt::CTRL | Qt::Key_D)}, &C::duplicate, names::Duplicate1},
        {Menu::Item, Kind::Command, names::MoveIn2, VESKARO_CAPTION("Move &In"), std::nullopt,
         {QKeySequence(Qt::CTRL | Qt::Key_Right)}, &C::moveIn, names::MoveIn1},
        {Menu::Item, Kind::Command, names::MoveOut2, VESKARO_CAPTION("Move O&ut"), std::nullopt,
         {QKeySequence(Qt::CTRL | Qt::Key_Left)}, &C::moveOut, names::MoveOut1},
        {Menu::Item, Kind::Separator},
        {Menu::Item, Kind::Command, names::BatchImport2, VESKARO_CAPTION("&Batch Importing Images..."), std::nullopt,
         {}, &C::batchImport},
        {Menu::Script, Kind::Command, names::Preview1, VESKARO_CAPTION("&Preview"), MenuImage::Preview,
         {QKeySequence(Qt::CTRL | Qt::Key_P)}, &C::preview, nullptr,
         names::tlbtnPreview, VESKARO_CAPTION("preview the applet in web browser")},
        {Menu::Option, Kind::Command, names::WebBrowser1, VESKARO_CAPTION("Web &Browser..."), std::nullopt,
         {}, &C::webBrowser, nullptr,
         nullptr, nullptr, VESKARO_CAPTION("Specified which web browser be used to preview")},
        {Menu::Option, Kind::Command, names::ClearPictureCache1, VESKARO_CAPTION("Clear Picture &Cache"), std::nullopt,
         {}, &C::clearPictureCache, nullptr,
         nullptr, nullptr, VESKARO_CAPTION("Remove the kept pictures, so that the next save prepares every picture")},
        {Menu::Help, Kind::Command, names::Topic1, VESKARO_CAPTION("Help &Topics"), MenuImage::Help,
         {QKeySequence(Qt::Key_F1)}, &C::helpTopics, nullptr,
         names::tlbtnHelp, VESKARO_CAPTION("Show help document")},
        {Menu::Help, Kind::Command, names::ViewSample1, VESKARO_CAPTION("View &Sample..."), std::nullopt,
         {}, &C::viewSample},
        {Menu::Help, Kind::Separator},
        {Menu::Help, Kind::Command, names::Homepage1, VESKARO_CAPTION("&Homepage"), std::nullopt,
         {}, &C::homepage},
        {Menu::Help, Kind::Command, names::ContactUs1, VESKARO_CAPTION("&Contact Us"), std::nullopt,
         {}, &C::contactUs},
        {Menu::Help, Kind::Command, names::About1, VESKARO_CAPTION("&About"), std::nullopt,
         {}, &C::about},
    };
    // clang-format on
    return rows;
}

#undef VESKARO_CAPTION

QAction* addEntry(QMenu* menu, const char* name, const QString& caption, std::optional<MenuImage> image) {
    QAction* entry = named(menu->addAction(caption), name);
    if (image)
        entry->setIcon(menuIcon(*image));
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
    std::array<QMenu*, kMenus.size()> menus{};
    for (std::size_t m = 0; m < kMenus.size(); ++m)
        menus[m] = named(bar->addMenu(tr(kMenus[m].caption)), kMenus[m].name);
    popup = named(new QMenu(&window), names::PopupMenu1);
    buildToolBar(window);

    std::optional<Menu> lastButtonMenu;
    for (const EntryRow& row : entryRows()) {
        QMenu* menu = menus[static_cast<std::size_t>(row.menu)];
        switch (row.kind) {
        case Kind::Separator:
            menu->addSeparator();
            break;
        case Kind::Submenu:
            recentFiles = named(menu->addMenu(tr(row.caption)), row.name);
            break;
        case Kind::Check: {
            QAction* toggle = addEntry(menu, row.name, tr(row.caption), std::nullopt);
            toggle->setCheckable(true);
            toggle->setChecked(true);
            (row.name == std::string_view(names::ToolBar1) ? toolBarShown : statusBarShown) = toggle;
            break;
        }
        case Kind::Command: {
            QList<QAction*> entries{addEntry(menu, row.name, tr(row.caption), row.image)};
            if (row.popupName)
                entries << addEntry(popup, row.popupName, tr(row.caption), row.image);
            for (QAction* entry : entries)
                entry->setShortcuts(row.shortcuts);
            // Both entries show the shortcut; the one in the context menu takes it only while that menu is
            // open, since two entries that both take it would make it ambiguous.
            if (row.popupName)
                entries.back()->setShortcutContext(Qt::WidgetShortcut);
            if (row.statusTip)
                entries.front()->setStatusTip(tr(row.statusTip));
            QList<QAbstractButton*> buttons;
            if (row.buttonName) {
                if (lastButtonMenu && *lastButtonMenu != row.menu)
                    toolBar->addSeparator();
                lastButtonMenu = row.menu;
                QToolButton* button = addToolButton(toolBar, row.buttonName, *row.image, tr(row.hint));
                toolButtons << button;
                buttons << button;
            }
            // The batch import's button stands in front of the tool bar, apart from the tool buttons.
            if (row.command == &CommandControls::batchImport)
                buttons << batchImportButton;
            this->*row.command = CommandEntries(entries, buttons);
            break;
        }
        }
    }
}

void CommandControls::buildToolBar(QMainWindow& window) {
    toolBar = named(new QToolBar, names::tlbr1);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    // Only "View" shows and hides the tool bar, so its tick always tells the truth.
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::TopToolBarArea, toolBar);

    // The batch import stands in front of the tool buttons.
    batchImportButton = named(new QPushButton(tr("Batch Importing Images")), names::btnBatchImportImgs);
    QFont bold = batchImportButton->font();
    bold.setBold(true);
    batchImportButton->setFont(bold);
    batchImportButton->setMinimumWidth(185);
    toolBar->addWidget(batchImportButton);
    toolBar->addSeparator();
}

} // namespace veskaro
