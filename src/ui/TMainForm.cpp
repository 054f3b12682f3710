#include "ui/TMainForm.h"

#include "model/Folders.h"
#include "browse/RecentFileList.h"
#include "platform/FileAssociation.h"
#include "platform/ProgramFile.h"
#include "platform/SettingsStore.h"
#include "ui/BrowserServices.h"
#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/MainFormProgressView.h"
#include "ui/ParameterBinding.h"
#include "ui/ProjectPublisher.h"
#include "ui/Prompts.h"
#include "ui/RunCommand.h"
#include "ui/SpinEdit.h"
#include "ui/TformHTML.h"
#include "ui/TfrmHelp.h"
#include "ui/TreeWidgetItemTree.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

namespace veskaro {

namespace {

const QString kProjectFilter = QStringLiteral("Veskaro Files (*.vsk)");

// The controls whose edits mark the project modified, by kind.
constexpr const char* kChangeEdits[] = {names::pSliderName, names::edt_IToolTip, names::InternalUse_RootDir_Local,
                                        names::InternalUse_RootDir_Remote};
constexpr const char* kChangeSpinEdits[] = {names::sliderWidth,  names::sliderHeight,   names::navBtnVerticalOffset,
                                            names::transDurAuto, names::transDurManual, names::switchImageDelay};
constexpr const char* kChangeCombos[] = {names::cmbx_ILink, names::cmbx_ITarget};

// The controls that show their hint in the hint line when the mouse passes over them; the others of
// them have none and empty the line.
constexpr const char* kHintControls[] = {names::tbshtScript,
                                         names::sliderWidth,
                                         names::sliderHeight,
                                         names::navBtnVerticalOffset,
                                         names::navBtnTextColorNormal,
                                         names::navBtnBgColorNormal,
                                         names::navBtnTextColorHover,
                                         names::navBtnBgColorHover,
                                         names::navBtnTextColorActive,
                                         names::navBtnBgColorActive,
                                         names::navBtnTextColorActiveHover,
                                         names::navBtnBgColorActiveHover,
                                         names::transDurAuto,
                                         names::transDurManual,
                                         names::switchImageDelay,
                                         names::GroupBox7,
                                         names::spdbtnItURL,
                                         names::edt_IToolTip,
                                         names::spdbtnOriginalImagePath,
                                         names::pnlTreeView,
                                         names::trvwDesignPanel,
                                         names::tlbtnNew,
                                         names::tlbtnOpen,
                                         names::tlbtnSave,
                                         names::tlbtnInsert,
                                         names::tlbtnDelete,
                                         names::tlbtnMoveUp,
                                         names::tlbtnMoveDown,
                                         names::tlbtnPreview,
                                         names::tlbtnHelp};

// The nodes of a subtree that are expanded, the top node included.
QList<QTreeWidgetItem*> expandedNodes(QTreeWidgetItem* top) {
    QList<QTreeWidgetItem*> expanded;
    if (top->isExpanded())
        expanded.append(top);
    for (int i = 0; i < top->childCount(); ++i)
        expanded.append(expandedNodes(top->child(i)));
    return expanded;
}

QTreeWidgetItem* previousSibling(QTreeWidgetItem* node) {
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : -1;
    return index > 0 ? parent->child(index - 1) : nullptr;
}

QTreeWidgetItem* nextSibling(QTreeWidgetItem* node) {
    QTreeWidgetItem* parent = node->parent();
    const int index = parent ? parent->indexOfChild(node) : -1;
    return index >= 0 && index + 1 < parent->childCount() ? parent->child(index + 1) : nullptr;
}

} // namespace

TMainForm::TMainForm(Prompts& prompts, ProjectPublisher& publisher, BrowserServices& browsers, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_publisher(publisher), m_browsers(browsers) {
    buildWindow();
    // The holder of the built page lives as long as the window and is never shown.
    m_htmlHolder = new TformHTML(this);
    // The help window too is made once, hidden, and shown by the help buttons.
    m_help = new TfrmHelp(m_browsers.shell, this);
    m_itemTree = std::make_unique<TreeWidgetItemTree>(*m_tree, treeIcon(TreeImage::Item));
    m_progress = std::make_unique<MainFormProgressView>(*m_hint, *m_progressBar);
    connectHandlers();
    runCommand([this] { FormCreate(); });
}

TMainForm::~TMainForm() {
    // The controls die after this part of the window; none of them may call back into it meanwhile.
    for (QObject* control : findChildren<QObject*>()) {
        disconnect(control, nullptr, this, nullptr);
        control->removeEventFilter(this);
    }
}

void TMainForm::FormCreate() {
    startNewProject();
    setWindowTitle(QStringLiteral("Veskaro"));
    RegisterFileAssociation(*openSystemSettingsStore(), programFilePath());
    RebuildRecentFilesMenu();
}

void TMainForm::connectHandlers() {
    for (const char* name : kChangeEdits)
        connect(&child<QLineEdit>(name), &QLineEdit::textChanged, this, &TMainForm::spnedtApWidthChange);
    for (const char* name : kChangeSpinEdits)
        connect(&child<SpinEdit>(name), &SpinEdit::changed, this, &TMainForm::spnedtApWidthChange);
    for (const char* name : kChangeCombos)
        connect(&child<QComboBox>(name), &QComboBox::editTextChanged, this, &TMainForm::spnedtApWidthChange);
    for (const char* name : kHintControls)
        watchHint(&child<QWidget>(name));

    connectCommand(&child<QAction>(names::New1), &TMainForm::New1Click);
    connectCommand(&child<QAction>(names::Open1), &TMainForm::Open1Click);
    connectCommand(&child<QAction>(names::Save1), &TMainForm::Save1Click);
    connectCommand(&child<QAction>(names::Save2), &TMainForm::Save2Click);
    connectCommand(&child<QToolButton>(names::tlbtnNew), &TMainForm::New1Click);
    connectCommand(&child<QToolButton>(names::tlbtnOpen), &TMainForm::Open1Click);
    connectCommand(&child<QToolButton>(names::tlbtnSave), &TMainForm::Save1Click);
    connectCommand(&child<QAction>(names::ToolBar1), &TMainForm::ToolBar1Click);
    connectCommand(&child<QAction>(names::StatusBar2), &TMainForm::StatusBar2Click);
    connectCommand(&child<QAction>(names::Exit1), &TMainForm::Exit1Click);
    for (const char* name : {names::Insert1, names::Insert2})
        connectCommand(&child<QAction>(name), &TMainForm::Insert1Click);
    for (const char* name : {names::Delete1, names::Delete2})
        connectCommand(&child<QAction>(name), &TMainForm::Delete1Click);
    for (const char* name : {names::MoveUp1, names::MoveUp2})
        connectCommand(&child<QAction>(name), &TMainForm::MoveUp1Click);
    for (const char* name : {names::MoveDown1, names::MoveDown2})
        connectCommand(&child<QAction>(name), &TMainForm::MoveDown1Click);
    connectCommand(&child<QToolButton>(names::tlbtnInsert), &TMainForm::Insert1Click);
    connectCommand(&child<QToolButton>(names::tlbtnDelete), &TMainForm::Delete1Click);
    connectCommand(&child<QToolButton>(names::tlbtnMoveUp), &TMainForm::MoveUp1Click);
    connectCommand(&child<QToolButton>(names::tlbtnMoveDown), &TMainForm::MoveDown1Click);
    connectCommand(&child<QAction>(names::Preview1), &TMainForm::Preview1Click);
    connectCommand(&child<QToolButton>(names::tlbtnPreview), &TMainForm::Preview1Click);
    connectCommand(&child<QAction>(names::WebBrowser1), &TMainForm::WebBrowser1Click);
    connectEditingAids();
    connectHelp();

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { runCommand([this] { trvwDesignPanelChange(); }); });
    connect(m_tree, &QTreeWidget::itemPressed, this, [this] { runCommand([this] { trvwDesignPanelMouseDown(); }); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { runCommand([this, position] { showTreeContextMenu(position); }); });
}

void TMainForm::connectCommand(QAction* action, void (TMainForm::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void TMainForm::connectCommand(QAbstractButton* button, void (TMainForm::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void TMainForm::runCommand(const std::function<void()>& command) {
    veskaro::runCommand(m_prompts, command);
}

void TMainForm::setModified(bool modified) {
    m_modified = modified;
    child<QAction>(names::Save1).setEnabled(modified);
    child<QToolButton>(names::tlbtnSave).setEnabled(modified);
}

// --- Transfers between the controls and the project ---

QWidget& TMainForm::boundControl(const char* name) const {
    return child<QWidget>(name);
}

void TMainForm::ScriptParamsFromWindow() {
    TAppletData parameters;
    for (const auto& binding : kScriptBinding)
        parameters.*binding.field = ControlToText(boundControl(binding.control));
    m_project.SetAppletData(parameters);
}

void TMainForm::ScriptParamsToWindow() {
    const TAppletData parameters = m_project.GetAppletData();
    for (const auto& binding : kScriptBinding)
        TextToControl(parameters.*binding.field, boundControl(binding.control));
}

void TMainForm::ItemFromWindow(int index) {
    TItemData item;
    for (const auto& binding : kItemBinding)
        item.*binding.field = ControlToText(boundControl(binding.control));
    m_project.SetItem(item, index);
}

void TMainForm::ItemToWindow(int index) {
    const TItemData item = m_project.GetItem(index);
    for (const auto& binding : kItemBinding)
        TextToControl(item.*binding.field, boundControl(binding.control));
}

void TMainForm::storePagesIntoProject() {
    ScriptParamsFromWindow();
    if (m_currentItemNode)
        ItemFromWindow(m_itemTree->absoluteIndex(m_currentItemNode) - 1);
}

void TMainForm::SaveAndPublishTo(const std::string& path) {
    const std::filesystem::path file(path);
    m_publisher.SaveAndPublish(m_project, *m_itemTree, *m_progress, (file.parent_path() / "").string(),
                               file.filename().string());
}

void TMainForm::clearPreviewFolder() {
    m_publisher.ClearPreviewFolder(m_project);
}

// --- Modified state, hint line, view toggles, closing ---

void TMainForm::spnedtApWidthChange() {
    setModified(true);
}

void TMainForm::spnedtApWidthMouseMove(QWidget* sender) {
    if (!m_treeRebuilding)
        m_hint->setText(sender->toolTip());
}

void TMainForm::watchHint(QWidget* control) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // Mouse events over a tree arrive at its viewport.
    if (auto* tree = qobject_cast<QAbstractScrollArea*>(control)) {
        tree->viewport()->setMouseTracking(true);
        tree->viewport()->installEventFilter(this);
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree->viewport() && treeDragEvent(event))
        return true;
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        auto* control = qobject_cast<QWidget*>(watched);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control->parentWidget());
            area && area->viewport() == control)
            control = area;
        spnedtApWidthMouseMove(control);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ToolBar1Click() {
    m_toolBar->setVisible(child<QAction>(names::ToolBar1).isChecked());
}

void TMainForm::StatusBar2Click() {
    const bool shown = child<QAction>(names::StatusBar2).isChecked();
    m_hint->setVisible(shown);
    m_progressBar->setVisible(shown);
    statusBar()->setVisible(shown);
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A close request that arrives while long work runs waits for nothing: the work must finish first.
    if (m_progress->busy()) {
        event->ignore();
        return;
    }
    bool canClose = false;
    runCommand([this, &canClose] { canClose = FormCloseQuery(); });
    event->setAccepted(canClose);
}

bool TMainForm::FormCloseQuery() {
    if (!m_modified) {
        clearPreviewFolder();
        return true;
    }
    const PromptAnswer answer = m_prompts.showMessage(PromptIcon::Warning, tr("Save changes to files before Exit?"),
                                                      PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel || answer == PromptAnswer::No) {
        clearPreviewFolder();
        return answer == PromptAnswer::No;
    }
    // The dialog keeps the folder an earlier Save or Save As gave it.
    const bool saved = saveProject(SaveDialogFolder::Unchanged);
    clearPreviewFolder();
    return saved;
}

// --- Project commands ---

void TMainForm::New1Click() {
    if (!askToSaveFirst())
        return;
    clearPreviewFolder();
    startNewProject();
}

void TMainForm::Open1Click() {
    if (!askToSaveFirst())
        return;
    clearPreviewFolder();
    const QString chosen = m_prompts.chooseOpenFile(kProjectFilter, QString::fromLocal8Bit(GetDocumentsFolder()));
    if (!chosen.isEmpty())
        openProject(chosen.toLocal8Bit().toStdString());
}

void TMainForm::OpenProjectFile(const std::string& fileName) {
    if (fileName.empty() || !askToSaveFirst())
        return;
    clearPreviewFolder();
    openProject(fileName);
}

void TMainForm::openCommandLineFile(const std::string& fileName) {
    if (fileName.empty())
        return;
    setModified(false);
    try {
        OpenProjectFile(fileName);
    } catch (const std::exception&) {
        // A project that cannot be read at start is not worth a message: the program starts without it.
    }
}

void TMainForm::Save1Click() {
    saveProject(SaveDialogFolder::Documents);
}

void TMainForm::Save2Click() {
    storePagesIntoProject();
    saveUnderChosenName(QString::fromLocal8Bit(GetDocumentsFolder()));
}

// Asks whether to save a modified project first, and tells whether the command may go on. A save that is
// cancelled in its dialog or fails cancels the command too, so that no change is lost.
bool TMainForm::askToSaveFirst() {
    if (!m_modified)
        return true;
    switch (m_prompts.showMessage(PromptIcon::Warning, tr("Save changes to files?"), PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return saveProject(SaveDialogFolder::Documents);
    case PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

// Saves to the project file, or asks for one when there is none yet; tells whether it saved.
bool TMainForm::saveProject(SaveDialogFolder folder) {
    storePagesIntoProject();
    if (m_projectFileName.empty())
        return saveUnderChosenName(folder == SaveDialogFolder::Documents ? QString::fromLocal8Bit(GetDocumentsFolder())
                                                                         : QString());
    SaveAndPublishTo(m_projectFileName);
    setModified(false);
    return true;
}

// The path is kept as the dialog gives it: a name typed without an extension stays without one.
bool TMainForm::saveUnderChosenName(const QString& initialFolder) {
    const QString chosen = m_prompts.chooseSaveFile(kProjectFilter, initialFolder);
    if (chosen.isEmpty())
        return false;
    const std::string path = chosen.toLocal8Bit().toStdString();
    SaveAndPublishTo(path);
    setModified(false);
    m_projectFileName = path;
    return true;
}

void TMainForm::startNewProject() {
    m_projectFileName.clear();
    showRootOnly();
    m_project.SetDefaults();
    ScriptParamsToWindow();
    setModified(false);
}

// Leaves the tree with its root alone, selected, and the pages arranged afresh for it.
void TMainForm::showRootOnly() {
    m_currentItemNode = nullptr;
    m_treeRebuilding = true;
    m_tree->clear();
    m_treeRebuilding = false;
    auto* root = new QTreeWidgetItem(m_tree, QStringList{QStringLiteral("Veskaro")});
    root->setIcon(0, treeIcon(TreeImage::Root));
    m_lastPageIndex = kNoPage;
    m_tree->setCurrentItem(root);
    RefreshItemCommands();
}

// Reads a project into the window. Whatever goes wrong, tree and item list agree afterwards: a file that
// cannot be read, or one of another product, leaves a clean new project that no Save writes over that file.
void TMainForm::openProject(const std::string& path) {
    showRootOnly();
    LoadOutcome outcome = LoadOutcome::Loaded;
    m_treeRebuilding = true;
    try {
        outcome = m_project.LoadFromFile(path, *m_itemTree, *m_progress);
    } catch (...) {
        startNewProject();
        throw;
    }
    m_treeRebuilding = false;
    if (outcome == LoadOutcome::NotOurs) {
        m_prompts.showMessage(PromptIcon::Error, QString::fromLocal8Bit(kForeignProjectMessage), PromptButtons::Ok);
        startNewProject();
    } else {
        ScriptParamsToWindow();
        m_projectFileName = path;
        setModified(false);
        m_project.CopyResourceFilesToPreview((std::filesystem::path(path).parent_path() / "").string(), *m_progress);
    }
    // Last, so that a list that cannot be written leaves a project that is open in full.
    AddRecentFile(path);
}

// --- Recent files ---

void TMainForm::RebuildRecentFilesMenu() {
    const RecentFileSlots lines = ReadRecentFileList();
    auto& menu = child<QMenu>(names::mnitRecentFiles);
    // An entry may be the one whose click is running now: it goes once that click is over.
    for (QAction* entry : menu.actions()) {
        menu.removeAction(entry);
        entry->deleteLater();
    }
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        QAction* entry = menu.addAction(QString::fromLocal8Bit(line));
        // The bytes of the line, which a caption in the system's encoding may not give back unchanged.
        entry->setData(QByteArray::fromStdString(line));
        connect(entry, &QAction::triggered, this,
                [this, entry] { runCommand([this, entry] { RecentFileClick(entry); }); });
    }
}

void TMainForm::AddRecentFile(const std::string& fileName) {
    if (AddToRecentFileList(fileName))
        RebuildRecentFilesMenu();
}

void TMainForm::RecentFileClick(const QAction* sender) {
    OpenProjectFile(RecentFilePath(sender->data().toByteArray().toStdString()));
}

// --- The item tree ---

QTreeWidgetItem* TMainForm::selectedNode() const {
    return m_tree->currentItem();
}

void TMainForm::trvwDesignPanelChange() {
    QTreeWidgetItem* selected = selectedNode();
    if (m_treeRebuilding || !selected)
        return;
    const int index = m_itemTree->absoluteIndex(selected);
    ArrangePages();
    if (m_currentItemNode)
        ItemFromWindow(m_itemTree->absoluteIndex(m_currentItemNode) - 1);
    if (index == 0) {
        // The commands follow the selection however it moved, by mouse or by keyboard.
        RefreshItemCommands();
        return;
    }
    if (selected != m_currentItemNode) {
        m_currentItemNode = selected;
        ItemToWindow(index - 1);
    }
    RefreshItemCommands();
    spnedtApWidthChange();
    showPreviewImage();
}

void TMainForm::trvwDesignPanelMouseDown() {
    QTreeWidgetItem* selected = selectedNode();
    if (m_treeRebuilding || !selected)
        return;
    selected->setSelected(true);
    RefreshItemCommands();
}

void TMainForm::showTreeContextMenu(const QPoint& position) {
    if (QTreeWidgetItem* node = m_tree->itemAt(position))
        m_tree->setCurrentItem(node);
    trvwDesignPanelMouseDown();
    m_popupMenu->popup(m_tree->viewport()->mapToGlobal(position));
}

void TMainForm::enableCommand(const char* popupEntry, const char* menuEntry, const char* toolButton, bool enabled) {
    child<QAction>(popupEntry).setEnabled(enabled);
    child<QAction>(menuEntry).setEnabled(enabled);
    child<QToolButton>(toolButton).setEnabled(enabled);
}

void TMainForm::RefreshItemCommands() {
    QTreeWidgetItem* selected = selectedNode();
    const bool onRoot = !selected || m_itemTree->absoluteIndex(selected) == 0;
    enableCommand(names::Insert1, names::Insert2, names::tlbtnInsert, onRoot);
    enableCommand(names::Delete1, names::Delete2, names::tlbtnDelete, !onRoot);
    enableCommand(names::MoveUp1, names::MoveUp2, names::tlbtnMoveUp, !onRoot && previousSibling(selected));
    enableCommand(names::MoveDown1, names::MoveDown2, names::tlbtnMoveDown, !onRoot && nextSibling(selected));
    child<QWidget>(names::btnBatchImportImgs).setEnabled(onRoot);
    ArrangePages();
}

void TMainForm::ArrangePages() {
    const QTreeWidgetItem* selected = selectedNode();
    if (!selected)
        return;
    const int index = m_itemTree->absoluteIndex(selected);
    // Moving between two items keeps the pages, so a tab chosen by hand stays in front.
    if (m_lastPageIndex != kNoPage && (index == 0) == (m_lastPageIndex == 0))
        return;
    const bool onRoot = index == 0;
    const int scriptTab = m_pages->indexOf(m_scriptPage);
    const int itemTab = m_pages->indexOf(m_itemPage);
    const int pathTab = m_pages->indexOf(m_pathPage);
    m_pages->setTabVisible(onRoot ? scriptTab : itemTab, true);
    m_pages->setTabVisible(pathTab, onRoot);
    m_pages->setCurrentIndex(onRoot ? scriptTab : itemTab);
    m_pages->setTabVisible(onRoot ? itemTab : scriptTab, false);
    m_lastPageIndex = index;
}

void TMainForm::Insert1Click() {
    spnedtApWidthChange();
    QTreeWidgetItem* parent = selectedNode();
    if (!parent)
        return;
    appendItemNode(parent, QStringLiteral("Image"), TkvlAppletAgent::DefaultItem());
    RefreshItemCommands();
}

void TMainForm::Delete1Click() {
    spnedtApWidthChange();
    QTreeWidgetItem* selected = selectedNode();
    if (!selected)
        return;
    if (m_itemTree->absoluteIndex(selected) == 0) {
        m_prompts.showMessage(PromptIcon::Error, tr("Root item cannot be deleted."), PromptButtons::Ok);
        return;
    }
    if (m_prompts.showMessage(PromptIcon::Warning, tr("Are you sure to delete this item and all its children?"),
                              PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    const int first = m_itemTree->absoluteIndex(selected) - 1;
    const int count = 1 + TreeWidgetItemTree::CountDescendants(selected);
    for (int i = 0; i < count; ++i)
        m_project.DeleteItem(first);
    m_currentItemNode = nullptr;
    deleteSelectedSubtree();
    RefreshItemCommands();
}

void TMainForm::deleteSelectedSubtree() {
    QTreeWidgetItem* selected = selectedNode();
    QTreeWidgetItem* parent = selected->parent();
    {
        // The tree moves its selection while the node is still in it; the handler runs once it is gone,
        // so that positions in the tree and in the item list agree.
        const QSignalBlocker blocker(m_tree);
        delete selected;
        m_tree->setCurrentItem(m_tree->currentItem() ? m_tree->currentItem() : parent);
    }
    trvwDesignPanelChange();
}

void TMainForm::MoveUp1Click() {
    spnedtApWidthChange();
    QTreeWidgetItem* selected = selectedNode();
    if (QTreeWidgetItem* previous = selected ? previousSibling(selected) : nullptr)
        moveSubtreeBefore(selected, previous);
    RefreshItemCommands();
}

void TMainForm::MoveDown1Click() {
    spnedtApWidthChange();
    QTreeWidgetItem* selected = selectedNode();
    if (QTreeWidgetItem* next = selected ? nextSibling(selected) : nullptr)
        moveSubtreeBefore(next, selected);
    RefreshItemCommands();
}

void TMainForm::moveSubtreeBefore(QTreeWidgetItem* node, QTreeWidgetItem* before) {
    int start = m_itemTree->absoluteIndex(node) - 1;
    const int nodeRun = TreeWidgetItemTree::CountDescendants(node) + 1;
    const int beforeRun = TreeWidgetItemTree::CountDescendants(before) + 1;
    // Each item of the node's run is carried past the whole run before it, one place at a time.
    for (int moved = 0; moved < nodeRun; ++moved, ++start)
        for (int step = 0; step < beforeRun; ++step)
            m_project.SwapWithPrevious(start - step);
    moveNodeBefore(node, before);
}

void TMainForm::moveNodeBefore(QTreeWidgetItem* node, QTreeWidgetItem* before) {
    // The selection stays where it is and the selection handler does not run.
    const QSignalBlocker blocker(m_tree);
    QTreeWidgetItem* selected = selectedNode();
    const QList<QTreeWidgetItem*> expanded = expandedNodes(node);
    QTreeWidgetItem* parent = node->parent();
    parent->takeChild(parent->indexOfChild(node));
    parent->insertChild(parent->indexOfChild(before), node);
    for (QTreeWidgetItem* open : expanded)
        open->setExpanded(true);
    parent->setExpanded(true);
    m_tree->setCurrentItem(selected);
}

QString TMainForm::showPreviewImage() {
    const QString path = child<QLineEdit>(names::edtOriginalImagePath).text();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_preview->hide();
        return {};
    }
    // Decoded straight to the preview's size: a large photograph never sits in memory whole.
    QImageReader reader(path);
    const qreal ratio = m_preview->devicePixelRatioF();
    reader.setScaledSize(m_preview->size() * ratio);
    const QImage image = reader.read();
    m_preview->show();
    if (image.isNull()) {
        m_preview->setPixmap({});
        m_preview->setText(tr("This picture cannot be shown."));
        return reader.errorString();
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(ratio);
    m_preview->setPixmap(picture);
    return {};
}

} // namespace veskaro
