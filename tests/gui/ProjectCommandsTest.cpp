#include "DesignerTestCase.h"

#include "browse/RecentFileList.h"
#include "platform/CommandLine.h"
#include "ui/SpinEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidgetItem>

#include <filesystem>

using namespace veskaro;
namespace names = veskaro::names;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(veskaro::PromptAnswer)

class ProjectCommandsTest : public test::DesignerTestCase {
    Q_OBJECT

    const QString kFilter = QStringLiteral("Veskaro Files (*.vsk)");
    const QString kSaveQuestion = QStringLiteral("Save changes to files?");

    static QString text(const std::string& bytes) { return QString::fromUtf8(bytes); }

    std::string path(const std::string& relative) {
        const fs::path file = m_folders.root().path() / relative;
        fs::create_directories(file.parent_path());
        return file.string();
    }

    // Writes a project of two items, the second below the first, and returns its path.
    std::string writeTwoItemProject(const std::string& relative) {
        const std::string file = path(relative);
        test::writeProject(file, {{pictureA(), 0}, {pictureB(), 1}});
        return file;
    }
    // The two items' source pictures, which exist: a node of a missing one gets a warning caption.
    std::string pictureA() { return existingFile("pictures/a.jpg"); }
    std::string pictureB() { return existingFile("pictures/b.jpg"); }
    std::string existingFile(const std::string& relative) {
        const std::string file = path(relative);
        if (!fs::exists(file))
            test::writeBytes(file, "a picture");
        return file;
    }

    void trigger(const char* action) { find<QAction>(action).trigger(); }

    void changeWidthTo(int width) {
        find<SpinEdit>(names::sliderWidth).setValue(width);
        QVERIFY(window().Modified());
    }

    // Opens a file through "Open..." on an unchanged project.
    void openThroughTheDialog(const std::string& file) {
        prompts().openFiles = {text(file)};
        trigger(names::Open1);
    }

    QStringList recentEntries() {
        QStringList captions;
        for (const QAction* entry : find<QMenu>(names::mnitRecentFiles).actions())
            captions << entry->text();
        return captions;
    }

    QAction& recentEntry(int index) { return *find<QMenu>(names::mnitRecentFiles).actions().at(index); }

    QString documentsFolder() { return text(designer().places.GetDocumentsFolder()); }
    std::string recentFileList() { return recentFileListPath(designer().places); }

    // The window shows a clean new project: root alone, defaults, no file, nothing to save.
    void verifyCleanNewProject() {
        QCOMPARE(designer().outline(), QStringList{QStringLiteral("Veskaro")});
        QCOMPARE(window().project().itemCount(), 0);
        QCOMPARE(designer().selectedPosition(), 0);
        QCOMPARE(designer().visibleTabs(), (QStringList{QStringLiteral("Script"), QStringLiteral("Path")}));
        QCOMPARE(designer().activeTab(), QStringLiteral("Script"));
        QCOMPARE(find<QLineEdit>(names::pSliderName).text(), QStringLiteral("Slider1"));
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 640);
        QCOMPARE(find<SpinEdit>(names::sliderHeight).value(), 480);
        QVERIFY(window().ProjectFileName().empty());
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Save1).isEnabled());
        QVERIFY(!find<QToolButton>(names::tlbtnSave).isEnabled());
    }

    // The selection handler runs again: choosing an inserted item shows its page; the project then holds
    // the given number of items.
    void verifyTheTreeWorks(int itemsAfter = 1) {
        designer().select(0);
        find<QToolButton>(names::tlbtnInsert).click();
        designer().select(1);
        QCOMPARE(designer().visibleTabs(), QStringList{QStringLiteral("Item General")});
        QCOMPARE(window().project().itemCount(), itemsAfter);
    }

    void verifyTwoItemProjectShown(const std::string& file) {
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  a.jpg", "    b.jpg"}));
        QVERIFY(window().itemTree().nodeAt(1)->isExpanded());
        QCOMPARE(designer().itemPaths(), (QStringList{text(pictureA()), text(pictureB())}));
        QCOMPARE(designer().selectedPosition(), 0);
        QCOMPARE(designer().activeTab(), QStringLiteral("Script"));
        QCOMPARE(window().ProjectFileName(), file);
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Save1).isEnabled());
    }

private slots:
    void init() {
        // The suite's per-user folders outlive single tests; each one starts without a recent-files list.
        fs::remove(recentFileListPath(m_folders.places()));
        DesignerTestCase::init();
    }

    void everyWayToACommandRunsIt_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<QString>("prompt");
        const QKeySequence none;
        QTest::newRow("New1") << "New1" << none << "question";
        QTest::newRow("tlbtnNew") << "tlbtnNew" << none << "question";
        QTest::newRow("Ctrl+N") << "" << QKeySequence(Qt::CTRL | Qt::Key_N) << "question";
        QTest::newRow("Open1") << "Open1" << none << "question";
        QTest::newRow("tlbtnOpen") << "tlbtnOpen" << none << "question";
        QTest::newRow("Ctrl+O") << "" << QKeySequence(Qt::CTRL | Qt::Key_O) << "question";
        QTest::newRow("Save1") << "Save1" << none << "save dialog";
        QTest::newRow("tlbtnSave") << "tlbtnSave" << none << "save dialog";
        QTest::newRow("Ctrl+S") << "" << QKeySequence(Qt::CTRL | Qt::Key_S) << "save dialog";
        QTest::newRow("Save2") << "Save2" << none << "save dialog";
    }

    void everyWayToACommandRunsIt() {
        QFETCH(QString, control);
        QFETCH(QKeySequence, shortcut);
        QFETCH(QString, prompt);
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::Cancel};
        prompts().saveFiles = {QString()};
        if (!shortcut.isEmpty()) {
            window().show();
            QVERIFY(QTest::qWaitForWindowActive(&window()));
            QTest::keySequence(&window(), shortcut);
        } else if (auto* button = window().findChild<QToolButton*>(control)) {
            button->click();
        } else {
            trigger(qPrintable(control));
        }
        if (prompt == QStringLiteral("question")) {
            QCOMPARE(prompts().messages.size(), 1u);
            QCOMPARE(prompts().messages[0].text, kSaveQuestion);
            QCOMPARE(prompts().messages[0].icon, PromptIcon::Warning);
            QCOMPARE(prompts().messages[0].buttons, PromptButtons::YesNoCancel);
        } else {
            QVERIFY(prompts().messages.empty());
            QCOMPARE(prompts().saveFilters, std::vector<QString>{kFilter});
            QCOMPARE(prompts().saveFolders, std::vector<QString>{documentsFolder()});
        }
        QVERIFY(window().Modified());
        QVERIFY(publisher().saves.empty());
    }

    void newOnAnUnchangedProjectAsksNothing() {
        find<QToolButton>(names::tlbtnInsert).click();
        window().setProjectFileName("/p/old.vsk");
        find<QTabWidget>(names::pgcntrl1).setCurrentWidget(&find<QWidget>(names::tbshtPath));
        window().setModified(false);
        trigger(names::New1);
        QVERIFY(prompts().messages.empty());
        QCOMPARE(publisher().previewClears, 1);
        verifyCleanNewProject();
    }

    void newOnAModifiedProject_data() {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("startsNew");
        QTest::newRow("Cancel keeps everything") << PromptAnswer::Cancel << false;
        QTest::newRow("No discards the changes") << PromptAnswer::No << true;
    }

    void newOnAModifiedProject() {
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, startsNew);
        find<QToolButton>(names::tlbtnInsert).click();
        changeWidthTo(700);
        prompts().answers = {answer};
        trigger(names::New1);
        QCOMPARE(prompts().messages.size(), 1u);
        QVERIFY(publisher().saves.empty());
        if (startsNew) {
            verifyCleanNewProject();
            QCOMPARE(publisher().previewClears, 1);
        } else {
            QCOMPARE(window().project().itemCount(), 1);
            QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 700);
            QVERIFY(window().Modified());
            QCOMPARE(publisher().previewClears, 0);
        }
    }

    void newAnsweredYesSavesToTheProjectFileFirst() {
        window().setProjectFileName("/web/show.vsk");
        changeWidthTo(710);
        prompts().answers = {PromptAnswer::Yes};
        trigger(names::New1);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, "/web/");
        QCOMPARE(publisher().saves[0].name, "show.vsk");
        QCOMPARE(publisher().saves[0].parameters.sliderWidth, "710");
        verifyCleanNewProject();
    }

    void newAnsweredYesOnANeverSavedProjectAsksForAFile() {
        changeWidthTo(720);
        prompts().answers = {PromptAnswer::Yes};
        prompts().saveFiles = {text(path("web/first.vsk"))};
        trigger(names::New1);
        QCOMPARE(prompts().saveFolders, std::vector<QString>{documentsFolder()});
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].name, "first.vsk");
        verifyCleanNewProject();
    }

    void newAnsweredYesThenSaveCancelledChangesNothing() {
        find<QToolButton>(names::tlbtnInsert).click();
        changeWidthTo(720);
        prompts().answers = {PromptAnswer::Yes};
        prompts().saveFiles = {QString()};
        trigger(names::New1);
        QVERIFY(publisher().saves.empty());
        QCOMPARE(publisher().previewClears, 0);
        QCOMPARE(window().project().itemCount(), 1);
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 720);
        QVERIFY(window().Modified());
    }

    void newAnsweredYesThenSaveFailingChangesNothing() {
        find<QToolButton>(names::tlbtnInsert).click();
        window().setProjectFileName("/readonly/show.vsk");
        changeWidthTo(730);
        publisher().failure = "Cannot create file \"/readonly/show.html\". Permission denied";
        prompts().answers = {PromptAnswer::Yes};
        trigger(names::New1);
        QCOMPARE(prompts().messages.size(), 2u);
        QCOMPARE(prompts().messages[1].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[1].text,
                 QStringLiteral("Cannot create file \"/readonly/show.html\". Permission denied"));
        QCOMPARE(publisher().previewClears, 0);
        QCOMPARE(window().project().itemCount(), 1);
        QCOMPARE(window().ProjectFileName(), "/readonly/show.vsk");
        QVERIFY(window().Modified());
    }

    void openCancelledInItsDialogKeepsTheProject() {
        find<QToolButton>(names::tlbtnInsert).click();
        window().setProjectFileName("/p/kept.vsk");
        prompts().answers = {PromptAnswer::No};
        prompts().openFiles = {QString()};
        trigger(names::Open1);
        QCOMPARE(prompts().openFilters, std::vector<QString>{kFilter});
        QCOMPARE(prompts().openFolders, std::vector<QString>{documentsFolder()});
        QVERIFY(fs::is_directory(designer().places.GetDocumentsFolder()));
        QCOMPARE(publisher().previewClears, 1);
        QCOMPARE(window().project().itemCount(), 1);
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image"}));
        QCOMPARE(window().ProjectFileName(), "/p/kept.vsk");
        QVERIFY(window().Modified());
    }

    void openShowsTheProjectAndSaveWritesItBackWithoutADialog() {
        const std::string file = writeTwoItemProject("sliders/show.vsk");
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::No};
        prompts().openFiles = {text(file)};
        find<QToolButton>(names::tlbtnOpen).click();
        verifyTwoItemProjectShown(file);
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 640);
        QCOMPARE(recentEntries(), QStringList{"&1 " + text(file)});

        changeWidthTo(800);
        trigger(names::Save1);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, fs::path(file).parent_path().string() + "/");
        QCOMPARE(publisher().saves[0].name, "show.vsk");
        QCOMPARE(publisher().saves[0].parameters.sliderWidth, "800");
        QCOMPARE(publisher().saves[0].items.size(), 2u);
        QVERIFY(!window().Modified());
        QVERIFY(prompts().saveFilters.empty());
    }

    void undoingBackToTheSavedStateClearsModifiedAndNewForgetsTheSteps() {
        openThroughTheDialog(writeTwoItemProject("sliders/undo.vsk"));
        QVERIFY(!find<QAction>(names::Undo1).isEnabled());
        changeWidthTo(700);
        trigger(names::Save1);
        changeWidthTo(800);
        trigger(names::Undo1);
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 700);
        QVERIFY(!window().Modified());
        trigger(names::Undo1);
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 640);
        QVERIFY(window().Modified());
        trigger(names::Redo1);
        QVERIFY(!window().Modified());
        trigger(names::New1);
        QVERIFY(!find<QAction>(names::Undo1).isEnabled());
        QVERIFY(!find<QAction>(names::Redo1).isEnabled());
    }

    void aNameTypedWithoutExtensionIsKeptAsTyped() {
        const QString folder = text(path("web"));
        changeWidthTo(660);
        prompts().saveFiles = {folder + QStringLiteral("/demo")};
        trigger(names::Save1);
        QCOMPARE(prompts().saveFilters, std::vector<QString>{kFilter});
        QCOMPARE(prompts().saveFolders, std::vector<QString>{documentsFolder()});
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(text(publisher().saves[0].folder), folder + QStringLiteral("/"));
        QCOMPARE(publisher().saves[0].name, "demo");
        QCOMPARE(text(window().ProjectFileName()), folder + QStringLiteral("/demo"));
        QVERIFY(!window().Modified());

        changeWidthTo(670);
        trigger(names::Save1);
        QCOMPARE(prompts().saveFilters.size(), 1u);
        QCOMPARE(publisher().saves.size(), 2u);
        QCOMPARE(text(publisher().saves[1].folder), folder + QStringLiteral("/"));
        QCOMPARE(publisher().saves[1].name, "demo");
        QCOMPARE(publisher().saves[1].parameters.sliderWidth, "670");
    }

    void saveCancelledInItsDialogKeepsTheChanges() {
        changeWidthTo(660);
        prompts().saveFiles = {QString()};
        trigger(names::Save1);
        QVERIFY(publisher().saves.empty());
        QVERIFY(window().Modified());
        QVERIFY(window().ProjectFileName().empty());
    }

    void saveAsWritesToANewFolderAndTheNextSaveFollows() {
        const std::string file = writeTwoItemProject("old/show.vsk");
        openThroughTheDialog(file);
        const std::string moved = path("new/place/copy.vsk");
        prompts().saveFiles = {text(moved)};
        trigger(names::Save2);
        QCOMPARE(prompts().saveFolders, std::vector<QString>{documentsFolder()});
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, fs::path(moved).parent_path().string() + "/");
        QCOMPARE(publisher().saves[0].name, "copy.vsk");
        QCOMPARE(window().ProjectFileName(), moved);
        QVERIFY(!window().Modified());

        changeWidthTo(900);
        trigger(names::Save1);
        QCOMPARE(publisher().saves.size(), 2u);
        QCOMPARE(publisher().saves[1].folder, fs::path(moved).parent_path().string() + "/");
        QCOMPARE(publisher().saves[1].name, "copy.vsk");
        // Saving leaves the list alone.
        QCOMPARE(recentEntries(), QStringList{"&1 " + text(file)});
    }

    void saveAsCancelledOrFailingChangesNothing() {
        changeWidthTo(660);
        window().setProjectFileName("/p/show.vsk");
        prompts().saveFiles = {QString()};
        trigger(names::Save2);
        QVERIFY(publisher().saves.empty());
        publisher().failure = "Disk full";
        prompts().saveFiles = {text(path("full/show.vsk"))};
        trigger(names::Save2);
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("Disk full"));
        QCOMPARE(window().ProjectFileName(), "/p/show.vsk");
        QVERIFY(window().Modified());
    }

    // Every project names its pictures slider0, slider1, ...: a save into a folder where another project was
    // published asks before it replaces that project's pictures, and No or Cancel changes nothing.
    void saveIntoAnotherProjectsFolderAsksFirst() {
        openThroughTheDialog(writeTwoItemProject("mine/show.vsk"));
        test::writeBytes(path("shared site/other_PublishReport.txt"),
                         "[Image and/or Sound File(s)]: They should be copied along with script files!\r\n"
                         "  slider1.jpg\r\n\r\n");
        const QString target = text(path("shared site/show.vsk"));
        for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Cancel}) {
            prompts().saveFiles = {target};
            prompts().answers = {answer};
            trigger(names::Save2);
            QVERIFY(publisher().saves.empty());
        }
        QCOMPARE(prompts().messages.size(), 2u);
        QVERIFY2(prompts().messages[0].text.contains(QStringLiteral("whose page is other.html: slider1.jpg.")),
                 qPrintable(prompts().messages[0].text));
        QCOMPARE(prompts().messages[0].buttons, PromptButtons::YesNoCancel);
        prompts().saveFiles = {target};
        prompts().answers = {PromptAnswer::Yes};
        trigger(names::Save2);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(window().ProjectFileName(), path("shared site/show.vsk"));
    }

    // A folder typed into the dialog is made before anything is written, as the command-line tool makes
    // its --to folder; one that cannot be made is named, and nothing is saved.
    void saveAsMakesAFolderTypedIntoTheDialog() {
        changeWidthTo(680);
        const fs::path folder = m_folders.root().path() / "new site" / "slides";
        prompts().saveFiles = {text((folder / "show.vsk").string())};
        trigger(names::Save2);
        QVERIFY(prompts().messages.empty());
        QVERIFY(fs::is_directory(folder));
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, folder.string() + "/");
        QVERIFY(!window().Modified());

        changeWidthTo(690);
        const std::string blocker = path("blocker");
        test::writeBytes(blocker, "a file where a folder should be");
        prompts().saveFiles = {text(blocker + "/inner/show.vsk")};
        trigger(names::Save2);
        QCOMPARE(prompts().messages.size(), 1u);
        QVERIFY2(prompts().messages[0].text.startsWith("The folder " + text(blocker + "/inner") + " cannot be made"),
                 qPrintable(prompts().messages[0].text));
        QVERIFY(prompts().messages[0].text.endsWith(QStringLiteral("Nothing was saved.")));
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(window().ProjectFileName(), (folder / "show.vsk").string());
        QVERIFY(window().Modified());
    }

    // Publishing stops at the first picture it cannot read; the message names every such picture, so that
    // one round of mending is enough. A failure of anything else keeps its own message.
    void aSaveThatMeetsUnreadablePicturesNamesThemAll() {
        const std::string first = path("pictures/first.jpg");
        test::writeBytes(first, "this is text, not a picture");
        const std::string second = path("pictures/second.bmp");
        test::writeBytes(second, "BM and then nothing");
        const std::string project = path("show.vsk");
        test::writeProject(project, {{first, 0}, {path("pictures/gone.jpg"), 0}, {second, 0}});
        openThroughTheDialog(project);
        changeWidthTo(700);
        publisher().failure = "JPEG error #53: Not a JPEG file";
        trigger(names::Save1);
        QCOMPARE(prompts().messages.size(), 1u);
        const QStringList lines = prompts().messages[0].text.split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("2 pictures cannot be read, so nothing was saved:"));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Item 1: ")) && lines[1].contains(text(first)),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith(QStringLiteral("Item 3: ")) && lines[2].contains(text(second)),
                 qPrintable(lines[2]));
        QVERIFY(window().Modified());

        fs::remove(first);
        fs::remove(second);
        trigger(names::Save1);
        QCOMPARE(prompts().messages.size(), 2u);
        QCOMPARE(prompts().messages[1].text, QStringLiteral("JPEG error #53: Not a JPEG file"));
    }

    // An opened project tells at once which of its pictures are missing, not only after the next save.
    void openingAProjectWithMissingPicturesSaysSo() {
        const std::string present = path("pictures/here.jpg");
        test::writeBytes(present, "a picture");
        const std::string project = path("some.vsk");
        test::writeProject(project, {{present, 0}, {"/p/gone.jpg", 0}, {"", 0}});
        openThroughTheDialog(project);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("1 picture was not found: see its node for its path. 1 item has no picture."));
        QCOMPARE(window().itemTree().nodeAt(1)->toolTip(0), QString());
        QCOMPARE(window().itemTree().nodeAt(2)->toolTip(0), QStringLiteral("/p/gone.jpg"));
        QCOMPARE(window().itemTree().nodeAt(3)->toolTip(0),
                 QStringLiteral("This item has no picture: choose one on its page."));
        QCOMPARE(designer().outline().at(1), QStringLiteral("  here.jpg"));
        QCOMPARE(designer().outline().at(2), QStringLiteral("  Warning: Original image not found."));
        QVERIFY(!window().Modified());
    }

    // After a save the hint line says where the files went.
    void aSaveTellsWhereItWent() {
        changeWidthTo(700);
        const std::string file = path("site/show.vsk");
        prompts().saveFiles = {text(file)};
        trigger(names::Save1);
        // The page, its style sheet, the two scripts, the project file and the report: no item, no picture.
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 "Saved 6 files to " + text(fs::path(file).parent_path().string() + "/"));
    }

    void savingWhileTheRootIsSelectedStoresTheItemLastShown() {
        find<QToolButton>(names::tlbtnInsert).click();
        designer().select(0);
        find<QToolButton>(names::tlbtnInsert).click();
        designer().select(2);
        find<QComboBox>(names::cmbx_ILink).setEditText(QStringLiteral("https://example.com/second"));
        find<QLineEdit>(names::edt_IToolTip).setText(QStringLiteral("Second picture"));
        designer().select(0);
        find<QComboBox>(names::cmbx_ILink).setEditText(QStringLiteral("https://example.com/later"));
        window().setProjectFileName("/web/show.vsk");
        trigger(names::Save1);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].items.at(0).ILink, "");
        QCOMPARE(publisher().saves[0].items.at(1).ILink, "https://example.com/later");
        QCOMPARE(publisher().saves[0].items.at(1).IToolTip, "Second picture");
    }

    void theFirstStartHasAnEmptyRecentFilesList() {
        QVERIFY(fs::is_regular_file(recentFileList()));
        QCOMPARE(fs::file_size(recentFileList()), std::uintmax_t{0});
        QVERIFY(recentEntries().isEmpty());
    }

    void theRecentFilesMenuIsBuiltFromTheListAtStart() {
        test::writeBytes(recentFileList(), "&1 /p/one.vsk\r\n\r\n&3 /p/three.vsk\r\n&4 /p/four.vsk\r\n&5 /p/x.vsk\r\n");
        test::DesignerWindow another{m_folders};
        QStringList captions;
        for (const QAction* entry : another.find<QMenu>(names::mnitRecentFiles).actions())
            captions << entry->text();
        QCOMPARE(captions, (QStringList{"&1 /p/one.vsk", "&3 /p/three.vsk", "&4 /p/four.vsk"}));
    }

    void fiveProjectsLeaveTheLatestFourAndReopeningMovesNothing() {
        std::vector<std::string> files;
        for (int i = 1; i <= 5; ++i) {
            files.push_back(writeTwoItemProject("P" + std::to_string(i) + ".vsk"));
            openThroughTheDialog(files.back());
        }
        const QStringList latestFour{"&1 " + text(files[4]), "&2 " + text(files[3]), "&3 " + text(files[2]),
                                     "&4 " + text(files[1])};
        QCOMPARE(recentEntries(), latestFour);
        QCOMPARE(test::readBytes(recentFileList()), (latestFour.join(QStringLiteral("\r\n")) + "\r\n").toStdString());

        recentEntry(3).trigger();
        QCOMPARE(window().ProjectFileName(), files[1]);
        QCOMPARE(recentEntries(), latestFour);
        openThroughTheDialog(files[2]);
        QCOMPARE(recentEntries(), latestFour);
        QVERIFY(prompts().messages.empty());
    }

    void aRecentEntryOpensItsFileAfterAskingToSave() {
        const std::string file = writeTwoItemProject("R&D/show.vsk");
        addToRecentFileList(designer().places, file);
        window().RebuildRecentFilesMenu();
        QCOMPARE(recentEntries(), QStringList{"&1 " + text(file)});
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::Cancel};
        recentEntry(0).trigger();
        QVERIFY(window().ProjectFileName().empty());
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 700);

        prompts().answers = {PromptAnswer::No};
        recentEntry(0).trigger();
        verifyTwoItemProjectShown(file);
        QCOMPARE(publisher().previewClears, 1);
    }

    void aDeletedRecentFileShowsTheLoadErrorAndKeepsTheOpenProject() {
        const std::string gone = writeTwoItemProject("gone.vsk");
        const std::string other = writeTwoItemProject("other.vsk");
        openThroughTheDialog(gone);
        openThroughTheDialog(other);
        fs::remove(gone);
        recentEntry(1).trigger();
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].buttons, PromptButtons::Ok);
        QCOMPARE(prompts().messages[0].text, "File not found: " + text(gone));
        verifyTwoItemProjectShown(other);
        QCOMPARE(recentEntries(), (QStringList{"&1 " + text(other), "&2 " + text(gone)}));
        verifyTheTreeWorks(3);
    }

    void aTruncatedFileKeepsTheOpenProject() {
        const std::string file = writeTwoItemProject("cut.vsk");
        std::string bytes = test::readBytes(file);
        bytes.resize(bytes.find("</Item_Parameters>"));
        test::writeBytes(file, bytes);
        openThroughTheDialog(writeTwoItemProject("whole.vsk"));
        openThroughTheDialog(file);
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].text,
                 "The project file " + text(file) +
                     " is incomplete: it ends before its list of items is closed. Nothing was loaded.");
        verifyTwoItemProjectShown(path("whole.vsk"));
        QCOMPARE(recentEntries().size(), 1);
        verifyTheTreeWorks(3);
    }

    // A new project shows "Test on Local Computer"; a project saved for uploading must show its own choice.
    void openingAfterNewShowsTheLoadedPathChoice() {
        TkvlAppletAgent uploading;
        uploading.SetDefaults();
        TAppletData data = uploading.GetAppletData();
        data.InternalUse_RootDir_Local_Checked = "0";
        uploading.SetAppletData(data);
        SilentProgressView progress;
        uploading.SaveToFile(path("upload.vsk"), progress);
        trigger(names::New1);
        openThroughTheDialog(path("upload.vsk"));
        QVERIFY(!find<QRadioButton>(names::InternalUse_RootDir_Local_Checked).isChecked());
        QVERIFY(find<QRadioButton>(names::InternalUse_RootDir_Local_Checked2).isChecked());
        QVERIFY(!window().Modified());
        trigger(names::New1);
        QVERIFY(find<QRadioButton>(names::InternalUse_RootDir_Local_Checked).isChecked());
    }

    void aPictureOrTextOpenedAsAProjectIsCalledNoProjectFile() {
        for (const auto& [name, bytes] : {std::pair{"photo.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10)},
                                          std::pair{"notes.txt", std::string("Dear diary\r\n")}}) {
            const std::string file = path(name);
            test::writeBytes(file, bytes);
            prompts().messages.clear();
            openThroughTheDialog(file);
            QCOMPARE(prompts().messages.size(), 1u);
            QCOMPARE(prompts().messages[0].text,
                     "The file " + text(file) + " is not a Veskaro project file. Nothing was loaded.");
            verifyCleanNewProject();
        }
        QVERIFY(recentEntries().isEmpty());
    }

    // The changes the user chose to give up for the other file stay, since that file never came: the open
    // project is lost only to a project that replaces it.
    void aForeignFileKeepsTheOpenProjectWithItsChangesAndSaveDoesNotWriteOverIt() {
        const std::string foreign = path("foreign.vsk");
        test::writeBytes(foreign, "<Product_Name>\r\nSomething Else\r\n</Product_Name>\r\n");
        const std::string ours = writeTwoItemProject("ours.vsk");
        openThroughTheDialog(ours);
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::No};
        openThroughTheDialog(foreign);
        QCOMPARE(prompts().messages.size(), 2u);
        QCOMPARE(prompts().messages[1].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[1].buttons, PromptButtons::Ok);
        QCOMPARE(prompts().messages[1].text, QStringLiteral("This file wasn't saved by Veskaro 1.0, open failed!"));
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  a.jpg", "    b.jpg"}));
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 700);
        QCOMPARE(window().ProjectFileName(), ours);
        QVERIFY(window().Modified());
        QCOMPARE(recentEntries().at(0), "&1 " + text(foreign));

        trigger(names::Save1);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].name, "ours.vsk");
        QCOMPARE(publisher().saves[0].parameters.sliderWidth, "700");
        QVERIFY(prompts().saveFilters.empty());
        verifyTheTreeWorks(3);
    }

    void theCommandLineOpensAPathSplitAtItsBlank() {
        const std::string file = writeTwoItemProject("My Slides/show.vsk");
        const std::string folder = fs::path(file).parent_path().parent_path().string();
        changeWidthTo(700);
        window().openCommandLineFile(commandLineFileName({folder + "/My", "Slides/show.vsk"}));
        QVERIFY(prompts().messages.empty());
        verifyTwoItemProjectShown(file);
        QCOMPARE(recentEntries(), QStringList{"&1 " + text(file)});
    }

    void theCommandLineDropsTheErrorOfAMissingFile() {
        window().openCommandLineFile(path("missing.vsk"));
        QVERIFY(prompts().messages.empty());
        verifyCleanNewProject();
        QVERIFY(recentEntries().isEmpty());
        window().openCommandLineFile(commandLineFileName({" "}));
        QVERIFY(prompts().messages.empty());
    }

    void aFileBeyondTheSizeLimitOrADeviceIsRefusedWithItsMessage() {
        const std::string sparse = path("huge.vsk");
        test::writeBytes(sparse, "");
        fs::resize_file(sparse, 3'000'000'000);
        openThroughTheDialog(sparse);
        openThroughTheDialog("/dev/zero");
        QCOMPARE(prompts().messages.size(), 2u);
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].text, "The project file " + text(sparse) +
                                                 " is larger than 64 MiB, which no slider project comes near. Nothing "
                                                 "was loaded.");
        QCOMPARE(prompts().messages[1].text,
                 QStringLiteral("The project file /dev/zero is not a regular file. Nothing was loaded."));
        verifyCleanNewProject();
        // At start the same refusal is silent, and the window starts without the file.
        window().openCommandLineFile(sparse);
        QCOMPARE(prompts().messages.size(), 2u);
        verifyCleanNewProject();
    }

    void aWindows1252ProjectKeepsEveryCharacterThroughOpenAndSave() {
        // The older program wrote the system's code page: "ü" as 0xFC, "é" as 0xE9, "€" as 0x80.
        const std::string file = path("older/show.vsk");
        test::writeProject(file, {{"/p/cafe.jpg", 0}});
        std::string bytes = test::readBytes(file);
        bytes.replace(bytes.find("Slider1"), 7,
                      "Gr\xFC\xDF"
                      "e");
        bytes.replace(bytes.find("/p/cafe.jpg"), 11, "/p/caf\xE9.jpg");
        bytes.replace(bytes.find("_self#$@"), 8, "_self#$@Caf\xE9 \x80 5");
        test::writeBytes(file, bytes);

        openThroughTheDialog(file);
        const std::string name = "Gr\xC3\xBC\xC3\x9F"
                                 "e";
        const std::string picture = "/p/caf\xC3\xA9.jpg";
        const std::string tip = "Caf\xC3\xA9 \xE2\x82\xAC 5";
        QCOMPARE(find<QLineEdit>(names::pSliderName).text(), text(name));
        // The picture is missing: the node says so, and its tip gives the path in full.
        QCOMPARE(designer().outline(),
                 (QStringList{QStringLiteral("Veskaro"), QStringLiteral("  Warning: Original image not found.")}));
        QCOMPARE(window().itemTree().nodeAt(1)->toolTip(0), text(picture));
        designer().select(1);
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(), text(picture));
        QCOMPARE(find<QLineEdit>(names::edt_IToolTip).text(), text(tip));

        changeWidthTo(700);
        trigger(names::Save1);
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].parameters.pSliderName, name);
        QCOMPARE(publisher().saves[0].items.at(0).IOriginalImagePath, picture);
        QCOMPARE(publisher().saves[0].items.at(0).IToolTip, tip);

        // A path chosen in the dialog reaches the save as UTF-8 too.
        const std::string elsewhere = path("Gr\xC3\xBC\xC3\x9F"
                                           "e/copy.vsk");
        prompts().saveFiles = {text(elsewhere)};
        trigger(names::Save2);
        QCOMPARE(publisher().saves.size(), 2u);
        QCOMPARE(publisher().saves[1].folder, fs::path(elsewhere).parent_path().string() + "/");
        QCOMPARE(window().ProjectFileName(), elsewhere);
    }

    void theCommandLineStillShowsTheForeignFileMessage() {
        const std::string foreign = path("foreign.vsk");
        test::writeBytes(foreign, "<Product_Name>\r\nSomething Else\r\n</Product_Name>\r\n");
        window().openCommandLineFile(foreign);
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("This file wasn't saved by Veskaro 1.0, open failed!"));
        verifyCleanNewProject();
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "ProjectCommandsTest.moc"
