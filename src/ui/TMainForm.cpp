#include "ui/TMainForm.h"

#include "browse/RecentFileList.h"
#include "model/PlainItemTree.h"
#include "model/ValueText.h"
#include "platform/FileAssociation.h"
#include "platform/Places.h"
#include "ui/BrowserServices.h"
#include "ui/ColorPanel.h"
#include "ui/ControlNames.h"
#include "ui/Icons.h"
#include "ui/ParameterPages.h"
#include "ui/Prompts.h"
#include "ui/RunCommand.h"
#include "ui/SpinEdit.h"
#include "ui/TformHTML.h"
#include "ui/TfrmHelp.h"
#include "ui/Utf8Text.h"
#include "ui/WidgetNaming.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <optional>
#include <utility>
#include <vector>

namespace veskaro {

namespace {

// The name of a kind of step, as the undo and redo entries show it.
QString stepCaption(EditStep kind) {
    switch (kind) {
    case EditStep::Insert:
        return TMainForm::tr("Insert");
    case EditStep::Delete:
        return TMainForm::tr("Delete");
    case EditStep::MoveUp:
        return TMainForm::tr("Move Up");
    case EditStep::MoveDown:
        return TMainForm::tr("Move Down");
    case EditStep::Duplicate:
        return TMainForm::tr("Duplicate");
    case EditStep::Move:
        return TMainForm::tr("Move");
    case EditStep::Typing:
        return TMainForm::tr("Typing");
    case EditStep::NumberChange:
        return TMainForm::tr("Number Change");
    case EditStep::OptionChange:
        return TMainForm::tr("Option Change");
    case EditStep::ColorChange:
        return TMainForm::tr("Colour Change");
    case EditStep::LinkPick:
        return TMainForm::tr("Link Pick");
    case EditStep::PicturePick:
        return TMainForm::tr("Picture Pick");
    case EditStep::PictureImport:
        return TMainForm::tr("Picture Import");
    }
    return {};
}

} // namespace

TMainForm::TMainForm(Prompts& prompts, Publisher& publisher, const Places& places, BrowserServices& browsers,
                     QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_publisher(publisher), m_places(places), m_browsers(browsers),
      m_controls(*this), m_tree(named(new ItemTreeWidget, names::trvwDesignPanel)), m_pages(new ParameterPages),
      m_hint(named(new QLabel, names::stctxtHint)),
      m_progressBar(named(new QProgressBar, names::prgrsbrMainFormBottom)),
      m_cancelWork(named(new QPushButton(tr("Cancel")), names::btnCancelWork)),
      // The holder of the built page lives as long as the window and is never shown.
      m_htmlHolder(new TformHTML(this)),
      // The help window too is made once, hidden, and shown by the help buttons.
      m_help(std::make_unique<TfrmHelp>(browsers.shell)), m_itemTree(*m_tree, treeIcon(TreeImage::Item)),
      m_keeper(m_project, m_itemTree), m_progress(*m_hint, *m_progressBar, *m_cancelWork),
      m_commands(prompts, publisher, m_project, m_itemTree, m_progress, *this) {
    buildWindow();
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
    m_commands.startNewProject();
    setWindowTitle(QStringLiteral("Veskaro"));
    RegisterFileAssociation(m_browsers.settings, m_places.programFile());
    RebuildRecentFilesMenu();
}

void TMainForm::connectHandlers() {
    // Every bound control takes part, the switches of the Path page and the image path too, which the
    // fixed rule leaves out: their values are saved with the project, and a change left unmarked would be
    // lost without a question on closing. The user's edit is recorded before the change is reported, so
    // that the modified state can follow the history.
    connect(m_pages, &ParameterPages::editedByUser, this,
            [this](QWidget* control) { runCommand([this, control] { recordPageEdit(control); }); });
    connect(m_pages, &ParameterPages::edited, this, &TMainForm::spnedtApWidthChange);
    for (QWidget* control : m_pages->hintControls())
        watchHint(control);
    for (QWidget* button : m_controls.toolButtons)
        watchHint(button);
    m_tree->installEventFilter(this);

    connectCommand(m_controls.newProject, &TMainForm::New1Click);
    connectCommand(m_controls.open, &TMainForm::Open1Click);
    connectCommand(m_controls.save, &TMainForm::Save1Click);
    connectCommand(m_controls.saveAs, &TMainForm::Save2Click);
#ifdef VESKARO_WINDOW_UPLOAD
    connectCommand(m_controls.upload, &TMainForm::Upload1Click);
#endif
    connectCommand(CommandEntries{m_controls.toolBarShown}, &TMainForm::ToolBar1Click);
    connectCommand(CommandEntries{m_controls.statusBarShown}, &TMainForm::StatusBar2Click);
    connectCommand(m_controls.exit, &TMainForm::Exit1Click);
    connectCommand(m_controls.insert, &TMainForm::Insert1Click);
    connectCommand(m_controls.remove, &TMainForm::Delete1Click);
    connectCommand(m_controls.moveUp, &TMainForm::MoveUp1Click);
    connectCommand(m_controls.moveDown, &TMainForm::MoveDown1Click);
    connectCommand(m_controls.duplicate, &TMainForm::Duplicate1Click);
    connectCommand(m_controls.moveIn, &TMainForm::moveSelectedItemIn);
    connectCommand(m_controls.moveOut, &TMainForm::moveSelectedItemOut);
    connectCommand(m_controls.undo, &TMainForm::Undo1Click);
    connectCommand(m_controls.redo, &TMainForm::Redo1Click);
    connectCommand(m_controls.preview, &TMainForm::Preview1Click);
    connectCommand(m_controls.copyEmbedCode, &TMainForm::copyEmbedCode);
    connectCommand(m_controls.webBrowser, &TMainForm::WebBrowser1Click);
    connectCommand(m_controls.clearPictureCache, &TMainForm::ClearPictureCache1Click);
    connectEditingAids();
    connectHelp();

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { runCommand([this] { trvwDesignPanelChange(); }); });
    connect(m_tree, &QTreeWidget::itemPressed, this, [this] { runCommand([this] { trvwDesignPanelMouseDown(); }); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { runCommand([this, position] { showTreeContextMenu(position); }); });
    m_tree->setPlacement(
        [this](QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement) { return canPlace(node, placement); },
        [this](QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement) {
            runCommand([this, node, placement] { moveDroppedNode(node, placement); });
        });
}

void TMainForm::connectCommand(const CommandEntries& entries, void (TMainForm::*handler)()) {
    entries.connectTo(this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void TMainForm::connectCommand(QAbstractButton* button, void (TMainForm::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
}

void TMainForm::runCommand(const std::function<void()>& command) {
    veskaro::runCommand(m_prompts, command);
    // Whatever the command did, and however far it got, the undo entries name the steps now at hand and
    // "Save" tells whether there is anything to save.
    refreshUndoCommands();
    refreshModified();
}

// --- Transfers between the controls and the project ---

void TMainForm::ScriptParamsFromWindow() {
    m_project.SetAppletData(m_pages->scriptParams());
    m_project.setOptions(m_pages->options(m_project.options()));
}

void TMainForm::ScriptParamsToWindow() {
    m_pages->showScriptParams(m_project.GetAppletData());
    m_pages->showOptions(m_project.options());
}

void TMainForm::ItemFromWindow(int index) {
    // The page shows four of the item's values; the others, such as the picture publishing prepared for
    // it, stay: a slide whose source has gone keeps its earlier picture.
    m_project.SetItem(m_pages->item(m_project.GetItem(index)), index);
}

void TMainForm::ItemToWindow(int index) {
    m_pages->showItem(m_project.GetItem(index));
}

void TMainForm::storePagesIntoProject() {
    ScriptParamsFromWindow();
    if (m_shownItemNode)
        ItemFromWindow(m_itemTree.absoluteIndex(m_shownItemNode) - 1);
}

// --- Project commands ---

void TMainForm::New1Click() {
    m_commands.newProject();
}

void TMainForm::Open1Click() {
    m_commands.open();
}

void TMainForm::Save1Click() {
    m_commands.save();
}

void TMainForm::Save2Click() {
    m_commands.saveAs();
}

void TMainForm::OpenProjectFile(const std::string& fileName) {
    m_commands.openProjectFile(fileName);
}

void TMainForm::openCommandLineFile(const std::string& fileName) {
    m_commands.openCommandLineFile(fileName);
}

#ifdef VESKARO_WINDOW_UPLOAD
void TMainForm::Upload1Click() {
    m_keeper.finishEdit();
    WebServerUpload upload(m_prompts, m_project, m_progress, *m_uploadServices,
                           {[this] { return m_commands.askToSaveFirst(); },
                            [this] { return m_commands.ProjectFileName(); },
                            [this](const ProjectOptions& options) { storeOptionsAsStep(options); }});
    upload.run();
}

// The target the dialog keeps in the project is an edit like any other: Undo takes it back.
void TMainForm::storeOptionsAsStep(const ProjectOptions& options) {
    m_project.setOptions(options);
    m_keeper.recordEdit(EditStep::OptionChange);
    refreshModified();
}
#endif

bool TMainForm::FormCloseQuery() {
    return m_commands.closeQuery();
}

void TMainForm::showModified(bool modified) {
    m_controls.save.setEnabled(modified);
}

void TMainForm::projectReplaced() {
    markMissingPicturesOfOpenedProject();
    m_keeper.forgetHistory();
    refreshUndoCommands();
}

void TMainForm::projectSaved() {
    m_keeper.markSaved();
}

// Leaves the tree with its root alone, selected, and the pages arranged afresh for it.
void TMainForm::showRootOnly() {
    m_shownItemNode = nullptr;
    m_treeRebuilding = true;
    m_tree->clear();
    m_treeRebuilding = false;
    auto* root = new QTreeWidgetItem(m_tree, QStringList{QStringLiteral("Veskaro")});
    root->setIcon(0, treeIcon(TreeImage::Root));
    root->setFlags(root->flags() & ~Qt::ItemIsDragEnabled);
    m_pages->forgetArrangement();
    m_tree->setCurrentItem(root);
    RefreshItemCommands();
}

LoadOutcome TMainForm::loadProject(const std::string& path) {
    TkvlAppletAgent loaded;
    PlainItemTree nodes;
    const LoadOutcome outcome = loaded.LoadFromFile(path, nodes, m_progress);
    if (outcome != LoadOutcome::Loaded)
        return outcome;
    showRootOnly();
    m_treeRebuilding = true;
    m_itemTree.beginLoading();
    const auto rebuilt = qScopeGuard([this] {
        m_itemTree.endLoading();
        m_treeRebuilding = false;
    });
    // parents[level - 1] is the node below which the next node of that level goes.
    std::vector<int> parents{0};
    for (int position = 1; position < nodes.nodeCount(); ++position) {
        parents.resize(static_cast<std::size_t>(nodes.levelAt(position)));
        parents.push_back(m_itemTree.addChild(parents.back(), nodes.captionAt(position)));
    }
    m_project = std::move(loaded);
    return outcome;
}

// --- Recent files ---

void TMainForm::RebuildRecentFilesMenu() {
    const RecentFileSlots lines = readRecentFileList(m_places);
    QMenu* menu = m_controls.recentFiles;
    // An entry may be the one whose click is running now: it goes once that click is over.
    for (QAction* entry : menu->actions()) {
        menu->removeAction(entry);
        entry->deleteLater();
    }
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        QAction* entry = menu->addAction(fromUtf8Text(line));
        // The bytes of the line, which the caption gives back unchanged only when they are valid UTF-8.
        entry->setData(QByteArray::fromStdString(line));
        connect(entry, &QAction::triggered, this,
                [this, entry] { runCommand([this, entry] { RecentFileClick(entry); }); });
    }
}

void TMainForm::AddRecentFile(const std::string& fileName) {
    if (addToRecentFileList(m_places, fileName))
        RebuildRecentFilesMenu();
}

void TMainForm::RecentFileClick(const QAction* sender) {
    OpenProjectFile(recentFilePath(sender->data().toByteArray().toStdString()));
}

// --- Modified state, hint line, view toggles, closing ---

void TMainForm::spnedtApWidthChange() {
    refreshModified();
}

// The project has changes exactly when it differs from the state last saved or opened, which the history
// knows: an edit taken back by hand, or by Undo, leaves nothing to save, and merely selecting an item or
// cancelling a dialog changes nothing.
void TMainForm::refreshModified() {
    m_commands.setModified(!m_keeper.atSavedState());
}

void TMainForm::setModified(bool modified) {
    if (!modified)
        m_keeper.markSaved();
    m_commands.setModified(modified);
}

void TMainForm::spnedtApWidthMouseMove(QWidget* sender) {
    showHintOf(sender);
}

// While a command works, the hint line is its own: it tells how the work goes.
void TMainForm::showHintOf(const QWidget* control) {
    if (!m_treeRebuilding && !m_progress.busy())
        m_hint->setText(control->toolTip());
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
    if (watched == m_tree && event->type() == QEvent::KeyPress && treeKey(*static_cast<QKeyEvent*>(event)))
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
    m_controls.toolBar->setVisible(m_controls.toolBarShown->isChecked());
}

void TMainForm::StatusBar2Click() {
    showStatusStrip(m_controls.statusBarShown->isChecked());
}

void TMainForm::showStatusStrip(bool shown) {
    m_hint->setVisible(shown);
    m_progressBar->setVisible(shown);
    statusBar()->setVisible(shown);
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A close request that arrives while long work runs waits for nothing: the work must finish first.
    if (m_progress.busy()) {
        event->ignore();
        return;
    }
    bool canClose = false;
    runCommand([this, &canClose] { canClose = FormCloseQuery(); });
    event->setAccepted(canClose);
    // The help window has no owner that would take it along.
    if (canClose)
        m_help->close();
}

// --- The item tree ---

void TMainForm::trvwDesignPanelChange() {
    followSelection();
}

// Stores the page of the item shown until now, then shows the pages of the node now selected.
void TMainForm::followSelection() {
    QTreeWidgetItem* selected = m_tree->currentItem();
    if (m_treeRebuilding || !selected)
        return;
    const int index = m_itemTree.absoluteIndex(selected);
    m_keeper.finishEdit();
    ArrangePages();
    if (m_shownItemNode)
        ItemFromWindow(m_itemTree.absoluteIndex(m_shownItemNode) - 1);
    if (index == 0) {
        // The commands follow the selection however it moved, by mouse or by keyboard.
        RefreshItemCommands();
        return;
    }
    if (selected != m_shownItemNode) {
        m_shownItemNode = selected;
        ItemToWindow(index - 1);
    }
    RefreshItemCommands();
    showPreviewImage();
}

void TMainForm::trvwDesignPanelMouseDown() {
    confirmSelection();
}

// A press on the selected node keeps it selected, and the commands follow the selection.
void TMainForm::confirmSelection() {
    QTreeWidgetItem* selected = m_tree->currentItem();
    if (m_treeRebuilding || !selected)
        return;
    selected->setSelected(true);
    RefreshItemCommands();
}

// Delete deletes the selected item, with the usual question; Shift+F10 and the menu key open the context
// menu at the selected node, not wherever the mouse happens to be.
bool TMainForm::treeKey(QKeyEvent& key) {
    const QKeyCombination combination = key.keyCombination();
    if (combination == QKeyCombination(Qt::Key_Delete)) {
        runCommand([this] { Delete1Click(); });
    } else if (combination == QKeyCombination(Qt::SHIFT, Qt::Key_F10) || combination == QKeyCombination(Qt::Key_Menu)) {
        const QPoint position = m_tree->visualItemRect(m_tree->currentItem()).center();
        runCommand([this, position] { showTreeContextMenu(position); });
    } else {
        return false;
    }
    key.accept();
    return true;
}

void TMainForm::showTreeContextMenu(const QPoint& position) {
    if (QTreeWidgetItem* node = m_tree->itemAt(position))
        m_tree->setCurrentItem(node);
    trvwDesignPanelMouseDown();
    m_controls.popup->popup(m_tree->viewport()->mapToGlobal(position));
}

void TMainForm::RefreshItemCommands() {
    const int selected = m_itemTree.selectedPosition();
    const bool onRoot = selected <= 0;
    m_controls.insert.setEnabled(onRoot);
    m_controls.remove.setEnabled(!onRoot);
    m_controls.moveUp.setEnabled(!onRoot && m_keeper.previousSibling(selected) >= 0);
    m_controls.moveDown.setEnabled(!onRoot && m_keeper.nextSibling(selected) >= 0);
    m_controls.duplicate.setEnabled(!onRoot);
    m_controls.moveIn.setEnabled(!onRoot && m_keeper.previousSibling(selected) >= 0);
    m_controls.moveOut.setEnabled(!onRoot && m_keeper.parentOf(selected) > 0);
    m_controls.batchImport.setEnabled(onRoot);
    ArrangePages();
}

void TMainForm::ArrangePages() {
    if (const int selected = m_itemTree.selectedPosition(); selected >= 0)
        m_pages->arrangeFor(selected == 0);
}

void TMainForm::Insert1Click() {
    insertItem();
}

void TMainForm::Delete1Click() {
    deleteSelectedItem();
}

void TMainForm::MoveUp1Click() {
    moveSelectedItem(&ItemTreeKeeper::moveUp);
}

void TMainForm::MoveDown1Click() {
    moveSelectedItem(&ItemTreeKeeper::moveDown);
}

// Adds a fresh item as the last child of the selected node.
void TMainForm::insertItem() {
    const int parent = m_itemTree.selectedPosition();
    if (parent < 0)
        return;
    showNewNode(m_keeper.insertItem(parent, TkvlAppletAgent::DefaultItem(), "Image"));
    refreshModified();
    RefreshItemCommands();
}

// A node added at the end of a long tree would otherwise appear out of sight: it is selected, which shows
// its page, and scrolled to.
void TMainForm::showNewNode(int position) {
    QTreeWidgetItem* node = m_itemTree.nodeAt(position);
    m_tree->setCurrentItem(node);
    m_tree->scrollToItem(node);
}

void TMainForm::deleteSelectedItem() {
    const int selected = m_itemTree.selectedPosition();
    if (selected < 0)
        return;
    if (selected == 0) {
        m_prompts.showMessage(PromptIcon::Error, tr("Root item cannot be deleted."), PromptButtons::Ok);
        return;
    }
    if (m_prompts.showMessage(PromptIcon::Warning, tr("Are you sure to delete this item and all its children?"),
                              PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    m_shownItemNode = nullptr;
    m_keeper.deleteSubtree(selected);
    // The selection moved while the tree kept quiet; the pages follow it now that tree and items agree.
    trvwDesignPanelChange();
    refreshModified();
    RefreshItemCommands();
}

// The shown item's node travels with its subtree, so the page's values still go to the right item.
void TMainForm::moveSelectedItem(int (ItemTreeKeeper::*step)(int)) {
    if (const int selected = m_itemTree.selectedPosition(); selected > 0)
        (m_keeper.*step)(selected);
    refreshModified();
    RefreshItemCommands();
}

void TMainForm::Duplicate1Click() {
    duplicateSelectedItem();
}

// The copy is selected, which shows its page.
void TMainForm::duplicateSelectedItem() {
    const int selected = m_itemTree.selectedPosition();
    if (selected <= 0)
        return;
    m_keeper.duplicate(selected);
    refreshModified();
    RefreshItemCommands();
}

// In: below the sibling above, as its last child. Out: after the parent, as the parent's next sibling. Both
// are moves as a drag makes them, one step each.
void TMainForm::moveSelectedItemIn() {
    const int selected = m_itemTree.selectedPosition();
    const int above = selected > 0 ? m_keeper.previousSibling(selected) : -1;
    if (above >= 0)
        placeSelectedItem(above, -1);
}

void TMainForm::moveSelectedItemOut() {
    const int selected = m_itemTree.selectedPosition();
    const int parent = selected > 0 ? m_keeper.parentOf(selected) : -1;
    if (parent > 0)
        placeSelectedItem(m_keeper.parentOf(parent), m_keeper.nextSibling(parent));
}

void TMainForm::placeSelectedItem(int parentPosition, int beforePosition) {
    m_shownItemNode = nullptr;
    m_keeper.moveSubtree(m_itemTree.selectedPosition(), parentPosition, beforePosition);
    followSelection();
    refreshModified();
    RefreshItemCommands();
}

bool TMainForm::canPlace(QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement) const {
    return m_keeper.canMoveBelow(m_itemTree.absoluteIndex(node), m_itemTree.absoluteIndex(placement.parent));
}

// The move may take the shown item's node away: the page's values are in the project already, since every
// edit takes them there, and the page then follows the selection to the moved node, which a drop that moves
// nothing leaves selected without a word from the tree.
void TMainForm::moveDroppedNode(QTreeWidgetItem* node, const ItemTreeWidget::Placement& placement) {
    m_shownItemNode = nullptr;
    m_keeper.moveSubtree(m_itemTree.absoluteIndex(node), m_itemTree.absoluteIndex(placement.parent),
                         placement.before ? m_itemTree.absoluteIndex(placement.before) : -1);
    followSelection();
    refreshModified();
    RefreshItemCommands();
}

// --- Undo and redo ---

void TMainForm::Undo1Click() {
    stepThroughHistory(&ItemTreeKeeper::undo);
}

void TMainForm::Redo1Click() {
    stepThroughHistory(&ItemTreeKeeper::redo);
}

// A step that changed the tree has it built again apart from the widget, as a load builds it; one that changed
// only values leaves the nodes as they are, folded or not. The pages then show the project and the node the
// step selected.
void TMainForm::stepThroughHistory(void (ItemTreeKeeper::*step)()) {
    const EditHistory& history = m_keeper.history();
    const bool undoing = step == &ItemTreeKeeper::undo;
    if (!(undoing ? history.canUndo() : history.canRedo()))
        return;
    m_shownItemNode = nullptr;
    {
        const bool rebuilding = m_keeper.nextStepChangesTree(undoing);
        m_treeRebuilding = true;
        if (rebuilding)
            m_itemTree.beginLoading();
        const auto rebuilt = qScopeGuard([this, rebuilding] {
            if (rebuilding)
                m_itemTree.endLoading();
            m_treeRebuilding = false;
        });
        (m_keeper.*step)();
    }
    ScriptParamsToWindow();
    followSelection();
    refreshModified();
    RefreshItemCommands();
}

// Every edit on the pages goes into the project at once, so that the history holds it. Typing in one field,
// or stepping one number, is one step.
void TMainForm::recordPageEdit(QWidget* control) {
    storePagesIntoProject();
    const bool typed = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control);
    const bool number = qobject_cast<SpinEdit*>(control);
    const EditStep kind = typed                                ? EditStep::Typing
                          : number                             ? EditStep::NumberChange
                          : qobject_cast<ColorPanel*>(control) ? EditStep::ColorChange
                                                               : EditStep::OptionChange;
    m_keeper.recordEdit(kind, typed || number ? control : nullptr);
}

// The entries name the step they would undo or redo.
void TMainForm::refreshUndoCommands() {
    const EditHistory& history = m_keeper.history();
    m_controls.undo.setEnabled(history.canUndo());
    m_controls.redo.setEnabled(history.canRedo());
    const std::optional<EditStep> undoStep = history.undoStep();
    const std::optional<EditStep> redoStep = history.redoStep();
    for (QAction* entry : m_controls.undo.actions())
        entry->setText(undoStep ? tr("&Undo %1").arg(stepCaption(*undoStep)) : tr("&Undo"));
    for (QAction* entry : m_controls.redo.actions())
        entry->setText(redoStep ? tr("&Redo %1").arg(stepCaption(*redoStep)) : tr("&Redo"));
}

QString TMainForm::showPreviewImage() {
    // A relative path is read from the project file's folder, as publishing reads it.
    const QString path = fromUtf8Text(resolvePicturePath(m_project.projectFolder(), toUtf8Text(m_pages->imagePath())));
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_pages->hidePicture();
        return {};
    }
    return m_pages->showPicture(path);
}

} // namespace veskaro
