#pragma once

#include "model/TkvlAppletAgent.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace veskaro {

struct BrowserServices;
class ColorPanel;
class MainFormProgressView;
class ProjectPublisher;
class Prompts;
class TformHTML;
class TfrmHelp;
class TreeWidgetItemTree;

/// The designer window: the item tree, the parameter pages, menus, tool bar, hint line and progress bar.
/// It owns the one project and keeps the tree and the project's items in step.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the window and runs its creation steps; errors of those steps are shown through prompts
    /// and leave the window as far as it got.
    TMainForm(Prompts& prompts, ProjectPublisher& publisher, BrowserServices& browsers, QWidget* parent = nullptr);
    ~TMainForm() override;

    TkvlAppletAgent& project() { return m_project; }
    /// Returns the item tree as the core sees it.
    TreeWidgetItemTree& itemTree() { return *m_itemTree; }
    /// Returns where long work shows its progress.
    MainFormProgressView& progressView() { return *m_progress; }
    /// Returns the help window, which lives as long as this window.
    TfrmHelp& helpWindow() { return *m_help; }

    bool Modified() const { return m_modified; }
    /// Sets the modified state, and with it the enabled state of "Save" and its tool button.
    void setModified(bool modified);
    const std::string& ProjectFileName() const { return m_projectFileName; }
    void setProjectFileName(const std::string& fileName) { m_projectFileName = fileName; }

    // Transfers between the controls and the project.
    void ScriptParamsFromWindow();
    void ScriptParamsToWindow();
    void ItemFromWindow(int index);
    void ItemToWindow(int index);
    /// Takes the pages into the project as a save does: the script parameters, and the item last shown.
    void storePagesIntoProject();
    /// Saves and publishes to a project path (folder and file name) through the publisher.
    void SaveAndPublishTo(const std::string& path);

    // Project commands of the "File" menu and the tool bar.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Save2Click();
    /// Opens a project by name, for the command line and the recent-files list; empty text opens nothing.
    void OpenProjectFile(const std::string& fileName);
    /// Opens the project named on the command line without asking about changes. An error of the open
    /// is dropped: the program simply starts with what the open left; the open's own messages still show.
    void openCommandLineFile(const std::string& fileName);

    // The recent-files list and its submenu.
    void RebuildRecentFilesMenu();
    void AddRecentFile(const std::string& fileName);
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
    void trvwDesignPanelChange();
    void trvwDesignPanelMouseDown();
    void RefreshItemCommands();
    void ArrangePages();
    /// Takes the pages into the project and builds its page into the HTML holder; false, after telling
    /// the user, when there is no item to build.
    bool BuildHTML();
    void Preview1Click();
    void WebBrowser1Click();
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
    // Building the window (TMainFormLayout.cpp).
    void buildWindow();
    void buildMenus();
    void buildToolBar();
    QWidget* buildTreePanel();
    QTabWidget* buildPages();
    QWidget* buildScriptPage();
    QWidget* buildItemPage();
    QWidget* buildPathPage();
    void buildStatusStrip();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption);
    QToolButton* addToolButton(const char* name, const QIcon& icon, const QString& hint);
    QToolButton* helpButton(const char* name, int tag);

    // Behaviour (TMainForm.cpp).
    void FormCreate();
    bool FormCloseQuery();
    void connectHandlers();
    void connectCommand(QAction* action, void (TMainForm::*handler)());
    void connectCommand(QAbstractButton* button, void (TMainForm::*handler)());
    void watchHint(QWidget* control);
    void showTreeContextMenu(const QPoint& position);
    void deleteSelectedSubtree();
    void moveSubtreeBefore(QTreeWidgetItem* node, QTreeWidgetItem* before);
    void moveNodeBefore(QTreeWidgetItem* node, QTreeWidgetItem* before);
    /// Shows the picture of the image path in the preview, or hides the preview when there is no such
    /// file; returns the reader's error for a file that cannot be read as a picture, else empty text.
    QString showPreviewImage();
    // Editing aids (TMainFormAids.cpp).
    void connectEditingAids();
    void appendItemNode(QTreeWidgetItem* parent, const QString& caption, TItemData record);
    bool rootSelected() const;
    void importPicture(const QString& path);
    bool treeDragEvent(QEvent* event);
    void importDroppedFiles(const QList<QUrl>& urls);
    void guardTextFields();
    void explainRefusedText(QLineEdit* edit);
    // Help (TMainFormHelp.cpp).
    void connectHelp();
    void clearPreviewFolder();
    // Project commands.
    enum class SaveDialogFolder { Documents, Unchanged };
    bool askToSaveFirst();
    bool saveProject(SaveDialogFolder folder);
    bool saveUnderChosenName(const QString& initialFolder);
    void startNewProject();
    void showRootOnly();
    void openProject(const std::string& path);
    void enableCommand(const char* popupEntry, const char* menuEntry, const char* toolButton, bool enabled);
    QWidget& boundControl(const char* name) const;
    template <typename Control> Control& child(const char* name) const;
    QTreeWidgetItem* selectedNode() const;

    Prompts& m_prompts;
    ProjectPublisher& m_publisher;
    BrowserServices& m_browsers;
    TkvlAppletAgent m_project;

    bool m_modified = false;
    std::string m_projectFileName;
    QTreeWidgetItem* m_currentItemNode = nullptr;
    bool m_treeRebuilding = false;
    static constexpr int kNoPage = -1;
    int m_lastPageIndex = kNoPage;

    QToolBar* m_toolBar = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_scriptPage = nullptr;
    QWidget* m_itemPage = nullptr;
    QWidget* m_pathPage = nullptr;
    QLabel* m_hint = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_preview = nullptr;
    QMenu* m_popupMenu = nullptr;
    TformHTML* m_htmlHolder = nullptr;
    TfrmHelp* m_help = nullptr;
    std::unique_ptr<TreeWidgetItemTree> m_itemTree;
    std::unique_ptr<MainFormProgressView> m_progress;
};

// Returns the control of the window with that object name; a missing one is a fault of the window itself.
template <typename Control> Control& TMainForm::child(const char* name) const {
    auto* found = findChild<Control*>(QLatin1String(name));
    if (!found)
        throw std::logic_error(std::string("The window has no control named ") + name + ".");
    return *found;
}

} // namespace veskaro
