// The designer window's aids for filling in values: the link pick with its tip, the image pick, the
// batch import (from the dialog or dropped onto the tree), the colour panels, and the explanation when a
// text field refuses typed text.

#include "browse/LinkTipSetting.h"
#include "model/AppletTypes.h"
#include "model/ProjectFile.h"
#include "platform/FileUrl.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"
#include "ui/BrowserServices.h"
#include "ui/ColorPanel.h"
#include "ui/FileFilter.h"
#include "ui/ParameterPages.h"
#include "ui/PictureCheck.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TfrmMsgBox_LinkTip.h"
#include "ui/Utf8Text.h"
#include "ui/ValueTextValidator.h"

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

// Files that a slider cannot show, by the reason they were left out.
struct SkippedFiles {
    QStringList notPictures; // by their names
    QStringList unreadable;  // each with the reader's reason
    QStringList unstorable;

    bool empty() const { return notPictures.isEmpty() && unreadable.isEmpty() && unstorable.isEmpty(); }
};

namespace {

const QString kLinkFilter = qtFileFilter(QStringLiteral("HTML files(*.htm;*.html)|*.htm;*.html|Any file (*.*)|*.*"));
const QString kPictureFilter = pictureFileFilter();
const QString kTerminator = QString::fromLatin1(kValueTerminator);

// A path that holds the terminator would split the item's values when the project is read back.
void requireStorablePath(const QString& path) {
    if (!terminatorProblem(toUtf8Text(path), kValueTerminator).empty())
        throw VeskaroError(
            toUtf8Text(QObject::tr("The path \"%1\" contains \"%2\", which a project file cannot hold. Rename the file "
                                   "or its folder and choose it again.")
                           .arg(path, kTerminator)));
}

bool isSliderPicture(const QFileInfo& file) {
    static const QStringList kExtensions = pictureExtensions();
    return file.isFile() && kExtensions.contains(file.suffix(), Qt::CaseInsensitive);
}

QString skippedFilesMessage(const SkippedFiles& skipped) {
    QStringList parts;
    if (!skipped.notPictures.isEmpty())
        parts << QObject::tr("These files are not JPEG, GIF or BMP pictures and were not imported:") + u'\n' +
                     skipped.notPictures.join(u'\n');
    if (!skipped.unreadable.isEmpty())
        parts << QObject::tr("These files cannot be read as pictures and were not imported:") + u'\n' +
                     skipped.unreadable.join(u'\n');
    const QStringList& unstorable = skipped.unstorable;
    if (!unstorable.isEmpty())
        parts << QObject::tr("These paths contain \"%1\", which a project file cannot hold, and were not "
                             "imported:")
                         .arg(kTerminator) +
                     u'\n' + unstorable.join(u'\n');
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace

void TMainForm::connectEditingAids() {
    connectCommand(m_pages->linkButton(), &TMainForm::spdbtnItURLClick);
    connectCommand(m_pages->pictureButton(), &TMainForm::spdbtnItemImageNormalClick);
    connectCommand(m_controls.batchImport, &TMainForm::btnBatchImportImgsClick);
    for (ColorPanel* panel : m_pages->colorPanels())
        connect(panel, &ColorPanel::clicked, this,
                [this, panel] { runCommand([this, panel] { pnlApBgClrClick(panel); }); });
    m_tree->setAcceptDrops(true);
    m_tree->viewport()->installEventFilter(this);
    connect(m_pages, &ParameterPages::textRefused, this, &TMainForm::explainRefusedText);
}

// --- Link pick ---

void TMainForm::spdbtnItURLClick() {
    pickLink();
}

void TMainForm::pickLink() {
    if (readShowLinkTip(m_browsers.settings)) {
        TfrmMsgBox_LinkTip tip(m_browsers.settings, m_prompts, this);
        m_prompts.runDialog(tip);
    }
    // The dialog keeps the folder it showed last, also when the project dialogs used it.
    const QString page = m_prompts.chooseOpenFile(kLinkFilter, {});
    if (page.isEmpty())
        return;
    const QString link = fromUtf8Text(PathToFileUrl(toUtf8Text(page)));
    requireStorablePath(link);
    m_keeper.inOneStep(EditStep::LinkPick, [&] { m_pages->setLink(link); });
}

// --- Image pick ---

void TMainForm::spdbtnItemImageNormalClick() {
    pickPicture();
}

void TMainForm::pickPicture() {
    const QString picture = m_prompts.choosePictureFile(kPictureFilter);
    if (picture.isEmpty())
        return;
    requireStorablePath(picture);
    QTreeWidgetItem* node = m_tree->currentItem();
    // Only the items directly below the root are named after their pictures.
    const bool namedAfterPicture = node && TreeWidgetItemTree::depth(node) == 1;
    m_keeper.inOneStep(EditStep::PicturePick, [&] {
        m_pages->setImagePath(picture);
        if (namedAfterPicture)
            node->setText(0, QFileInfo(picture).fileName());
    });
    if (!namedAfterPicture || !QFileInfo(picture).isFile())
        return;
    const QString error = showPreviewImage();
    if (!error.isEmpty())
        throw VeskaroError(toUtf8Text(tr("The picture \"%1\" cannot be read: %2").arg(picture, error)));
}

// --- Batch import ---

void TMainForm::btnBatchImportImgsClick() {
    importChosenPictures();
}

void TMainForm::importChosenPictures() {
    const QStringList pictures =
        m_prompts.choosePictureFiles(kPictureFilter, fromUtf8Text(m_places.GetPicturesFolder()));
    const int parent = m_itemTree.selectedPosition();
    SkippedFiles skipped;
    int first = -1;
    m_keeper.inOneStep(EditStep::PictureImport, [&] {
        for (const QString& picture : pictures) {
            if (picture.contains(kTerminator)) {
                skipped.unstorable << picture;
            } else if (const auto problem = pictureProblem(toUtf8Text(picture))) {
                skipped.unreadable << fromUtf8Text(*problem);
            } else {
                const int position = importPicture(parent, picture);
                if (first < 0)
                    first = position;
            }
        }
    });
    finishImport(first, skipped);
}

// The first picture imported is selected and shown, so that the user sees where the pictures went.
void TMainForm::finishImport(int firstImported, const SkippedFiles& skipped) {
    if (firstImported > 0)
        showNewNode(firstImported);
    refreshModified();
    RefreshItemCommands();
    if (!skipped.empty())
        m_prompts.showMessage(PromptIcon::Warning, skippedFilesMessage(skipped), PromptButtons::Ok);
}

int TMainForm::importPicture(int parentPosition, const QString& path) {
    TItemData record = TkvlAppletAgent::DefaultItem();
    record.IOriginalImagePath = toUtf8Text(path);
    return m_keeper.insertItem(parentPosition, record, toUtf8Text(QFileInfo(path).fileName()));
}

// --- Pictures dropped onto the tree ---

bool TMainForm::treeDragEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    // Entering and moving are kinds of dropping in Qt's event classes.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls())
        return false;
    // Files are taken only where the batch import is allowed: while the root is selected.
    if (m_itemTree.selectedPosition() != 0) {
        m_hint->setText(tr("Pictures are dropped while the root \"Veskaro\" is selected."));
        drop->ignore();
        return true;
    }
    // A move would let the source delete the files the project now points to: only a copy or a link is
    // taken, whatever the source proposes.
    const Qt::DropActions taken = drop->possibleActions() & (Qt::CopyAction | Qt::LinkAction);
    if (!taken) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(taken.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::LinkAction);
    drop->accept();
    if (type == QEvent::Drop) {
        const QList<QUrl> urls = drop->mimeData()->urls();
        runCommand([this, urls] { importDroppedFiles(urls); });
    }
    return true;
}

void TMainForm::importDroppedFiles(const QList<QUrl>& urls) {
    SkippedFiles skipped;
    int first = -1;
    m_keeper.inOneStep(EditStep::PictureImport, [&] {
        for (const QUrl& url : urls) {
            const QFileInfo file(url.toLocalFile());
            const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
            if (!url.isLocalFile() || !isSliderPicture(file)) {
                skipped.notPictures << (url.isLocalFile() ? QDir::toNativeSeparators(file.filePath())
                                                          : url.toDisplayString());
            } else if (file.filePath().contains(kTerminator)) {
                skipped.unstorable << QDir::toNativeSeparators(file.filePath());
            } else if (const auto problem = pictureProblem(toUtf8Text(path))) {
                skipped.unreadable << fromUtf8Text(*problem);
            } else {
                // Dropped files go below the root, the only node that takes them.
                const int position = importPicture(0, path);
                if (first < 0)
                    first = position;
            }
        }
    });
    finishImport(first, skipped);
}

// --- Colour panels ---

// A colour chosen is an edit the panel reports itself, as every bound control does.
void TMainForm::pnlApBgClrClick(ColorPanel* panel) {
    PickColor(panel);
}

void TMainForm::PickColor(ColorPanel* panel) {
    if (const std::optional<QColor> chosen = m_prompts.chooseColor(panel->color()))
        panel->setColor(*chosen);
}

// --- Text refused by a field ---

// The hint line is narrow: it gets the brief form, and the tip beside the field the whole explanation.
void TMainForm::explainRefusedText(QLineEdit* edit, const TextRefusal& reason) {
    m_hint->setText(reason.brief);
    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), reason.whole, edit);
}

} // namespace veskaro
