#include "DesignerTestCase.h"

#include "ui/ColorPanel.h"
#include "ui/PictureFileDialog.h"
#include "ui/TfrmMsgBox_LinkTip.h"
#include "ui/ValueTextValidator.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>

using namespace veskaro;
namespace fs = std::filesystem;
namespace names = veskaro::names;

namespace {

const QString kLinkFilter = QStringLiteral("HTML files(*.htm *.html);;Any file (*)");
const QString kPictureFilter = QStringLiteral("All Image Files(*.jpg *.jpeg *.gif *.bmp);;Jpeg Files(*.jpg "
                                              "*.jpeg);;Gif Files(*.gif);;Bitmap Files(*.bmp)");

// What a user does in the link tip: optionally clicks the check box some times, then leaves the tip.
std::function<void(QDialog&)> answerTip(int checkBoxClicks, bool byCloseBox = false) {
    return [checkBoxClicks, byCloseBox](QDialog& dialog) {
        for (int i = 0; i < checkBoxClicks; ++i)
            dialog.findChild<QCheckBox*>(QLatin1String(names::chckbxDontShow))->click();
        if (byCloseBox)
            dialog.close();
        else
            dialog.findChild<QPushButton*>(QLatin1String(names::btnOK))->click();
    };
}

} // namespace

class EditingAidsTest : public test::DesignerTestCase {
    Q_OBJECT

    QString path(const std::string& name) { return QString::fromStdString(m_folders.root() / name); }

    // Draws a small picture into the test's folder and returns its path.
    QString picture(const std::string& name, const char* format) {
        QImage image(48, 32, QImage::Format_RGB32);
        image.fill(QColor(40, 120, 200));
        const QString file = path(name);
        if (!image.save(file, format))
            throw std::runtime_error("cannot write the picture " + name);
        return file;
    }

    // The settings outlive a test; each link test starts as a new user.
    void startAsNewUser() {
        std::error_code ignored;
        fs::remove_all(m_folders.root() / "config/veskaro", ignored);
    }

    void selectNewItem() {
        find<QToolButton>(names::tlbtnInsert).click();
        designer().select(1);
    }

    void pickLink(const QString& page) {
        prompts().openFiles = {page};
        find<QToolButton>(names::spdbtnItURL).click();
    }

    QString linkShown() { return find<QComboBox>(names::cmbx_ILink).currentText(); }
    QLabel& preview() { return find<QLabel>(names::imgPreview); }
    QString lastMessage() { return prompts().messages.empty() ? QString() : prompts().messages.back().text; }

    // The hint line shows the brief form whole, and the tip at the field the whole explanation.
    void verifyRefusalShown(const TextRefusal& refusal) {
        const QLabel& hint = find<QLabel>(names::stctxtHint);
        QCOMPARE(hint.text(), refusal.brief);
        QVERIFY2(hint.fontMetrics().horizontalAdvance(hint.text()) <= hint.contentsRect().width(),
                 qPrintable(hint.text()));
        QCOMPARE(QToolTip::text(), refusal.whole);
    }

    // Drops local files onto the tree as the file manager does, offering the actions given; tells whether
    // the tree took them, and with which action.
    bool dropFiles(const QStringList& files, Qt::DropActions offered = Qt::CopyAction,
                   Qt::DropAction* taken = nullptr) {
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << (file.contains(u':') ? QUrl(file) : QUrl::fromLocalFile(file));
        QMimeData data;
        data.setUrls(urls);
        QWidget* viewport = designer().tree().viewport();
        QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        if (taken)
            *taken = drop.dropAction();
        return drop.isAccepted();
    }

    // A text file under a picture's name, as a user may have renamed one.
    QString textNamedAsPicture(const std::string& name) {
        const QString file = path(name);
        test::writeBytes(file.toStdString(), "this is text, not a picture\n");
        return file;
    }

private slots:
    // --- Link pick ---

    void linkTipComesFirstUntilSwitchedOff() {
        startAsNewUser();
        selectNewItem();
        prompts().dialogActions = {[](QDialog& tip) {
            QCOMPARE(tip.windowTitle(), QStringLiteral("Important Tip"));
            QCOMPARE(tip.findChild<QLabel*>(QLatin1String(names::LinkTipLabel1))->text(),
                     QStringLiteral("Local link may not work for security reason. Please click the '?' book icon "
                                    "within link group to know more details."));
            QCOMPARE(tip.findChild<QPushButton*>(QLatin1String(names::btnOK))->text(), QStringLiteral("OK"));
            auto* dontShow = tip.findChild<QCheckBox*>(QLatin1String(names::chckbxDontShow));
            QCOMPARE(dontShow->text(), QStringLiteral("Do not show this dialog again."));
            QVERIFY(!dontShow->isChecked());
            answerTip(1)(tip);
        }};
        pickLink(QStringLiteral("/home/ann/site/index.html"));
        QCOMPARE(prompts().dialogsShown, std::vector<QString>{QStringLiteral("Important Tip")});
        QCOMPARE(prompts().openFilters, std::vector<QString>{kLinkFilter});
        QCOMPARE(linkShown(), QStringLiteral("file:///home/ann/site/index.html"));
        QVERIFY(window().Modified());

        pickLink(QStringLiteral("/home/ann/site/other.htm"));
        QCOMPARE(prompts().dialogsShown.size(), 1u);
        QCOMPARE(linkShown(), QStringLiteral("file:///home/ann/site/other.htm"));
    }

    void tickingAndClearingTheBoxLeavesTheTipOn() {
        startAsNewUser();
        selectNewItem();
        prompts().dialogActions = {answerTip(2), answerTip(0, true)};
        pickLink(QStringLiteral("/a.htm"));
        pickLink(QStringLiteral("/b.htm"));
        QCOMPARE(prompts().dialogsShown.size(), 2u);
        QCOMPARE(linkShown(), QStringLiteral("file:///b.htm"));
    }

    void closingTheTipByItsCloseBoxGoesOnToTheFileDialog() {
        startAsNewUser();
        selectNewItem();
        prompts().dialogActions = {answerTip(1, true)};
        pickLink(QStringLiteral("/c.htm"));
        QCOMPARE(linkShown(), QStringLiteral("file:///c.htm"));
        pickLink(QStringLiteral("/d.htm"));
        QCOMPARE(prompts().dialogsShown.size(), 1u);
    }

    void failingToSwitchTheTipBackOnIsReported() {
        // A file where the settings folder belongs: no setting can be stored.
        startAsNewUser();
        test::writeBytes(m_folders.root() / "config/veskaro", "not a folder");
        selectNewItem();
        prompts().dialogActions = {answerTip(2)};
        pickLink(QStringLiteral("/e.htm"));
        // Switching the tip off failed silently; switching it back on is reported.
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("Failed to set data for 'ShowLinkTipDialog' in the "
                                                            "settings key Software\\KVL\\Veskaro\\1.0\\Settings."));
        QCOMPARE(linkShown(), QStringLiteral("file:///e.htm"));
        startAsNewUser();
    }

    void linkFromAPathWithBlanksIsAProperAddress() {
        startAsNewUser();
        selectNewItem();
        prompts().dialogActions = {answerTip(0)};
        pickLink(QStringLiteral("/srv/my site/a b#1.htm"));
        QCOMPARE(linkShown(), QStringLiteral("file:///srv/my%20site/a%20b%231.htm"));
    }

    void cancelledLinkDialogChangesNothing() {
        startAsNewUser();
        selectNewItem();
        find<QComboBox>(names::cmbx_ILink).setEditText(QStringLiteral("https://example.com/"));
        prompts().dialogActions = {answerTip(0)};
        pickLink(QString());
        QCOMPARE(linkShown(), QStringLiteral("https://example.com/"));
        QCOMPARE(prompts().openFilters.size(), 1u);
    }

    // --- Image pick ---

    void imagePickRenamesARootChildAndShowsItsPicture() {
        selectNewItem();
        window().show();
        const QString beach = picture("beach.jpg", "JPG");
        prompts().pictureFiles = {beach};
        find<QToolButton>(names::spdbtnOriginalImagePath).click();
        QCOMPARE(prompts().pictureFilters, std::vector<QString>{kPictureFilter});
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), beach);
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  beach.jpg"}));
        QVERIFY(preview().isVisible());
        QVERIFY(!preview().pixmap().isNull());
        window().storePagesIntoProject();
        QCOMPARE(QString::fromStdString(window().project().GetItem(0).IOriginalImagePath), beach);

        // The path and the caption it gave the node are one step.
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Picture Pick"));
        find<QAction>(names::Undo1).trigger();
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), QString());
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image"}));
        find<QAction>(names::Redo1).trigger();
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  beach.jpg"}));
    }

    void imagePickBelowAnotherItemKeepsCaptionAndPreview() {
        const std::string project = m_folders.root() / "nested.vsk";
        test::writeProject(project, {{"/p/x.jpg", 0}, {"/p/gone.jpg", 1}});
        designer().load(project);
        designer().select(2);
        const QString beach = picture("beach.jpg", "JPG");
        prompts().pictureFiles = {beach};
        find<QToolButton>(names::spdbtnOriginalImagePath).click();
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), beach);
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  x.jpg", "    gone.jpg"}));
        QVERIFY(preview().isHidden());
    }

    void cancelledPictureDialogChangesNothing() {
        selectNewItem();
        prompts().pictureFiles = {QString()};
        find<QToolButton>(names::spdbtnOriginalImagePath).click();
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), QString());
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image"}));
        QVERIFY(preview().isHidden());
    }

    void unreadablePictureIsReportedAndKeepsPathAndCaption() {
        selectNewItem();
        const QString broken = path("broken.jpg");
        test::writeBytes(broken.toStdString(), "\xFF\xD8 not really a picture");
        prompts().pictureFiles = {broken};
        find<QToolButton>(names::spdbtnOriginalImagePath).click();
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QVERIFY2(lastMessage().startsWith(QStringLiteral("The picture \"") + broken + "\" cannot be read: "),
                 qPrintable(lastMessage()));
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), broken);
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  broken.jpg"}));
    }

    void pickedPathWithTheTerminatorIsRefused() {
        selectNewItem();
        prompts().pictureFiles = {QStringLiteral("/odd#$@name.jpg")};
        find<QToolButton>(names::spdbtnOriginalImagePath).click();
        QCOMPARE(lastMessage(), QStringLiteral("The path \"/odd#$@name.jpg\" contains \"#$@\", which a project file "
                                               "cannot hold. Rename the file or its folder and choose it again."));
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), QString());
    }

    void pictureDialogPreviewsThePictureUnderTheCursor() {
        PictureFileDialog dialog(kPictureFilter, true, nullptr);
        auto* picturePane = dialog.findChild<QLabel*>(QLatin1String(names::PicturePreview));
        auto* size = dialog.findChild<QLabel*>(QLatin1String(names::PictureSize));
        dialog.showPreview(picture("wide.jpg", "JPG"));
        QVERIFY(!picturePane->pixmap().isNull());
        QVERIFY(picturePane->pixmap().width() <= 160 && picturePane->pixmap().height() <= 120);
        QCOMPARE(size->text(), QStringLiteral("48 x 32 pixels"));

        const QString broken = path("broken.gif");
        test::writeBytes(broken.toStdString(), "GIF89a broken");
        dialog.showPreview(broken);
        QVERIFY(picturePane->pixmap().isNull());
        QVERIFY2(picturePane->text().startsWith(QStringLiteral("No preview: ")), qPrintable(picturePane->text()));
        QCOMPARE(size->text(), QString());

        dialog.showPreview(QString::fromStdString(m_folders.root().path().string()));
        QCOMPARE(picturePane->text(), QString());
        QVERIFY(picturePane->pixmap().isNull());
    }

    // Sizes read "135.56 KiB" and the filter names four extensions: neither may be cut off, at any scale.
    void pictureDialogOpensReadableAndAtTheSizeLeftLastTime() {
        auto first = std::make_unique<PictureFileDialog>(kPictureFilter, false, designer().settings.get());
        first->show();
        QVERIFY(QTest::qWaitForWindowExposed(first.get()));
        auto* details = first->findChild<QTreeView*>();
        QVERIFY(details->header()->sectionSize(1) >
                details->fontMetrics().horizontalAdvance(QStringLiteral("135.56 KiB")) + 8);
        QVERIFY(details->header()->length() <= details->viewport()->width());
        int filters = 0;
        for (const QComboBox* combo : first->findChildren<QComboBox*>()) {
            if (combo->currentText() != first->nameFilters().constFirst())
                continue;
            ++filters;
            QVERIFY(combo->width() >= combo->sizeHint().width());
        }
        QCOMPARE(filters, 1);
        first->resize(1111, 777);
        first->reject();
        first.reset();
        PictureFileDialog second(kPictureFilter, true, designer().settings.get());
        QCOMPARE(second.size(), QSize(1111, 777));
    }

    // --- Batch import ---

    void batchImportAddsOneItemPerFileInTheDialogsOrder() {
        find<QToolButton>(names::tlbtnInsert).click();
        designer().select(0);
        const QStringList files{picture("c.jpg", "JPG"), picture("a.bmp", "BMP"), picture("b.jpeg", "JPG")};
        prompts().pictureFileLists = {files};
        find<QPushButton>(names::btnBatchImportImgs).click();
        QCOMPARE(prompts().pictureFolders,
                 std::vector<QString>{QString::fromStdString(designer().places.GetPicturesFolder())});
        QCOMPARE(prompts().pictureFilters, std::vector<QString>{kPictureFilter});
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image", "  c.jpg", "  a.bmp", "  b.jpeg"}));
        QCOMPARE(designer().itemPaths(), QStringList{QString()} + files);
        for (int i = 1; i <= 3; ++i) {
            const TItemData item = window().project().GetItem(i);
            QCOMPARE(item.ITarget, "_self");
            QCOMPARE(item.ILevel, "0");
            QCOMPARE(item.ILink, "");
            QCOMPARE(item.IToolTip, "");
        }
        // The first picture imported is selected, so that the user sees where the pictures went.
        QCOMPARE(designer().selectedPosition(), 2);
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), files[0]);
        QVERIFY(designer().tree().topLevelItem(0)->isExpanded());
        QVERIFY(window().Modified());
    }

    // Each file is read before it is taken: a text file named as a picture, a missing file or a broken
    // picture is left out with the reason, and the others come in.
    void batchImportAndDropsRefuseFilesThatAreNoPictures() {
        const QString good = picture("good.jpg", "JPG");
        const QString text = textNamedAsPicture("notes.jpg");
        const QString gone = path("gone.bmp");
        prompts().pictureFileLists = {{text, good, gone}};
        find<QPushButton>(names::btnBatchImportImgs).click();
        QCOMPARE(designer().itemPaths(), QStringList{good});
        QCOMPARE(prompts().messages.size(), 1u);
        const QStringList lines = lastMessage().split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("These files cannot be read as pictures and were not imported:"));
        QVERIFY2(lines[1].contains(text), qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(gone) && lines[2].contains(QStringLiteral("does not exist")), qPrintable(lines[2]));

        designer().select(0);
        QVERIFY(dropFiles({textNamedAsPicture("other.gif")}));
        QCOMPARE(designer().itemPaths(), QStringList{good});
        QVERIFY(lastMessage().startsWith(QStringLiteral("These files cannot be read as pictures")));
    }

    // Nothing changed, so there is nothing to save and no question on closing.
    void cancelledBatchImportAddsNothingAndLeavesTheProjectUnmodified() {
        prompts().pictureFileLists = {QStringList()};
        find<QPushButton>(names::btnBatchImportImgs).click();
        QCOMPARE(designer().outline(), QStringList{"Veskaro"});
        QCOMPARE(window().project().itemCount(), 0);
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Save1).isEnabled());
    }

    void batchImportSkipsPathsWithTheTerminator() {
        prompts().pictureFileLists = {{picture("a.jpg", "JPG"), QStringLiteral("/x#$@/b.jpg")}};
        find<QPushButton>(names::btnBatchImportImgs).click();
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  a.jpg"}));
        QCOMPARE(lastMessage(), QStringLiteral("These paths contain \"#$@\", which a project file cannot hold, and "
                                               "were not imported:\n/x#$@/b.jpg"));
    }

    void droppedPicturesAreImportedAndOtherFilesNamed() {
        const QString first = picture("first.jpg", "JPG");
        const QString second = picture("SECOND.BMP", "BMP");
        const QString notes = path("notes.txt");
        test::writeBytes(notes.toStdString(), "text");
        fs::create_directories(m_folders.root() / "folder.jpg");
        QVERIFY(dropFiles({first, notes, second, path("folder.jpg"), QStringLiteral("https://example.com/x.jpg")}));
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  first.jpg", "  SECOND.BMP"}));
        QCOMPARE(designer().itemPaths(), (QStringList{first, second}));
        QCOMPARE(window().project().GetItem(1).ILevel, "0");
        QCOMPARE(designer().selectedPosition(), 1);
        QVERIFY(window().Modified());
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Warning);
        QCOMPARE(lastMessage(), "These files are not JPEG, GIF or BMP pictures and were not imported:\n" + notes +
                                    "\n" + path("folder.jpg") + "\nhttps://example.com/x.jpg");
    }

    void droppingOnlyOtherFilesChangesNothing() {
        const QString notes = path("notes.txt");
        test::writeBytes(notes.toStdString(), "text");
        QVERIFY(dropFiles({notes}));
        QCOMPARE(window().project().itemCount(), 0);
        QVERIFY(!window().Modified());
        QCOMPARE(prompts().messages.size(), 1u);
    }

    void filesAreNotTakenWhileAnItemIsSelected() {
        selectNewItem();
        window().setModified(false);
        QVERIFY(!dropFiles({picture("first.jpg", "JPG")}));
        QCOMPARE(window().project().itemCount(), 1);
        QVERIFY(!window().Modified());
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("Pictures are dropped while the root \"Veskaro\" is selected."));
    }

    // A file manager that is told "moved" may delete the originals, which the project points to.
    void droppedFilesAreCopiedOrLinkedNeverMoved_data() {
        QTest::addColumn<int>("offered");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("action");
        QTest::newRow("move or copy") << int(Qt::MoveAction | Qt::CopyAction) << true << int(Qt::CopyAction);
        QTest::newRow("move or link") << int(Qt::MoveAction | Qt::LinkAction) << true << int(Qt::LinkAction);
        QTest::newRow("copy or link") << int(Qt::CopyAction | Qt::LinkAction) << true << int(Qt::CopyAction);
        QTest::newRow("move only") << int(Qt::MoveAction) << false << 0;
    }

    void droppedFilesAreCopiedOrLinkedNeverMoved() {
        QFETCH(int, offered);
        QFETCH(bool, taken);
        QFETCH(int, action);
        Qt::DropAction dropAction = Qt::IgnoreAction;
        QCOMPARE(dropFiles({picture("first.jpg", "JPG")}, Qt::DropActions(offered), &dropAction), taken);
        QCOMPARE(window().project().itemCount(), taken ? 1 : 0);
        if (taken)
            QCOMPARE(int(dropAction), action);
    }

    // --- Colour panels ---

    void chosenColorRepaintsThePanelAndBecomesItsColorText() {
        auto& panel = find<ColorPanel>(names::navBtnBgColorHover);
        prompts().colors = {QColor(0x12, 0xAB, 0xEF)};
        QTest::mouseClick(&panel, Qt::LeftButton);
        QCOMPARE(prompts().colorsOffered, std::vector<QColor>{QColor(0xC0, 0xC0, 0xC0)});
        QCOMPARE(panel.color(), QColor(0x12, 0xAB, 0xEF));
        QVERIFY(window().Modified());
        window().storePagesIntoProject();
        QCOMPARE(window().project().GetAppletData().navBtnBgColorHover, "12ABEF");
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Colour Change"));
        find<QAction>(names::Undo1).trigger();
        QCOMPARE(panel.color(), QColor(0xC0, 0xC0, 0xC0));
        QVERIFY(!window().Modified());
    }

    void everyColorPanelOpensTheDialog_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {names::navBtnTextColorNormal, names::navBtnBgColorNormal, names::navBtnTextColorHover,
                                 names::navBtnBgColorHover, names::navBtnTextColorActive, names::navBtnBgColorActive,
                                 names::navBtnTextColorActiveHover, names::navBtnBgColorActiveHover})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyColorPanelOpensTheDialog() {
        QFETCH(QString, name);
        auto& panel = find<ColorPanel>(qPrintable(name));
        prompts().colors = {QColor(Qt::magenta)};
        QTest::mouseClick(&panel, Qt::LeftButton);
        QCOMPARE(panel.color(), QColor(Qt::magenta));
    }

    // A cancelled dialog changes nothing, so there is nothing to save.
    void cancelledColorDialogKeepsTheColorAndLeavesTheProjectUnmodified() {
        auto& panel = find<ColorPanel>(names::navBtnTextColorActive);
        const QColor before = panel.color();
        prompts().colors = {std::nullopt};
        QTest::mouseClick(&panel, Qt::LeftButton);
        QCOMPARE(panel.color(), before);
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Undo1).isEnabled());
    }

    // --- The value terminator ---

    void textFieldsRefuseTheValueTerminatorAsItIsTyped_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {names::pSliderName, names::edtOriginalImagePath, names::edt_IToolTip, names::InternalUse_RootDir_Local,
              names::InternalUse_RootDir_Remote, names::pImageLeadingPath, names::cmbx_ILink, names::cmbx_ITarget})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void textFieldsRefuseTheValueTerminatorAsItIsTyped() {
        QFETCH(QString, name);
        auto* control = window().findChild<QWidget*>(name);
        QVERIFY(control);
        auto* combo = qobject_cast<QComboBox*>(control);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control);
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("a#$@b"));
        QCOMPARE(edit->text(), QStringLiteral("a#$b"));
        verifyRefusalShown(ValueTextValidator::terminatorRefusal());
        QTest::keyClicks(edit, QStringLiteral("#$ @"));
        QCOMPARE(edit->text(), QStringLiteral("a#$b#$ @"));
    }

    void refusalExplainsItself() {
        QCOMPARE(ValueTextValidator::terminatorRefusal().whole,
                 QStringLiteral("\"#$@\" cannot be typed here: the project file ends every value with it."));
    }

    // The name names the style sheet, which is written under a name 21 bytes longer first: the limit is
    // the one publishing checks, told where the name is typed rather than by a failing save.
    void sliderNameTooLongForItsFileIsRefusedAsItIsTyped() {
        auto& name = find<QLineEdit>(names::pSliderName);
        name.clear();
        QTest::keyClicks(&name, QString(229, u'n') + u' ');
        // A letter outside ASCII takes two bytes: one too many.
        QTest::sendKeyEvent(QTest::Click, &name, Qt::Key_Eacute, QStringLiteral("\u00e9"), Qt::NoModifier);
        QCOMPARE(name.text(), QString(229, u'n') + u' ');
        verifyRefusalShown({QStringLiteral("A slider name holds at most 230 bytes."),
                            QStringLiteral("The slider name is too long: it names the slider's style sheet "
                                           "file, so without its blanks it may hold at most 230 bytes (a "
                                           "letter outside the English alphabet takes two or more). Please "
                                           "choose a shorter slider name.")});
        QTest::keyClicks(&name, QStringLiteral("n"));
        QCOMPARE(name.text().size(), 231);
        // A longer name from a project file can still be shortened key by key.
        name.setText(QString(300, u'n'));
        QTest::keyClick(&name, Qt::Key_Backspace);
        QCOMPARE(name.text().size(), 299);
        QTest::keyClick(&name, Qt::Key_N);
        QCOMPARE(name.text().size(), 299);
    }
};

QTEST_MAIN(EditingAidsTest)
#include "EditingAidsTest.moc"
