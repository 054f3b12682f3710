#pragma once

#include "ui/CommandEntries.h"

#include <QCoreApplication>
#include <QList>

class QAction;
class QMainWindow;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace veskaro {

/// The controls through which the user gives the designer window's commands: the main menu, the tree's
/// context menu and the tool bar, built in code under their object names and held by type, each command
/// with all of its entries.
struct CommandControls {
    Q_DECLARE_TR_FUNCTIONS(CommandControls)

public:
    /// Builds the main menu and the tool bar into window, and the context menu as a child of it.
    explicit CommandControls(QMainWindow& window);

    // "File"
    CommandEntries newProject;
    CommandEntries open;
    CommandEntries save;
    CommandEntries saveAs;
    CommandEntries upload; // without entries in a build without uploading
    QMenu* recentFiles = nullptr;
    CommandEntries exit;
    // "Edit": the entries' captions name the step they would undo or redo.
    CommandEntries undo;
    CommandEntries redo;
    CommandEntries copyEmbedCode;
    // "View": check entries that show and hide the bars.
    QAction* toolBarShown = nullptr;
    QAction* statusBarShown = nullptr;
    // "Item", the same entries in the context menu; the first four also on the tool bar.
    CommandEntries insert;
    CommandEntries remove;
    CommandEntries moveUp;
    CommandEntries moveDown;
    CommandEntries duplicate;
    CommandEntries moveIn;
    CommandEntries moveOut;
    // The batch import, in the "Item" menu and as the push button in front of the tool bar.
    CommandEntries batchImport;
    QMenu* popup = nullptr;
    // "Script", "Option" and "Help".
    CommandEntries preview;
    CommandEntries webBrowser;
    CommandEntries clearPictureCache;
    CommandEntries helpTopics;
    CommandEntries viewSample;
    CommandEntries homepage;
    CommandEntries contactUs;
    CommandEntries about;
    // The tool bar, with the batch import in front of the tool buttons.
    QToolBar* toolBar = nullptr;
    QPushButton* batchImportButton = nullptr;
    /// The tool buttons, in their order on the bar; each shows its hint in the hint line.
    QList<QToolButton*> toolButtons;

private:
    void buildToolBar(QMainWindow& window);
};

} // namespace veskaro
