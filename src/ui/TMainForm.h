#pragma once

#include "model/ItemTreeKeeper.h"
#include "model/TkvlAppletAgent.h"
#include "ui/CommandControls.h"
#include "ui/ItemTreeWidget.h"
#include "ui/MainFormProgressView.h"
#include "ui/ProjectCommands.h"
#include "ui/ProjectView.h"
#include "ui/TreeWidgetItemTree.h"
#ifdef VESKARO_WINDOW_UPLOAD
#include "ui/WebServerUpload.h"
#include "upload/SecretStore.h"
#endif

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidgetItem;
class QUrl;

namespace veskaro {

struct BrowserServices;
class ColorPanel;
class ParameterPages;
class Places;
class Prompts;
class Publisher;
class TformHTML;
class TfrmHelp;
struct SkippedFiles;
struct TextRefusal;

/// The designer window: the item tree, the parameter pages, menus, tool bar, hint line and progress bar.
/// It owns the one project; the item-tree keeper holds the tree and the project's items in step, and the
/// project commands look after the project file and its unsaved changes.
class TMainForm : public QMainWindow, private ProjectView {
    Q_OBJECT
public:
    /// Builds the window and runs its creation steps; errors of those steps are shown through prompts
    /// and leave the window as far as it got. Publishing and the folders it works in are those of publisher
    /// and places; the browser services keep the settings, which also receive the file association.
    TMainForm(Prompts& prompts, Publisher& publisher, const Places& places, BrowserServices& browsers,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    TkvlAppletAgent& project() { return m_project; }
    /// Returns the item tree as the core sees it.
    TreeWidgetItemTree& itemTree() { return m_itemTree; }
    /// Returns where long work shows its progress.
    MainFormProgressView& progressView() { return m_progress; }
    /// Returns the help window, which lives as long as this window.
    TfrmHelp& helpWindow() { return *m_help; }

    bool Modified() const { return m_commands.Modified(); }
    /// Sets the modified state, and with it the enabled state of "Save" and its tool button; false counts
    /// the project as it is now as saved.
    void setModified(bool modified);
    const std::string& ProjectFileName() const { return m_commands.ProjectFileName(); }
    void setProjectFileName(const std::string& fileName) { m_commands.setProjectFileName(fileName); }

    // Transfers between the controls and the project.
    void ScriptParamsFromWindow();
    void ScriptParamsToWindow() override;
    void ItemFromWindow(int index);
    void ItemToWindow(int index);
    /// Takes the pages into the project as a save does: the script parameters, and the item last shown.
    void storePagesIntoProject() override;

    // Project commands of the "File" menu and the tool bar.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Save2Click();
    /// Opens a project by name, for the command line and the recent-files list; empty text opens nothing.
    void OpenProjectFile(const std::string& fileName);
#ifdef VESKARO_WINDOW_UPLOAD
    /// "File > Upload to Web Server...".
    void Upload1Click();
    /// Uploads through services from now on; until then passwords are remembered only while the window
    /// lives, and servers are reached as openRemoteFolder reaches them.
    void setUploadServices(UploadServices& services) {
        m_uploadServices = &services;
    }
#endif
    /// Opens the project named on the command line without asking about changes. An error of the open
    /// is dropped: the program simply starts with what the open left; the open's own messages still show.
    void openCommandLineFile(const std::string& fileName);

    // The recent-files list and its submenu.
    void RebuildRecentFilesMenu();
    void AddRecentFile(const std::string& fileName) override;
    void RecentFileClick(const QAction* sender);

    // Handlers of the window, named after the controls they serve.
    void spnedtApWidthChange();
    void spnedtApWidthMouseMove(QWidget* sender);
    void ToolBar1Click();
    void StatusBar2Click();
    void Exit1Click();
    void Insert1Click();
    void Delete1Click();
    void MoveUp1Click();
    void MoveDown1Click();
    // Commands beyond the fixed set: undo, redo, duplicate, and moving a node by dragging it.
    void Undo1Click();
    void Redo1Click();
    void Duplicate1Click();
    void moveDroppedNode(QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement);
    // Moving the selected item one level in, below the item above it, or out, after its parent.
    void moveSelectedItemIn();
    void moveSelectedItemOut();
    void trvwDesignPanelChange();
    void trvwDesignPanelMouseDown();
    void RefreshItemCommands();
    void ArrangePages();
    /// Takes the pages into the project and builds its page into the HTML holder; false, after telling
    /// the user, when there is no item to build.
    bool BuildHTML();
    void Preview1Click();
    /// Puts the blocks a user pastes into a page of their own on the clipboard: the style sheet link for
    /// its head, and the slider's markup and scripts for its body.
    void copyEmbedCode();
    void WebBrowser1Click();
    void ClearPictureCache1Click();
    // Editing aids (TMainFormAids.cpp).
    void spdbtnItURLClick();
    void spdbtnItemImageNormalClick();
    void btnBatchImportImgsClick();
    void pnlApBgClrClick(ColorPanel* panel);
    void PickColor(ColorPanel* panel);
    // Help (TMainFormHelp.cpp).
    void SpeedButton1Click(QObject* sender);
    void Topic1Click();
    void ViewSample1Click();
    void Homepage1Click();
    void ContactUs1Click();
    void About1Click();

    /// Runs a command handler: an error it raises is shown in an error box and the window stays usable.
    void runCommand(const std::function<void()>& command);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the frame of the window (TMainFormLayout.cpp); menus, tool bar and pages build themselves.
    void buildWindow();
    QWidget* buildTreePanel();
    QWidget* buildPagesScroller();
    void buildStatusStrip();

    // Behaviour (TMainForm.cpp).
    void FormCreate();
    bool FormCloseQuery();
    void connectHandlers();
    void connectCommand(const CommandEntries& entries, void (TMainForm::*handler)());
    void connectCommand(QAbstractButton* button, void (TMainForm::*handler)());
    void watchHint(QWidget* control);
    void showHintOf(const QWidget* control);
    void showStatusStrip(bool shown);
    void showTreeContextMenu(const QPoint& position);
    void followSelection();
    void confirmSelection();
    void insertItem();
    void deleteSelectedItem();
    void moveSelectedItem(int (ItemTreeKeeper::*step)(int));
    void duplicateSelectedItem();
    bool canPlace(QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement) const;
    void placeSelectedItem(int parentPosition, int beforePosition);
    bool treeKey(QKeyEvent& key);
    // Undo and redo: the project, the tree and the pages as the history keeps them.
    void stepThroughHistory(void (ItemTreeKeeper::*step)());
    void recordPageEdit(QWidget* control);
    void refreshModified();
    void refreshUndoCommands();
    /// Shows the picture of the image path in the preview, or hides the preview when there is no such
    /// file; returns the reader's error for a file that cannot be read as a picture, else empty text.
    QString showPreviewImage();
    void previewInBrowser();
    // ProjectView.
    void showRootOnly() override;
    LoadOutcome loadProject(const std::string& path) override;
    void showModified(bool modified) override;
    void projectReplaced() override;
    void projectSaved() override;
    void showMissingPictures() override;
    void showMissingPictures(const std::vector<int>& missing);
    bool showPictureCacheNotice();
    void markMissingPicturesOfOpenedProject();
    void showSaved(const std::string& folder, const std::string& fileName) override;
    // Editing aids (TMainFormAids.cpp).
    void connectEditingAids();
    void pickLink();
    void pickPicture();
    void importChosenPictures();
    int importPicture(int parentPosition, const QString& path);
    void finishImport(int firstImported, const SkippedFiles& skipped);
    void showNewNode(int position);
    bool treeDragEvent(QEvent* event);
    void importDroppedFiles(const QList<QUrl>& urls);
    void explainRefusedText(QLineEdit* edit, const TextRefusal& reason);
    // Help (TMainFormHelp.cpp).
    void connectHelp();
    void showHelpPage(QObject* sender);

    Prompts& m_prompts;
    Publisher& m_publisher;
    const Places& m_places;
    BrowserServices& m_browsers;
    TkvlAppletAgent m_project;

    CommandControls m_controls;
    ItemTreeWidget* m_tree;
    ParameterPages* m_pages;
    QLabel* m_hint;
    QProgressBar* m_progressBar;
    QPushButton* m_cancelWork; // beside the bar while the work can be stopped
    TformHTML* m_htmlHolder;
    // A window of its own, not a child: it must not stay above this one.
    std::unique_ptr<TfrmHelp> m_help;

    TreeWidgetItemTree m_itemTree;
    ItemTreeKeeper m_keeper;
    MainFormProgressView m_progress;
    ProjectCommands m_commands;
#ifdef VESKARO_WINDOW_UPLOAD
    void storeOptionsAsStep(const ProjectOptions& options);
    MemorySecretStore m_windowSecrets;
    UploadServices m_windowUploadServices{m_windowSecrets};
    UploadServices* m_uploadServices = &m_windowUploadServices;
#endif
    // The item node whose values the page "Item General" shows; none while the root's pages show.
    QTreeWidgetItem* m_shownItemNode = nullptr;
    // Set while the tree is emptied or filled by a load, when its handlers have nothing to follow.
    bool m_treeRebuilding = false;
};

} // namespace veskaro
