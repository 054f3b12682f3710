// The designer window's aids for filling in values: the link pick with its tip, the image pick, the
// batch import (from the dialog or dropped onto the tree), the colour panels, and the guard that keeps
// the project file's value terminator out of every text field.

#include "model/Folders.h"
#include "browse/LinkTipSetting.h"
#include "platform/FileUrl.h"
#include "platform/VeskaroError.h"
#include "ui/BrowserServices.h"
#include "ui/ColorPanel.h"
#include "ui/ControlNames.h"
#include "ui/FileFilter.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TfrmMsgBox_LinkTip.h"
#include "ui/TreeWidgetItemTree.h"
#include "ui/ValueTextValidator.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>

namespace veskaro {

namespace {

const QString kLinkFilter = qtFileFilter(QStringLiteral("HTML files(*.htm;*.html)|*.htm;*.html|Any file (*.*)|*.*"));
const QString kPictureFilter = qtFileFilter(
    QStringLiteral("All Image Files(*.jpg;*.jpeg;*.gif;*.bmp)|*.jpg;*.jpeg;*.gif;*.bmp|Jpeg Files(*.jpg;*.jpeg)|"
                   "*.jpg;*.jpeg|Gif Files(*.gif)|*.gif|Bitmap Files(*.bmp)|*.bmp"));
const QString kTerminator = QStringLiteral("#$@");

constexpr const char* kColorPanels[] = {names::navBtnTextColorNormal,      names::navBtnBgColorNormal,
                                        names::navBtnTextColorHover,       names::navBtnBgColorHover,
                                        names::navBtnTextColorActive,      names::navBtnBgColorActive,
                                        names::navBtnTextColorActiveHover, names::navBtnBgColorActiveHover};

std::string localText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// A path that holds the terminator would split the item's values when the project is read back.
void requireStorablePath(const QString& path) {
    if (path.contains(kTerminator))
        throw VeskaroError(localText(
            QObject::tr("The path \"%1\" contains \"#$@\", which a project file cannot hold. Rename the file or "
                        "its folder and choose it again.")
                .arg(path)));
}

bool isSliderPicture(const QFileInfo& file) {
    static const QStringList kExtensions{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"),
                                         QStringLiteral("bmp")};
    return file.isFile() && kExtensions.contains(file.suffix(), Qt::CaseInsensitive);
}

QString skippedFilesMessage(const QStringList& notPictures, const QStringList& unstorable) {
    QStringList parts;
    if (!notPictures.isEmpty())
        parts << QObject::tr("These files are not JPEG, GIF or BMP pictures and were not imported:") + u'\n' +
                     notPictures.join(u'\n');
    if (!unstorable.isEmpty())
        parts << QObject::tr("These paths contain \"#$@\", which a project file cannot hold, and were not "
                             "imported:") +
                     u'\n' + unstorable.join(u'\n');
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace

void TMainForm::connectEditingAids() {
    connectCommand(&child<QToolButton>(names::spdbtnItURL), &TMainForm::spdbtnItURLClick);
    connectCommand(&child<QToolButton>(names::spdbtnOriginalImagePath), &TMainForm::spdbtnItemImageNormalClick);
    connectCommand(&child<QPushButton>(names::btnBatchImportImgs), &TMainForm::btnBatchImportImgsClick);
    for (const char* name : kColorPanels) {
        auto* panel = &child<ColorPanel>(name);
        connect(panel, &ColorPanel::clicked, this,
                [this, panel] { runCommand([this, panel] { pnlApBgClrClick(panel); }); });
    }
    m_tree->setAcceptDrops(true);
    m_tree->viewport()->installEventFilter(this);
    guardTextFields();
}

// --- Link pick ---

void TMainForm::spdbtnItURLClick() {
    if (ReadShowLinkTip(m_browsers.settings)) {
        TfrmMsgBox_LinkTip tip(m_browsers.settings, m_prompts, this);
        m_prompts.runDialog(tip);
    }
    // The dialog keeps the folder it showed last, also when the project dialogs used it.
    const QString page = m_prompts.chooseOpenFile(kLinkFilter, {});
    if (page.isEmpty())
        return;
    const QString link = QString::fromLocal8Bit(PathToFileUrl(localText(page)));
    requireStorablePath(link);
    child<QComboBox>(names::cmbx_ILink).setEditText(link);
    spnedtApWidthChange();
}

// --- Image pick ---

void TMainForm::spdbtnItemImageNormalClick() {
    const QString picture = m_prompts.choosePictureFile(kPictureFilter);
    if (picture.isEmpty())
        return;
    requireStorablePath(picture);
    child<QLineEdit>(names::edtOriginalImagePath).setText(picture);
    QTreeWidgetItem* node = selectedNode();
    // Only the items directly below the root are named after their pictures.
    if (!node || TreeWidgetItemTree::depth(node) != 1)
        return;
    node->setText(0, QFileInfo(picture).fileName());
    if (!QFileInfo(picture).isFile())
        return;
    const QString error = showPreviewImage();
    if (!error.isEmpty())
        throw VeskaroError(localText(tr("The picture \"%1\" cannot be read: %2").arg(picture, error)));
}

// --- Batch import ---

void TMainForm::btnBatchImportImgsClick() {
    spnedtApWidthChange();
    const QStringList pictures =
        m_prompts.choosePictureFiles(kPictureFilter, QString::fromLocal8Bit(GetPicturesFolder()));
    QStringList unstorable;
    for (const QString& picture : pictures) {
        if (picture.contains(kTerminator))
            unstorable << picture;
        else
            importPicture(picture);
    }
    RefreshItemCommands();
    if (!unstorable.isEmpty())
        m_prompts.showMessage(PromptIcon::Warning, skippedFilesMessage({}, unstorable), PromptButtons::Ok);
}

void TMainForm::importPicture(const QString& path) {
    TItemData record = TkvlAppletAgent::DefaultItem();
    record.IOriginalImagePath = localText(path);
    appendItemNode(selectedNode(), QFileInfo(path).fileName(), record);
}

void TMainForm::appendItemNode(QTreeWidgetItem* parent, const QString& caption, TItemData record) {
    QTreeWidgetItem* node = m_itemTree->addChildNode(parent, caption);
    record.ILevel = std::to_string(TreeWidgetItemTree::depth(node) - 1);
    m_project.InsertItem(m_itemTree->absoluteIndex(node) - 1, record);
}

// --- Pictures dropped onto the tree ---

bool TMainForm::rootSelected() const {
    const QTreeWidgetItem* selected = selectedNode();
    return selected && m_itemTree->absoluteIndex(selected) == 0;
}

bool TMainForm::treeDragEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    // Entering and moving are kinds of dropping in Qt's event classes.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls())
        return false;
    // Files are taken only where the batch import is allowed: while the root is selected.
    if (!rootSelected()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        const QList<QUrl> urls = drop->mimeData()->urls();
        runCommand([this, urls] { importDroppedFiles(urls); });
    }
    return true;
}

void TMainForm::importDroppedFiles(const QList<QUrl>& urls) {
    QStringList notPictures;
    QStringList unstorable;
    int imported = 0;
    for (const QUrl& url : urls) {
        const QFileInfo file(url.toLocalFile());
        if (!url.isLocalFile() || !isSliderPicture(file)) {
            notPictures << (url.isLocalFile() ? QDir::toNativeSeparators(file.filePath()) : url.toDisplayString());
        } else if (file.filePath().contains(kTerminator)) {
            unstorable << QDir::toNativeSeparators(file.filePath());
        } else {
            importPicture(QDir::toNativeSeparators(file.absoluteFilePath()));
            ++imported;
        }
    }
    if (imported > 0) {
        spnedtApWidthChange();
        RefreshItemCommands();
    }
    if (!notPictures.isEmpty() || !unstorable.isEmpty())
        m_prompts.showMessage(PromptIcon::Warning, skippedFilesMessage(notPictures, unstorable), PromptButtons::Ok);
}

// --- Colour panels ---

void TMainForm::pnlApBgClrClick(ColorPanel* panel) {
    PickColor(panel);
    spnedtApWidthChange();
}

void TMainForm::PickColor(ColorPanel* panel) {
    if (const std::optional<QColor> chosen = m_prompts.chooseColor(panel->color()))
        panel->setColor(*chosen);
}

// --- The value terminator in text fields ---

void TMainForm::guardTextFields() {
    auto* validator = new ValueTextValidator(this);
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        // Spin edits take digits and signs only.
        if (qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            continue;
        edit->setValidator(validator);
        connect(edit, &QLineEdit::inputRejected, this, [this, edit] { explainRefusedText(edit); });
    }
}

void TMainForm::explainRefusedText(QLineEdit* edit) {
    const QString explanation = ValueTextValidator::refusal();
    m_hint->setText(explanation);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), explanation, edit);
}

} // namespace veskaro
