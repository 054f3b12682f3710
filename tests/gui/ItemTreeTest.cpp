#include "DesignerTestCase.h"

#include "ui/ColorPanel.h"
#include "ui/ItemTreeWidget.h"
#include "ui/SpinEdit.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace veskaro;
namespace names = veskaro::names;

class ItemTreeTest : public test::DesignerTestCase {
    Q_OBJECT

    bool enabled(const char* popupEntry, const char* menuEntry, const char* toolButton) {
        const bool state = find<QAction>(popupEntry).isEnabled();
        if (find<QAction>(menuEntry).isEnabled() != state || find<QToolButton>(toolButton).isEnabled() != state)
            throw std::logic_error("the three controls of a command disagree");
        return state;
    }
    bool insertEnabled() { return enabled(names::Insert1, names::Insert2, names::tlbtnInsert); }
    bool deleteEnabled() { return enabled(names::Delete1, names::Delete2, names::tlbtnDelete); }
    bool moveUpEnabled() { return enabled(names::MoveUp1, names::MoveUp2, names::tlbtnMoveUp); }
    bool moveDownEnabled() { return enabled(names::MoveDown1, names::MoveDown2, names::tlbtnMoveDown); }

    // Inserts below the root, which each insert leaves for the new item.
    void insertItems(int count) {
        for (int i = 0; i < count; ++i) {
            designer().select(0);
            find<QToolButton>(names::tlbtnInsert).click();
        }
    }

    // X, Y with the children Y1 and Y2, and Z, read through the project file loader.
    void loadNestedProject() {
        const std::string path = m_folders.root() / "nested.vsk";
        test::writeProject(path,
                           {{"/p/x.jpg", 0}, {"/p/y.jpg", 0}, {"/p/y1.jpg", 1}, {"/p/y2.jpg", 1}, {"/p/z.jpg", 0}});
        designer().load(path);
    }

    QString linkShown() { return find<QComboBox>(names::cmbx_ILink).currentText(); }
    void typeLink(const QString& link) { find<QComboBox>(names::cmbx_ILink).setEditText(link); }

    // The items by their descriptions, each indented by the level of its node.
    QStringList itemOutline() {
        QStringList lines;
        for (int p = 1; p < window().itemTree().nodeCount(); ++p)
            lines << QString(2 * (window().itemTree().levelAt(p) - 1), u' ') +
                         QString::fromStdString(window().project().GetItem(p - 1).IToolTip);
        return lines;
    }

    // Inserts an item below the root for each description, typed into its page.
    void insertDescribed(const QStringList& descriptions) {
        for (const QString& description : descriptions) {
            insertItems(1);
            designer().select(window().project().itemCount());
            find<QLineEdit>(names::edt_IToolTip).setText(description);
            designer().select(0);
        }
    }

    QString undoCaption() { return find<QAction>(names::Undo1).text(); }

    // Draws a small JPEG picture into the test's folder and returns its path.
    QString drawnPicture(const std::string& name) {
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString file = QString::fromStdString(m_folders.root() / name);
        if (!image.save(file, "JPG"))
            throw std::runtime_error("cannot write the picture " + name);
        return file;
    }

    enum class Drop { Onto, Above, Below };

    // Drags the node at one position to a node at another, as the mouse would; tells whether it was taken.
    bool dragNode(int from, int to, Drop where) {
        window().show();
        if (!QTest::qWaitForWindowExposed(&window()))
            throw std::runtime_error("the window does not show");
        auto& tree = static_cast<ItemTreeWidget&>(designer().tree());
        const QRect rect = tree.visualItemRect(window().itemTree().nodeAt(to));
        const QPoint point(rect.center().x(), where == Drop::Onto    ? rect.center().y()
                                              : where == Drop::Above ? rect.top() + 1
                                                                     : rect.bottom() - 1);
        const std::unique_ptr<QMimeData> data(tree.nodeDragData(window().itemTree().nodeAt(from)));
        const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter(point, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &enter);
        QDragMoveEvent move(point, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(point, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &drop);
        return drop.isAccepted();
    }

private slots:
    // The new item is selected and shown, however long the tree: its page is where the user goes next.
    void insertAddsALastChildOfTheRootAndSelectsIt() {
        insertItems(2);
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image", "  Image"}));
        QCOMPARE(designer().selectedPosition(), 2);
        QCOMPARE(designer().visibleTabs(), QStringList{"Item General"});
        QVERIFY(!insertEnabled());
        QVERIFY(deleteEnabled());
        QVERIFY(moveUpEnabled());
        QVERIFY(!moveDownEnabled());
        QCOMPARE(window().project().itemCount(), 2);
        const TItemData inserted = window().project().GetItem(1);
        QCOMPARE(inserted.ILevel, "0");
        // The level is copied over rather than assigned from its literal, which GCC 12 misreads at -O3 as
        // an overlapping copy.
        TItemData expected = TkvlAppletAgent::DefaultItem();
        expected.ILevel = inserted.ILevel;
        QCOMPARE(inserted, expected);
        QVERIFY(window().Modified());
        QVERIFY(designer().tree().topLevelItem(0)->isExpanded());
    }

    void anItemInsertedAtTheEndOfALongTreeIsScrolledIntoView() {
        window().resize(800, 500);
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        insertItems(60);
        QTreeWidget& tree = designer().tree();
        const QRect shown = tree.visualItemRect(tree.currentItem());
        QCOMPARE(designer().selectedPosition(), 60);
        QVERIFY(!shown.isEmpty());
        QVERIFY2(tree.viewport()->rect().contains(shown), "the new node lies within the tree's view");
    }

    // Selecting changes no value: the project stays as it was saved, and closing asks nothing.
    void selectingAnItemShowsItsPageAndLeavesTheProjectUnmodified() {
        insertItems(3);
        window().setModified(false);
        designer().select(1);
        QCOMPARE(designer().visibleTabs(), QStringList{"Item General"});
        QCOMPARE(designer().activeTab(), QStringLiteral("Item General"));
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Save1).isEnabled());
        QVERIFY(!insertEnabled());
        QVERIFY(!find<QPushButton>(names::btnBatchImportImgs).isEnabled());
        QVERIFY(deleteEnabled());
        QVERIFY(!moveUpEnabled());
        QVERIFY(moveDownEnabled());
        QCOMPARE(find<QComboBox>(names::cmbx_ITarget).currentText(), QStringLiteral("_self"));
        designer().select(3);
        QVERIFY(moveUpEnabled());
        QVERIFY(!moveDownEnabled());
        designer().select(0);
        QCOMPARE(designer().visibleTabs(), (QStringList{"Script", "Path"}));
        QCOMPARE(designer().activeTab(), QStringLiteral("Script"));
        QVERIFY(insertEnabled());
        QVERIFY(!deleteEnabled());
        QVERIFY(find<QPushButton>(names::btnBatchImportImgs).isEnabled());
    }

    void pageValuesAreStoredIntoTheItemThatIsLeft() {
        insertItems(2);
        designer().select(1);
        typeLink(QStringLiteral("https://example.com/x"));
        find<QLineEdit>(names::edt_IToolTip).setText(QStringLiteral("X"));
        designer().select(2);
        QCOMPARE(linkShown(), QString());
        typeLink(QStringLiteral("https://example.com/y"));
        designer().select(1);
        QCOMPARE(linkShown(), QStringLiteral("https://example.com/x"));
        QCOMPARE(find<QLineEdit>(names::edt_IToolTip).text(), QStringLiteral("X"));
        QCOMPARE(window().project().GetItem(1).ILink, "https://example.com/y");
        // The root keeps the last item's page; it reaches the item at the next store.
        designer().select(0);
        QCOMPARE(window().project().GetItem(0).ILink, "https://example.com/x");
        // The values that the page does not show stay.
        QCOMPARE(window().project().GetItem(0).ILevel, "0");
    }

    void tabChosenByHandStaysWhileThePagesNeedNoChange() {
        insertItems(1);
        designer().select(0);
        auto& pages = find<QTabWidget>(names::pgcntrl1);
        pages.setCurrentIndex(pages.indexOf(&find<QWidget>(names::tbshtPath)));
        window().trvwDesignPanelMouseDown();
        QCOMPARE(designer().activeTab(), QStringLiteral("Path"));
    }

    void deletingTheRootIsRefused() {
        insertItems(1);
        designer().select(0);
        window().setModified(false);
        window().Delete1Click();
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("Root item cannot be deleted."));
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].buttons, PromptButtons::Ok);
        QCOMPARE(window().project().itemCount(), 1);
        QVERIFY(!window().Modified());
    }

    void deleteAnsweredNoChangesNothing() {
        insertItems(2);
        designer().select(2);
        window().setModified(false);
        prompts().answers = {PromptAnswer::No};
        find<QToolButton>(names::tlbtnDelete).click();
        QCOMPARE(prompts().messages.at(0).text,
                 QStringLiteral("Are you sure to delete this item and all its children?"));
        QCOMPARE(prompts().messages.at(0).icon, PromptIcon::Warning);
        QCOMPARE(prompts().messages.at(0).buttons, PromptButtons::YesNo);
        QCOMPARE(window().project().itemCount(), 2);
        QCOMPARE(designer().outline().size(), 3);
        QCOMPARE(designer().selectedPosition(), 2);
        QVERIFY(!window().Modified());
    }

    void deleteRemovesTheWholeSubtreeAndItsItems() {
        loadNestedProject();
        QCOMPARE(designer().outline(),
                 (QStringList{"Veskaro", "  x.jpg", "  y.jpg", "    y1.jpg", "    y2.jpg", "  z.jpg"}));
        designer().select(5);
        typeLink(QStringLiteral("https://example.com/z"));
        designer().select(2);
        prompts().answers = {PromptAnswer::Yes};
        find<QAction>(names::Delete2).trigger();
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  x.jpg", "  z.jpg"}));
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/x.jpg", "/p/z.jpg"}));
        // The node that takes the selection is shown, and nothing was stored into a wrong item.
        const int selected = designer().selectedPosition();
        QVERIFY(selected == 1 || selected == 2);
        QCOMPARE(find<QLineEdit>(names::edtOriginalImagePath).text(),
                 QString::fromStdString(window().project().GetItem(selected - 1).IOriginalImagePath));
        QCOMPARE(window().project().GetItem(1).ILink, "https://example.com/z");
    }

    void deletingTheLastChildSelectsTheRoot() {
        insertItems(1);
        designer().select(1);
        prompts().answers = {PromptAnswer::Yes};
        window().Delete1Click();
        QCOMPARE(designer().outline(), QStringList{"Veskaro"});
        QCOMPARE(window().project().itemCount(), 0);
        QCOMPARE(designer().selectedPosition(), 0);
        QCOMPARE(designer().visibleTabs(), (QStringList{"Script", "Path"}));
        QVERIFY(insertEnabled());
        QVERIFY(!deleteEnabled());
    }

    void moveUpCarriesTheItemPastItsPreviousSibling() {
        insertItems(3);
        for (int position = 1; position <= 3; ++position) {
            designer().select(position);
            find<QLineEdit>(names::edtOriginalImagePath)
                .setText(QStringLiteral("/p/%1.jpg").arg(QChar(u'w' + position)));
        }
        designer().select(0);
        designer().select(3);
        find<QToolButton>(names::tlbtnMoveUp).click();
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/x.jpg", "/p/z.jpg", "/p/y.jpg"}));
        QCOMPARE(designer().selectedPosition(), 2);
        QVERIFY(moveUpEnabled());
        QVERIFY(moveDownEnabled());
        // The page still belongs to the moved item: the next store goes to its new place.
        typeLink(QStringLiteral("https://example.com/z"));
        designer().select(1);
        QCOMPARE(window().project().GetItem(1).ILink, "https://example.com/z");
        QCOMPARE(window().project().GetItem(2).ILink, "");
    }

    void moveUpTakesTheWholeSubtreeAlong() {
        loadNestedProject();
        designer().select(2);
        find<QAction>(names::MoveUp1).trigger();
        QCOMPARE(designer().outline(),
                 (QStringList{"Veskaro", "  y.jpg", "    y1.jpg", "    y2.jpg", "  x.jpg", "  z.jpg"}));
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/y.jpg", "/p/y1.jpg", "/p/y2.jpg", "/p/x.jpg", "/p/z.jpg"}));
        QCOMPARE(designer().selectedPosition(), 1);
        QVERIFY(designer().tree().currentItem()->isExpanded());
        QVERIFY(!moveUpEnabled());
    }

    void moveUpPastASiblingWithChildren() {
        loadNestedProject();
        designer().select(5);
        window().MoveUp1Click();
        QCOMPARE(designer().outline(),
                 (QStringList{"Veskaro", "  x.jpg", "  z.jpg", "  y.jpg", "    y1.jpg", "    y2.jpg"}));
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/x.jpg", "/p/z.jpg", "/p/y.jpg", "/p/y1.jpg", "/p/y2.jpg"}));
        QCOMPARE(designer().selectedPosition(), 2);
    }

    void moveDownTakesTheWholeSubtreeBehindTheNextSibling() {
        loadNestedProject();
        designer().select(2);
        find<QAction>(names::MoveDown2).trigger();
        QCOMPARE(designer().outline(),
                 (QStringList{"Veskaro", "  x.jpg", "  z.jpg", "  y.jpg", "    y1.jpg", "    y2.jpg"}));
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/x.jpg", "/p/z.jpg", "/p/y.jpg", "/p/y1.jpg", "/p/y2.jpg"}));
        QCOMPARE(designer().selectedPosition(), 3);
        QVERIFY(!moveDownEnabled());
        designer().select(1);
        window().MoveDown1Click();
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/z.jpg", "/p/x.jpg", "/p/y.jpg", "/p/y1.jpg", "/p/y2.jpg"}));
    }

    void movesAmongChildrenStayInsideTheirParent() {
        loadNestedProject();
        designer().select(4);
        QVERIFY(moveUpEnabled());
        QVERIFY(!moveDownEnabled());
        window().MoveUp1Click();
        QCOMPARE(designer().outline(),
                 (QStringList{"Veskaro", "  x.jpg", "  y.jpg", "    y2.jpg", "    y1.jpg", "  z.jpg"}));
        QCOMPARE(designer().itemPaths(), (QStringList{"/p/x.jpg", "/p/y.jpg", "/p/y2.jpg", "/p/y1.jpg", "/p/z.jpg"}));
    }

    void rightClickSelectsTheNodeBeforeTheMenuOpens() {
        insertItems(2);
        window().show();
        QTreeWidget& tree = designer().tree();
        const QRect second = tree.visualItemRect(window().itemTree().nodeAt(2));
        emit tree.customContextMenuRequested(second.center());
        QCOMPARE(designer().selectedPosition(), 2);
        auto& menu = find<QMenu>(names::PopupMenu1);
        QVERIFY(menu.isVisible());
        QVERIFY(find<QAction>(names::Delete1).isEnabled());
        QVERIFY(!find<QAction>(names::Insert1).isEnabled());
        menu.close();
    }

    void previewShowsTheItemsPictureWhenItExists() {
        const std::string picture = m_folders.root() / "red.bmp";
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(QString::fromStdString(picture), "BMP"));
        const std::string broken = m_folders.root() / "broken.jpg";
        test::writeBytes(broken, "not a picture");
        insertItems(3);
        for (const auto& [position, path] :
             {std::pair{1, picture}, {2, std::string("/no/such/file.jpg")}, {3, broken}}) {
            designer().select(position);
            find<QLineEdit>(names::edtOriginalImagePath).setText(QString::fromStdString(path));
        }
        auto& preview = find<QLabel>(names::imgPreview);
        designer().select(1);
        QVERIFY(!preview.isHidden());
        QCOMPARE(preview.pixmap().toImage().pixelColor(10, 10), QColor(Qt::red));
        designer().select(2);
        QVERIFY(preview.isHidden());
        designer().select(3);
        QVERIFY(!preview.isHidden());
        QVERIFY(preview.pixmap().isNull());
        QCOMPARE(preview.text(), QStringLiteral("This picture cannot be shown."));
    }

    // --- Undo, redo, duplicate, drag and drop ---

    void editMenuNamesTheStepItWouldUndoOrRedo() {
        QStringList menus;
        for (const QAction* menu : window().menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus.mid(0, 3), (QStringList{"&File", "&Edit", "&View"}));
        QVERIFY(!find<QAction>(names::Undo1).isEnabled());
        QVERIFY(!find<QToolButton>(names::tlbtnUndo).isEnabled());
        insertDescribed({"A", "B"});
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Typing"));
        designer().select(1);
        prompts().answers = {PromptAnswer::Yes};
        find<QAction>(names::Delete2).trigger();
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Delete"));
        QCOMPARE(itemOutline(), QStringList{"B"});

        find<QToolButton>(names::tlbtnUndo).click();
        QCOMPARE(itemOutline(), (QStringList{"A", "B"}));
        QCOMPARE(designer().selectedPosition(), 1);
        QCOMPARE(find<QLineEdit>(names::edt_IToolTip).text(), QStringLiteral("A"));
        QCOMPARE(find<QAction>(names::Redo1).text(), QStringLiteral("&Redo Delete"));
        find<QToolButton>(names::tlbtnRedo).click();
        QCOMPARE(itemOutline(), QStringList{"B"});
        QVERIFY(!find<QAction>(names::Redo1).isEnabled());
    }

    // Each command, run through its own control, names its step in the Edit menu's entries.
    void everyStepIsNamedInTheUndoAndRedoEntries_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("step");
        const QStringList steps{"Insert",        "Move Up",        "Move Down",     "Number Change",
                                "Option Change", "Picture Import", "Colour Change", "Typing"};
        for (int command = 0; command < steps.size(); ++command)
            QTest::newRow(qPrintable(steps[command])) << command << steps[command];
    }

    void everyStepIsNamedInTheUndoAndRedoEntries() {
        QFETCH(int, command);
        QFETCH(QString, step);
        insertDescribed({"A", "B"});
        switch (command) {
        case 0:
            find<QAction>(names::Insert2).trigger();
            break;
        case 1:
            designer().select(2);
            find<QAction>(names::MoveUp1).trigger();
            break;
        case 2:
            designer().select(1);
            find<QToolButton>(names::tlbtnMoveDown).click();
            break;
        case 3:
            find<SpinEdit>(names::sliderHeight).setFocus();
            QTest::keyClick(&find<SpinEdit>(names::sliderHeight), Qt::Key_Up);
            break;
        case 4:
            find<QRadioButton>(names::InternalUse_RootDir_Local_Checked2).click();
            break;
        case 5:
            prompts().pictureFileLists = {QStringList{drawnPicture("a.jpg"), drawnPicture("b.jpg")}};
            find<QPushButton>(names::btnBatchImportImgs).click();
            break;
        case 6:
            prompts().colors = {QColor(1, 2, 3)};
            QTest::mouseClick(&find<ColorPanel>(names::navBtnBgColorHover), Qt::LeftButton);
            break;
        default:
            find<QLineEdit>(names::pSliderName).setText(QStringLiteral("Renamed"));
            break;
        }
        QCOMPARE(undoCaption(), "&Undo " + step);
        find<QAction>(names::Undo1).trigger();
        QCOMPARE(find<QAction>(names::Redo1).text(), "&Redo " + step);
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Typing"));
    }

    // The tree answers the keyboard as it answers the mouse: Delete with its question, Ctrl+Right and
    // Ctrl+Left one level in and out as undoable moves, Shift+F10 the context menu at the selected node.
    void theTreeIsWorkedByKeyboard() {
        insertDescribed({"A", "B", "C"});
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QTreeWidget& tree = designer().tree();
        tree.setFocus();
        designer().select(2);
        QTest::keyClick(&tree, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(itemOutline(), (QStringList{"A", "  B", "C"}));
        QCOMPARE(designer().selectedPosition(), 2);
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Move"));
        QVERIFY(!find<QAction>(names::MoveIn2).isEnabled());
        QTest::keyClick(&tree, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(itemOutline(), (QStringList{"A", "B", "C"}));
        QVERIFY(!find<QAction>(names::MoveOut2).isEnabled());
        find<QAction>(names::Undo1).trigger();
        QCOMPARE(itemOutline(), (QStringList{"A", "  B", "C"}));

        designer().select(3);
        QTest::keyClick(&tree, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(itemOutline(), (QStringList{"C", "A", "  B"}));

        auto& popup = find<QMenu>(names::PopupMenu1);
        QTest::keyClick(&tree, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(popup.isVisible());
        popup.hide();
        QCOMPARE(designer().selectedPosition(), 1);

        prompts().answers = {PromptAnswer::Yes};
        QTest::keyClick(&tree, Qt::Key_Delete);
        QCOMPARE(prompts().messages.at(0).text,
                 QStringLiteral("Are you sure to delete this item and all its children?"));
        QCOMPARE(itemOutline(), (QStringList{"A", "  B"}));

        designer().select(0);
        prompts().pictureFileLists = {QStringList{drawnPicture("d.jpg")}};
        find<QAction>(names::BatchImport2).trigger();
        QCOMPARE(designer().outline().last(), QStringLiteral("  d.jpg"));
        QVERIFY2(!find<QAction>(names::BatchImport2).isEnabled(), "an item is selected now");
    }

    void keysUndoTypingInAFieldAsOneStepAndDuplicateTheSelectedItem() {
        insertDescribed({"A"});
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        designer().select(1);
        auto& description = find<QLineEdit>(names::edt_IToolTip);
        description.setFocus();
        description.end(false);
        QTest::keyClicks(&description, QStringLiteral("xyz"));
        QCOMPARE(itemOutline(), QStringList{"Axyz"});
        QTest::keyClick(&description, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(itemOutline(), QStringList{"A"});
        QCOMPARE(description.text(), QStringLiteral("A"));
        QCOMPARE(find<QAction>(names::Redo1).text(), QStringLiteral("&Redo Typing"));
        QTest::keyClick(&description, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(description.text(), QStringLiteral("Axyz"));
        QTest::keyClick(&description, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&description, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(itemOutline(), QStringList{"Axyz"});

        window().setModified(false);
        QTest::keyClick(&designer().tree(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(itemOutline(), (QStringList{"Axyz", "Axyz"}));
        QCOMPARE(designer().selectedPosition(), 2);
        QVERIFY(window().Modified());
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Duplicate"));
        QTest::keyClick(&designer().tree(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(itemOutline(), QStringList{"Axyz"});
        QCOMPARE(designer().selectedPosition(), 1);
    }

    void draggingANodeOntoAnotherMakesItItsLastChildAndBetweenNodesPlacesIt() {
        insertDescribed({"A", "B", "C", "D"});
        QVERIFY(dragNode(4, 2, Drop::Onto));
        QCOMPARE(itemOutline(), (QStringList{"A", "B", "  D", "C"}));
        QCOMPARE(designer().selectedPosition(), 3);
        QCOMPARE(find<QLineEdit>(names::edt_IToolTip).text(), QStringLiteral("D"));
        QVERIFY(dragNode(2, 1, Drop::Above));
        QCOMPARE(itemOutline(), (QStringList{"B", "  D", "A", "C"}));
        QVERIFY(dragNode(4, 2, Drop::Below));
        QCOMPARE(itemOutline(), (QStringList{"B", "  D", "  C", "A"}));
        QCOMPARE(designer().outline(), (QStringList{"Veskaro", "  Image", "    Image", "    Image", "  Image"}));

        designer().select(4);
        QVERIFY2(dragNode(4, 0, Drop::Onto), "A, the root's last child already, stays");
        find<QLineEdit>(names::edt_IToolTip).setText(QStringLiteral("A2"));
        QVERIFY2(!dragNode(1, 2, Drop::Onto), "B into its own child D");
        QVERIFY2(!dragNode(0, 4, Drop::Onto), "the root");
        QCOMPARE(itemOutline(), (QStringList{"B", "  D", "  C", "A2"}));
        designer().tree().topLevelItem(0)->child(0)->setExpanded(false);
        find<QAction>(names::Undo1).trigger();
        QVERIFY2(!designer().tree().topLevelItem(0)->child(0)->isExpanded(),
                 "B stays folded when only a value changes");
        QCOMPARE(undoCaption(), QStringLiteral("&Undo Move"));
        for (int step = 0; step < 3; ++step)
            find<QAction>(names::Undo1).trigger();
        QCOMPARE(itemOutline(), (QStringList{"A", "B", "C", "D"}));
    }
};

QTEST_MAIN(ItemTreeTest)
#include "ItemTreeTest.moc"
