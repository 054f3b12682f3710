#include "DesignerTestCase.h"

#include "ui/ApplicationIdentity.h"
#include "ui/ColorPanel.h"
#include "ui/MainFormProgressView.h"
#include "ui/ParameterBinding.h"
#include "ui/SpinEdit.h"
#include "ui/TformWebBrowser.h"
#include "ui/TfrmHelp.h"
#include "ui/TfrmMsgBox_LinkTip.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace veskaro;
namespace names = veskaro::names;

class MainFormTest : public test::DesignerTestCase {
    Q_OBJECT

    bool saveEnabled() {
        return find<QAction>(names::Save1).isEnabled() && find<QToolButton>(names::tlbtnSave).isEnabled();
    }
    bool saveDisabled() {
        return !find<QAction>(names::Save1).isEnabled() && !find<QToolButton>(names::tlbtnSave).isEnabled();
    }

    void hover(const char* name) {
        QWidget& control = find<QWidget>(name);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), control.mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(&control, &enter);
    }

    void changeWidthTo(int width) {
        find<SpinEdit>(names::sliderWidth).setValue(width);
        QVERIFY(window().Modified());
    }

    // Shows the window, asks it to close, and tells whether it closed.
    bool closeWindow() {
        window().show();
        find<QAction>(names::Exit1).trigger();
        return !window().isVisible();
    }

private slots:
    void startsWithTheDefaultProject() {
        QCOMPARE(window().windowTitle(), QStringLiteral("Veskaro"));
        QCOMPARE(designer().outline(), QStringList{QStringLiteral("Veskaro")});
        QCOMPARE(designer().selectedPosition(), 0);
        QCOMPARE(designer().visibleTabs(), (QStringList{QStringLiteral("Script"), QStringLiteral("Path")}));
        QCOMPARE(designer().activeTab(), QStringLiteral("Script"));
        QVERIFY(!window().Modified());
        QVERIFY(saveDisabled());
        QCOMPARE(find<QLineEdit>(names::pSliderName).text(), QStringLiteral("Slider1"));
        QCOMPARE(find<SpinEdit>(names::sliderWidth).value(), 640);
        QCOMPARE(find<SpinEdit>(names::sliderHeight).value(), 480);
        QCOMPARE(find<ColorPanel>(names::navBtnBgColorHover).color(), QColor(0xC0, 0xC0, 0xC0));
        QVERIFY(find<QRadioButton>(names::InternalUse_RootDir_Local_Checked).isChecked());
        QVERIFY(find<QCheckBox>(names::pImageLeadingPathEnabled).isChecked());
        QVERIFY(find<QLineEdit>(names::pImageLeadingPath).isEnabled());
        QVERIFY(find<QAction>(names::Insert2).isEnabled());
        QVERIFY(find<QToolButton>(names::tlbtnInsert).isEnabled());
        QVERIFY(!find<QToolButton>(names::tlbtnDelete).isEnabled());
        QVERIFY(!find<QAction>(names::MoveUp1).isEnabled());
        QVERIFY(!find<QAction>(names::MoveDown2).isEnabled());
        QVERIFY(find<QPushButton>(names::btnBatchImportImgs).isEnabled());
        QVERIFY(window().ProjectFileName().empty());
        QVERIFY(prompts().messages.empty());
    }

    void hasItsSizeAndFramePieces() {
        QVERIFY(window().width() >= 782);
        QVERIFY(window().height() >= 470);
        QCOMPARE(find<QToolBar>(names::tlbr1).isMovable(), false);
        QCOMPARE(find<QLabel>(names::stctxtHint).width(), 338);
        QVERIFY(!find<QProgressBar>(names::prgrsbrMainFormBottom).isTextVisible());
    }

    void everyComponentIsThereUnderItsName_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {names::tlbr1,
                                 names::pnlTreeView,
                                 names::trvwDesignPanel,
                                 names::Splitter1,
                                 names::pgcntrl1,
                                 names::tbshtScript,
                                 names::tbshtItemGeneral,
                                 names::tbshtPath,
                                 names::StatusBar1,
                                 names::stctxtHint,
                                 names::prgrsbrMainFormBottom,
                                 names::MainMenu1,
                                 names::PopupMenu1,
                                 names::mnitRecentFiles,
                                 names::btnBatchImportImgs,
                                 names::grpbx_Script_Menu,
                                 names::GroupBox1,
                                 names::GroupBox9,
                                 names::GroupBox12,
                                 names::GroupBox7,
                                 names::GroupBox10,
                                 names::GroupBox2,
                                 names::imgPreview,
                                 names::GroupBox5,
                                 names::CheckGroupBox1,
                                 names::spdbtnOriginalImagePath,
                                 names::spdbtnItURL,
                                 names::SpeedButton1,
                                 names::SpeedButton2,
                                 names::SpeedButton11,
                                 names::SpeedButton13,
                                 names::SpeedButton24,
                                 names::SpeedButton19,
                                 names::SpeedButton28})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyComponentIsThereUnderItsName() {
        QFETCH(QString, name);
        QVERIFY(window().findChild<QObject*>(name));
    }

    void menusHaveTheirCaptionsAndShortcuts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const QKeySequence none;
        QTest::newRow("New1") << "New1"
                              << "&New..." << QKeySequence(QStringLiteral("Ctrl+N"));
        QTest::newRow("Open1") << "Open1"
                               << "&Open..." << QKeySequence(QStringLiteral("Ctrl+O"));
        QTest::newRow("Save1") << "Save1"
                               << "&Save" << QKeySequence(QStringLiteral("Ctrl+S"));
        QTest::newRow("Save2") << "Save2"
                               << "Save &As..." << QKeySequence(QStringLiteral("Ctrl+Shift+S"));
        QTest::newRow("Exit1") << "Exit1"
                               << "E&xit" << QKeySequence(QStringLiteral("Ctrl+Q"));
        QTest::newRow("ToolBar1") << "ToolBar1"
                                  << "&Tool Bar" << none;
        QTest::newRow("StatusBar2") << "StatusBar2"
                                    << "&Status Bar" << none;
        QTest::newRow("Insert2") << "Insert2"
                                 << "I&nsert" << QKeySequence(QStringLiteral("Ins"));
        QTest::newRow("Delete2") << "Delete2"
                                 << "&Delete" << none;
        QTest::newRow("MoveUp2") << "MoveUp2"
                                 << "Move &Up" << QKeySequence(QStringLiteral("Ctrl+Up"));
        QTest::newRow("MoveDown2") << "MoveDown2"
                                   << "Move &Down" << QKeySequence(QStringLiteral("Ctrl+Down"));
        QTest::newRow("MoveIn2") << "MoveIn2"
                                 << "Move &In" << QKeySequence(QStringLiteral("Ctrl+Right"));
        QTest::newRow("MoveOut2") << "MoveOut2"
                                  << "Move O&ut" << QKeySequence(QStringLiteral("Ctrl+Left"));
        QTest::newRow("BatchImport2") << "BatchImport2"
                                      << "&Batch Importing Images..." << none;
        QTest::newRow("Insert1") << "Insert1"
                                 << "I&nsert" << QKeySequence(QStringLiteral("Ins"));
        QTest::newRow("MoveDown1") << "MoveDown1"
                                   << "Move &Down" << QKeySequence(QStringLiteral("Ctrl+Down"));
        QTest::newRow("CopyEmbedCode1") << "CopyEmbedCode1"
                                        << "Copy &Embed Code" << none;
        QTest::newRow("Preview1") << "Preview1"
                                  << "&Preview" << QKeySequence(QStringLiteral("Ctrl+P"));
        QTest::newRow("WebBrowser1") << "WebBrowser1"
                                     << "Web &Browser..." << none;
        QTest::newRow("ClearPictureCache1") << "ClearPictureCache1"
                                            << "Clear Picture &Cache" << none;
        QTest::newRow("Topic1") << "Topic1"
                                << "Help &Topics" << QKeySequence(QStringLiteral("F1"));
        QTest::newRow("ViewSample1") << "ViewSample1"
                                     << "View &Sample..." << none;
        QTest::newRow("Homepage1") << "Homepage1"
                                   << "&Homepage" << none;
        QTest::newRow("ContactUs1") << "ContactUs1"
                                    << "&Contact Us" << none;
        QTest::newRow("About1") << "About1"
                                << "&About" << none;
    }

    void menusHaveTheirCaptionsAndShortcuts() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        auto* entry = window().findChild<QAction*>(name);
        QVERIFY(entry);
        QCOMPARE(entry->text(), caption);
        QCOMPARE(entry->shortcut(), shortcut);
    }

    void toolButtonsShowTheirHintsAndIcons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("New") << "tlbtnNew"
                             << "Create a new project";
        QTest::newRow("Open") << "tlbtnOpen"
                              << "Open a project from the file that you saved before";
        QTest::newRow("Save") << "tlbtnSave"
                              << "Save the current project to a file";
        QTest::newRow("Insert") << "tlbtnInsert"
                                << "Insert a new item";
        QTest::newRow("Delete") << "tlbtnDelete"
                                << "Delete selected item";
        QTest::newRow("MoveUp") << "tlbtnMoveUp"
                                << "Move the selected item up";
        QTest::newRow("MoveDown") << "tlbtnMoveDown"
                                  << "Move the selected item down";
        QTest::newRow("Preview") << "tlbtnPreview"
                                 << "preview the applet in web browser";
        QTest::newRow("Help") << "tlbtnHelp"
                              << "Show help document";
    }

    void toolButtonsShowTheirHintsAndIcons() {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        auto* button = window().findChild<QToolButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), hint);
        QVERIFY(!button->icon().pixmap(QSize(16, 16)).isNull());
        hover(qPrintable(name));
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), hint);
    }

    void treeIconsAreNeverMissing() {
        window().Insert1Click();
        QVERIFY(!designer().tree().topLevelItem(0)->icon(0).pixmap(QSize(16, 16)).isNull());
        QVERIFY(!designer().tree().topLevelItem(0)->child(0)->icon(0).pixmap(QSize(16, 16)).isNull());
        QVERIFY(!window().windowIcon().isNull());
    }

    void editsOfBoundControlsMarkTheProjectModified_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {names::pSliderName, names::edt_IToolTip, names::InternalUse_RootDir_Local,
              names::InternalUse_RootDir_Remote, names::sliderWidth, names::sliderHeight, names::navBtnVerticalOffset,
              names::transDurAuto, names::transDurManual, names::switchImageDelay, names::cmbx_ILink,
              names::cmbx_ITarget, names::pImageLeadingPath, names::edtOriginalImagePath})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void editsOfBoundControlsMarkTheProjectModified() {
        QFETCH(QString, name);
        QWidget* control = window().findChild<QWidget*>(name);
        QVERIFY(control);
        control->setFocus();
        QTest::keyClicks(control, QStringLiteral("7"));
        QVERIFY(window().Modified());
        QVERIFY(saveEnabled());
    }

    // Each control of the binding tables reports a change of its value as an undoable edit of the project,
    // whatever its kind, because it is bound: no control depends on its builder remembering it.
    void everyBoundControlRecordsItsEdits_data() {
        QTest::addColumn<QString>("name");
        for (const auto& row : kScriptBinding)
            QTest::newRow(row.control) << QString::fromLatin1(row.control);
        for (const auto& row : kItemBinding)
            QTest::newRow(row.control) << QString::fromLatin1(row.control);
    }

    void everyBoundControlRecordsItsEdits() {
        QFETCH(QString, name);
        window().Insert1Click();
        if (name.startsWith(QStringLiteral("edt__")) || name.startsWith(QStringLiteral("spnedt__")) ||
            name.startsWith(QStringLiteral("pnl__")) || name.startsWith(QStringLiteral("ckbx__")) ||
            name.startsWith(QStringLiteral("rdbtn__")))
            designer().select(0);
        window().setModified(false);
        QWidget* control = window().findChild<QWidget*>(name);
        QVERIFY(control);
        if (auto* panel = qobject_cast<ColorPanel*>(control))
            panel->setColor(QColor(1, 2, 3));
        else if (auto* spin = qobject_cast<SpinEdit*>(control))
            spin->setValue(spin->value() + 1);
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setEditText(QStringLiteral("_edited"));
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(QStringLiteral("edited"));
        else if (qobject_cast<QRadioButton*>(control))
            find<QRadioButton>(names::InternalUse_RootDir_Local_Checked2).click(); // the pair's checked one stays so
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setChecked(!button->isChecked());
        QVERIFY(window().Modified());
        QVERIFY(find<QAction>(names::Undo1).isEnabled());
        find<QAction>(names::Undo1).trigger();
        QVERIFY2(!window().Modified(), "the undo leads back to the state counted as saved");
    }

    // Every switch of the Path page is a project value too: a change left unmarked would be lost on closing.
    void switchesMarkTheProjectModifiedAndClosingAsks() {
        for (QAbstractButton* button :
             {static_cast<QAbstractButton*>(&find<QCheckBox>(names::pImageLeadingPathEnabled)),
              static_cast<QAbstractButton*>(&find<QRadioButton>(names::InternalUse_RootDir_Local_Checked2)),
              static_cast<QAbstractButton*>(&find<QRadioButton>(names::InternalUse_RootDir_Local_Checked))}) {
            window().setModified(false);
            button->click();
            QVERIFY2(window().Modified(), qPrintable(button->objectName()));
            QVERIFY(saveEnabled());
        }
        prompts().answers = {PromptAnswer::Cancel};
        QVERIFY(!closeWindow());
        QCOMPARE(prompts().messages.at(0).text, QStringLiteral("Save changes to files before Exit?"));
    }

    // The desktop adds a display name set apart from the application's name to every window's title.
    void windowTitlesAreTheirCaptionsAlone() {
        setApplicationIdentity();
        QCOMPARE(QGuiApplication::applicationName(), QStringLiteral("Veskaro"));
        QGuiApplication::setApplicationName(QStringLiteral("probe"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
        setApplicationIdentity();
        TfrmMsgBox_LinkTip tip(*designer().settings, prompts());
        TformWebBrowser browsers(designer().browsers, prompts());
        QCOMPARE((QStringList{window().windowTitle(), tip.windowTitle(), browsers.windowTitle(),
                              window().helpWindow().windowTitle()}),
                 (QStringList{"Veskaro", "Important Tip", "Web Browser", "Help"}));
    }

    void colorSwatchesAreButtonsTheKeyboardReaches() {
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QList<ColorPanel*> reached;
        find<SpinEdit>(names::navBtnVerticalOffset).setFocus();
        for (int press = 0; press < 8; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (auto* panel = qobject_cast<ColorPanel*>(QApplication::focusWidget()))
                reached << panel;
        }
        QCOMPARE(reached.size(), 8);
        QCOMPARE(reached.at(0)->objectName(), QLatin1String(names::navBtnTextColorNormal));
        QCOMPARE(reached.at(0)->accessibleName(), QStringLiteral("Normal Text Color"));
        QCOMPARE(reached.at(7)->accessibleName(), QStringLiteral("Active Hover BG Color"));
        prompts().colors = {QColor(Qt::red), std::nullopt};
        QTest::keyClick(reached.at(7), Qt::Key_Space);
        QTest::keyClick(reached.at(7), Qt::Key_Return);
        QCOMPARE(prompts().colorsOffered, (std::vector<QColor>{QColor(Qt::black), QColor(Qt::red)}));
        QCOMPARE(reached.at(7)->color(), QColor(Qt::red));
    }

    // The focused swatch wears a frame as bold as the other controls' focus, in the desktop's highlight,
    // whatever its own colour.
    void theFocusedSwatchShowsABoldFrame() {
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        auto& panel = find<ColorPanel>(names::navBtnBgColorNormal);
        const QColor highlight = panel.palette().color(QPalette::Highlight);
        const QPoint frameTop(panel.width() / 2, 1);
        QVERIFY(panel.grab().toImage().pixelColor(frameTop) != highlight);
        panel.setFocus();
        QVERIFY(panel.hasFocus());
        for (const QColor& value : {QColor(Qt::white), QColor(Qt::black), highlight}) {
            panel.setColor(value);
            const QImage image = panel.grab().toImage();
            QCOMPARE(image.pixelColor(frameTop), highlight);
            QCOMPARE(image.pixelColor(QPoint(1, panel.height() / 2)), highlight);
        }
    }

    void pathPageIsWalkedInTheOrderItShows() {
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        find<QTabWidget>(names::pgcntrl1).setCurrentWidget(&find<QWidget>(names::tbshtPath));
        find<QLineEdit>(names::InternalUse_RootDir_Remote).setFocus();
        QStringList walked;
        for (int press = 0; press < 4; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, (QStringList{names::InternalUse_RootDir_Local_Checked, names::pImageLeadingPathEnabled,
                                      names::pImageLeadingPath, names::SpeedButton28}));
    }

    // However wide the window (maximised on a large screen), each swatch stays beside its caption.
    void colorSwatchesStayBesideTheirCaptionsInAWideWindow() {
        window().resize(2400, 1000);
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        int captions = 0;
        for (const QLabel* label : window().findChildren<QLabel*>()) {
            const auto* panel = qobject_cast<const ColorPanel*>(label->buddy());
            if (!panel)
                continue;
            ++captions;
            // The caption's text is drawn at the left of its label, which may be wider.
            const QPoint captionEnd(
                label->contentsRect().left() + label->fontMetrics().horizontalAdvance(label->text()), 0);
            const int gap = panel->mapTo(&window(), QPoint(0, 0)).x() - label->mapTo(&window(), captionEnd).x();
            QVERIFY2(gap >= 0 && gap < 3 * panel->width(), qPrintable(label->text() + ": " + QString::number(gap)));
        }
        QCOMPARE(captions, 8);
    }

    void leadingPathCheckBoxEnablesItsEdit() {
        auto& check = find<QCheckBox>(names::pImageLeadingPathEnabled);
        check.click();
        QVERIFY(!find<QLineEdit>(names::pImageLeadingPath).isEnabled());
        check.click();
        QVERIFY(find<QLineEdit>(names::pImageLeadingPath).isEnabled());
    }

    // While a command works, the hint line tells how the work goes, and the bar counts the pictures.
    void workInProgressKeepsTheHintLineAndCountsThePictures() {
        MainFormProgressView& progress = window().progressView();
        auto& bar = find<QProgressBar>(names::prgrsbrMainFormBottom);
        progress.setHint("Preparing pictures");
        progress.setBusy(true);
        progress.preparingPicture(3, 12, "harbour.jpg");
        QCOMPARE(bar.text(), QStringLiteral("3 / 12"));
        QVERIFY(bar.isTextVisible());
        hover(names::trvwDesignPanel);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QStringLiteral("Preparing pictures"));
        progress.setBusy(false);
        QVERIFY(!bar.isTextVisible());
        hover(names::trvwDesignPanel);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("Add, remove or move items by right-clicking the mouse."));
    }

    // The window opens within the screen's free area, and in a window smaller than the pages they scroll:
    // at a large scale nothing of the window lies off the screen.
    void theWindowFitsTheScreenAndThePagesScroll() {
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        QVERIFY(window().screen()->availableGeometry().contains(window().geometry()));
        const auto& pages = find<QTabWidget>(names::pgcntrl1);
        QVERIFY2(window().minimumSizeHint().height() < pages.minimumHeight(), "the window may be lower than the pages");
        window().resize(window().width(), window().minimumSizeHint().height());
        auto* scroller = qobject_cast<QAbstractScrollArea*>(pages.parentWidget()->parentWidget());
        QVERIFY(scroller);
        QCoreApplication::processEvents(); // the layouts follow the new size
        QVERIFY(scroller->verticalScrollBar()->isVisible());
        QVERIFY(scroller->verticalScrollBar()->maximum() > 0);
    }

    void hintLineShowsTheHoveredControlsHint() {
        hover(names::trvwDesignPanel);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("Add, remove or move items by right-clicking the mouse."));
        hover(names::sliderHeight);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());
        hover(names::tlbtnHelp);
        hover(names::tbshtScript);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());
    }

    void viewEntriesShowAndHideTheBars() {
        window().show();
        auto& statusEntry = find<QAction>(names::StatusBar2);
        QVERIFY(statusEntry.isChecked());
        statusEntry.trigger();
        QVERIFY(!statusEntry.isChecked());
        QVERIFY(!find<QLabel>(names::stctxtHint).isVisible());
        QVERIFY(!find<QProgressBar>(names::prgrsbrMainFormBottom).isVisible());
        QVERIFY(!find<QStatusBar>(names::StatusBar1).isVisible());
        statusEntry.trigger();
        QVERIFY(find<QLabel>(names::stctxtHint).isVisible());
        QVERIFY(find<QProgressBar>(names::prgrsbrMainFormBottom).isVisible());

        auto& toolEntry = find<QAction>(names::ToolBar1);
        toolEntry.trigger();
        QVERIFY(!toolEntry.isChecked());
        QVERIFY(!find<QToolBar>(names::tlbr1).isVisible());
        toolEntry.trigger();
        QVERIFY(find<QToolBar>(names::tlbr1).isVisible());
    }

    void closingAnUnchangedProjectAsksNothing() {
        QVERIFY(closeWindow());
        QVERIFY(prompts().messages.empty());
        QCOMPARE(publisher().previewClears, 1);
    }

    void closingAndCancellingKeepsEverything() {
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::Cancel};
        QVERIFY(!closeWindow());
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("Save changes to files before Exit?"));
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Warning);
        QCOMPARE(prompts().messages[0].buttons, PromptButtons::YesNoCancel);
        QVERIFY(window().Modified());
        QVERIFY(saveEnabled());
        QVERIFY(publisher().saves.empty());
        QCOMPARE(publisher().previewClears, 1);
    }

    void closingAndAnsweringNoLosesTheChanges() {
        changeWidthTo(700);
        prompts().answers = {PromptAnswer::No};
        QVERIFY(closeWindow());
        QVERIFY(publisher().saves.empty());
        QCOMPARE(publisher().previewClears, 1);
    }

    void closingWithYesSavesToTheProjectFile() {
        window().setProjectFileName("/home/me/sliders/Demo.vsk");
        changeWidthTo(720);
        prompts().answers = {PromptAnswer::Yes};
        QVERIFY(closeWindow());
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, "/home/me/sliders/");
        QCOMPARE(publisher().saves[0].name, "Demo.vsk");
        QCOMPARE(publisher().saves[0].parameters.sliderWidth, "720");
        QCOMPARE(publisher().saves[0].parameters.reserved, "");
        QCOMPARE(publisher().previewClears, 1);
    }

    void closingWithYesStoresTheItemLastShown() {
        window().Insert1Click();
        designer().select(1);
        find<QComboBox>(names::cmbx_ILink).setEditText(QStringLiteral("https://example.com/"));
        designer().select(0);
        find<QComboBox>(names::cmbx_ILink).setEditText(QStringLiteral("https://example.com/later"));
        window().setProjectFileName("/tmp/x/Show.vsk");
        prompts().answers = {PromptAnswer::Yes};
        QVERIFY(closeWindow());
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].items.at(0).ILink, "https://example.com/later");
    }

    void closingWithYesAsksForAFileWhenThereIsNone() {
        changeWidthTo(730);
        prompts().answers = {PromptAnswer::Yes};
        const std::string folder = m_folders.root() / "data/web";
        prompts().saveFiles = {QString::fromStdString(folder + "/demo")};
        QVERIFY(closeWindow());
        QCOMPARE(prompts().saveFilters, std::vector<QString>{QStringLiteral("Veskaro Files (*.vsk)")});
        QCOMPARE(publisher().saves.size(), 1u);
        QCOMPARE(publisher().saves[0].folder, folder + "/");
        QCOMPARE(publisher().saves[0].name, "demo");
        QCOMPARE(publisher().saves[0].parameters.sliderWidth, "730");
    }

    void closingWithYesAndCancellingTheDialogStaysOpen() {
        changeWidthTo(730);
        prompts().answers = {PromptAnswer::Yes};
        prompts().saveFiles = {QString()};
        QVERIFY(!closeWindow());
        QVERIFY(publisher().saves.empty());
        QVERIFY(window().Modified());
        QVERIFY(saveEnabled());
    }

    void failingSaveShowsItsMessageAndKeepsTheWindowUsable() {
        window().setProjectFileName("/readonly/Demo.vsk");
        changeWidthTo(650);
        publisher().failure = "Cannot create file \"/readonly/Demo.html\". Permission denied";
        prompts().answers = {PromptAnswer::Yes};
        QVERIFY(!closeWindow());
        QCOMPARE(prompts().messages.size(), 2u);
        QCOMPARE(prompts().messages[1].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[1].buttons, PromptButtons::Ok);
        QCOMPARE(prompts().messages[1].text,
                 QStringLiteral("Cannot create file \"/readonly/Demo.html\". Permission denied"));
        QVERIFY(window().Modified());
        // The window goes on working.
        find<QToolButton>(names::tlbtnInsert).click();
        QCOMPARE(window().project().itemCount(), 1);
        publisher().failure.reset();
        prompts().answers = {PromptAnswer::Yes};
        QVERIFY(closeWindow());
        QCOMPARE(publisher().saves.size(), 1u);
    }

    void errorOfAnyCommandIsShownInAnErrorBox() {
        window().runCommand([] { throw VeskaroError("Disk full"); });
        QCOMPARE(prompts().messages.size(), 1u);
        QCOMPARE(prompts().messages[0].text, QStringLiteral("Disk full"));
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
    }

    void progressIsShownInTheWindow() {
        ProgressView& progress = window().progressView();
        progress.setMaximum(40);
        progress.setHint("Saving Data ... ...");
        progress.setBusy(true);
        progress.step(10);
        progress.step(10);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QStringLiteral("Saving Data ... ..."));
        QCOMPARE(find<QProgressBar>(names::prgrsbrMainFormBottom).value(), 20);
        QCOMPARE(find<QProgressBar>(names::prgrsbrMainFormBottom).maximum(), 40);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        progress.step(100);
        QCOMPARE(find<QProgressBar>(names::prgrsbrMainFormBottom).value(), 40);
        progress.setPosition(0);
        progress.setHint("");
        progress.setBusy(false);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());
    }

    void whileWorkCanBeStoppedOnlyCancelAndEscReachTheWindow() {
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        changeWidthTo(700);
        ProgressView& progress = window().progressView();
        auto& cancel = find<QPushButton>(names::btnCancelWork);
        QVERIFY(cancel.isHidden());
        progress.offerStop(true);
        QVERIFY(cancel.isVisible());
        QTest::mouseClick(&find<QToolButton>(names::tlbtnSave), Qt::LeftButton);
        bool timerRan = false;
        QTimer::singleShot(0, [&] { timerRan = true; });
        QVERIFY(!progress.stopRequested());
        QVERIFY2(timerRan, "the window goes on with its own events while it waits");
        QVERIFY2(prompts().saveFilters.empty(), "the click on Save was dropped");
        QTest::mouseClick(&cancel, Qt::LeftButton);
        QVERIFY(progress.stopRequested());
        progress.offerStop(false);
        QVERIFY(cancel.isHidden());

        progress.offerStop(true);
        QVERIFY2(!progress.stopRequested(), "a new offer forgets the earlier stop");
        QTest::keyClick(&designer().tree(), Qt::Key_Escape);
        QVERIFY(progress.stopRequested());
        progress.offerStop(false);
        prompts().saveFiles = {QString()};
        QTest::mouseClick(&find<QToolButton>(names::tlbtnSave), Qt::LeftButton);
        QCOMPARE(prompts().saveFilters.size(), 1u);
    }

    void closeRequestWhileBusyIsRefused() {
        changeWidthTo(700);
        window().progressView().setBusy(true);
        QVERIFY(!closeWindow());
        QVERIFY(prompts().messages.empty());
        window().progressView().setBusy(false);
        prompts().answers = {PromptAnswer::No};
        QVERIFY(closeWindow());
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
