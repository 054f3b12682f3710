#include "DesignerTestCase.h"

#include "model/MakerInfo.h"
#include "platform/FileUrl.h"
#include "ui/TformAbout.h"
#include "ui/TfrmHelp.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

using namespace veskaro;
namespace names = veskaro::names;

namespace {

void moveMouseOver(QWidget* widget) {
    const QPointF inside(2, 2);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QColor textColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

} // namespace

// Runs beside the shipped data files, so the help pages that the buttons name are really there.
class HelpTest : public test::DesignerTestCase {
    Q_OBJECT

    TfrmHelp& help() { return window().helpWindow(); }
    QTextBrowser& helpView() { return *help().findChild<QTextBrowser*>(QLatin1String(names::HelpWebBrowser1)); }

    std::vector<std::string> shellCalls() { return designer().shell.calls; }
    qsizetype helpWindowCount() {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<TfrmHelp*>(w); });
    }
    std::string dataFolder() { return designer().places.dataFolder(); }
    QString helpAddress(const std::string& page) {
        return QString::fromStdString(PathToFileUrl(dataFolder() + "help/" + page));
    }

private slots:
    void helpWindowIsMadeHiddenAtTheStart() {
        QVERIFY(help().isHidden());
        QCOMPARE(help().windowTitle(), QStringLiteral("Help"));
        QCOMPARE(help().size(), QSize(402, 428));
        QCOMPARE(help().pos(), QPoint(265, 180));
        QCOMPARE(help().minimumSize(), help().maximumSize());
        QVERIFY(help().windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!help().windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
        QCOMPARE(helpView().geometry(), QRect(0, 0, 401, 427));
    }

    // A tool window or one owned by the designer stays above the designer and hides its menus and tree.
    void helpWindowIsAWindowOfItsOwnThatGoesWithTheDesigner() {
        window().show();
        find<QToolButton>(names::SpeedButton1).click();
        QVERIFY(help().isVisible());
        QCOMPARE(help().windowType(), Qt::Window);
        QVERIFY(!help().parentWidget());
        QVERIFY(!help().windowHandle()->transientParent());
        QVERIFY(!help().testAttribute(Qt::WA_QuitOnClose));
        find<QAction>(names::Exit1).trigger();
        QVERIFY(!window().isVisible());
        QVERIFY(help().isHidden());
    }

    void eachHelpButtonShowsItsPageInTheHelpWindow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("heading");
        QTest::newRow("General") << names::SpeedButton1 << "customizing_js_script_script_general.htm"
                                 << "Script: General";
        QTest::newRow("Navigation Buttons")
            << names::SpeedButton2 << "customizing_js_script_script_navigation_buttons.htm"
            << "Script: Navigation Buttons";
        QTest::newRow("Timing") << names::SpeedButton11 << "customizing_js_script_script_timing.htm"
                                << "Script: Timing";
        QTest::newRow("Pictures for Visitors")
            << names::SpeedButtonPictures << "customizing_js_script_script_pictures.htm"
            << "Script: Pictures for Visitors";
        QTest::newRow("Original Image Path")
            << names::SpeedButton13 << "customizing_js_item_general_original_image_path.htm"
            << "Item: Original Image Path";
        QTest::newRow("Link") << names::SpeedButton24 << "customizing_js_item_general_link.htm"
                              << "Item: Link";
        QTest::newRow("Description") << names::SpeedButton19 << "customizing_js_item_general_description.htm"
                                     << "Item: Description";
        QTest::newRow("Path") << names::SpeedButton28 << "customizing_js_script_path_path.htm"
                              << "Path Replacement for Publishing";
    }

    void eachHelpButtonShowsItsPageInTheHelpWindow() {
        QFETCH(QString, button);
        QFETCH(QString, page);
        QFETCH(QString, heading);
        window().show();
        find<QToolButton>(qPrintable(button)).click();
        QVERIFY(help().isVisible());
        QCOMPARE(help().address(), helpAddress(page.toStdString()));
        QVERIFY2(helpView().toPlainText().startsWith(heading), qPrintable(helpView().toPlainText().left(80)));
        QCOMPARE(helpWindowCount(), 1);
        QVERIFY(shellCalls().empty());
    }

    void anotherButtonReplacesThePageInTheSameWindow() {
        window().show();
        find<QToolButton>(names::SpeedButton1).click();
        TfrmHelp* first = &help();
        find<QToolButton>(names::SpeedButton24).click();
        QCOMPARE(&help(), first);
        QCOMPARE(helpWindowCount(), 1);
        QCOMPARE(help().address(), helpAddress("customizing_js_item_general_link.htm"));
        QVERIFY(helpView().toPlainText().startsWith(QStringLiteral("Item: Link")));
    }

    void closedHelpWindowComesBackWithTheNextButton() {
        window().show();
        find<QToolButton>(names::SpeedButton2).click();
        help().close();
        QVERIFY(help().isHidden());
        find<QToolButton>(names::SpeedButton11).click();
        QVERIFY(help().isVisible());
        QCOMPARE(help().address(), helpAddress("customizing_js_script_script_timing.htm"));
    }

    void tagsOutsideTheTableShowTheGettingStartedPage_data() {
        QTest::addColumn<int>("tag");
        for (const int tag : {0, 4, 10, -3})
            QTest::newRow(qPrintable(QString::number(tag))) << tag;
    }

    void tagsOutsideTheTableShowTheGettingStartedPage() {
        QFETCH(int, tag);
        QObject sender;
        sender.setProperty("Tag", tag);
        window().SpeedButton1Click(&sender);
        QCOMPARE(help().address(), helpAddress("getting_started.htm"));
        QVERIFY(helpView().toPlainText().startsWith(QStringLiteral("Getting Started")));
    }

    void missingPageGetsANoteInItsPlace() {
        help().Navigate(QStringLiteral("file:///nowhere/help/gone.htm"));
        QVERIFY(helpView().toPlainText().startsWith(QStringLiteral("The help page cannot be found")));
        QVERIFY(helpView().toPlainText().contains(QStringLiteral("file:///nowhere/help/gone.htm")));
    }

    void linksToOtherHelpPagesStayInTheWindowAndOthersGoToTheDesktop() {
        window().show();
        find<QToolButton>(names::SpeedButton1).click();
        emit helpView().anchorClicked(QUrl(QStringLiteral("customizing_js_item_general_link.htm")));
        QVERIFY(helpView().toPlainText().startsWith(QStringLiteral("Item: Link")));
        emit helpView().anchorClicked(QUrl(QStringLiteral("../samples/index.html")));
        emit helpView().anchorClicked(QUrl(QStringLiteral("https://www.example.com/a b")));
        QCOMPARE(shellCalls(), (std::vector<std::string>{"open " + dataFolder() + "samples/index.html",
                                                         "address https://www.example.com/a%20b"}));
        QVERIFY(helpView().toPlainText().startsWith(QStringLiteral("Item: Link")));
    }

    void addressesOfBothFormsNameTheirFiles() {
        QCOMPARE(TfrmHelp::localFileOf(QStringLiteral("file:///D|/Program Files/X/help/a.htm")),
                 QStringLiteral("D:/Program Files/X/help/a.htm"));
        QCOMPARE(TfrmHelp::localFileOf(QStringLiteral("file:///opt/my%20help/a%23b.htm")),
                 QStringLiteral("/opt/my help/a#b.htm"));
        QCOMPARE(TfrmHelp::localFileOf(QStringLiteral("https://www.example.com/a.htm")), QString());
    }

    void helpMenuOpensPagesAndAddressesThroughTheShell() {
        find<QAction>(names::Topic1).trigger();
        find<QToolButton>(names::tlbtnHelp).click();
        find<QAction>(names::ViewSample1).trigger();
        find<QAction>(names::Homepage1).trigger();
        find<QAction>(names::ContactUs1).trigger();
        const std::string contents = "open " + dataFolder() + "help/index.html";
        QCOMPARE(shellCalls(),
                 (std::vector<std::string>{contents, contents, "open " + dataFolder() + "samples/index.html",
                                           "address https://www.example.com/veskaro/",
                                           "address https://www.example.com/veskaro/support/"}));
        QVERIFY(help().isHidden());
    }

    void aboutBoxShowsTheProductAndItsLinks() {
        bool checked = false;
        prompts().dialogActions = {[&checked](QDialog& box) {
            const auto label = [&box](const char* name) { return box.findChild<QLabel*>(QLatin1String(name)); };
            QCOMPARE(box.windowTitle(), QStringLiteral("Veskaro"));
            QCOMPARE(label(names::lblProductName)->text(), QStringLiteral("Veskaro"));
            QVERIFY(label(names::lblProductName)->font().bold());
            QCOMPARE(label(names::lblProductVersion)->text(), QStringLiteral("Version 1.0"));
            QCOMPARE(label(names::Label5)->text(), QString::fromLatin1(kMakerRightsNotice));
            QCOMPARE(label(names::Label2)->text(), QStringLiteral("Web Site"));
            QCOMPARE(label(names::Label8)->text(), QStringLiteral("https://www.example.com/veskaro/"));
            QCOMPARE(label(names::Label3)->text(), QStringLiteral("Tech Support"));
            QCOMPARE(label(names::Label10)->text(), QStringLiteral("https://www.example.com/veskaro/support/"));
            QCOMPARE(label(names::Label8)->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!label(names::Image1)->pixmap().isNull());
            QCOMPARE(box.palette().color(QPalette::Window), QColor(Qt::white));
            QVERIFY(box.width() >= 313 && box.height() >= 153);
            QCOMPARE(box.findChild<QPushButton*>(QLatin1String(names::Button1))->text(), QStringLiteral("OK"));
            box.findChild<QPushButton*>(QLatin1String(names::Button1))->click();
            QCOMPARE(box.result(), int(QDialog::Accepted));
            checked = true;
        }};
        find<QAction>(names::About1).trigger();
        QVERIFY(checked);
        QCOMPARE(prompts().dialogsShown, std::vector<QString>{QStringLiteral("Veskaro")});
        QVERIFY(window().findChildren<TformAbout*>().isEmpty());
    }

    void aboutLinksTurnRedUnderTheMouseAndBlueOverTheBox() {
        TformAbout box(designer().shell);
        auto* home = box.findChild<QLabel*>(QLatin1String(names::Label8));
        auto* support = box.findChild<QLabel*>(QLatin1String(names::Label10));
        QCOMPARE(textColor(home), QColor(Qt::blue));
        QCOMPARE(textColor(support), QColor(Qt::blue));
        moveMouseOver(home);
        QCOMPARE(textColor(home), QColor(Qt::red));
        QCOMPARE(textColor(support), QColor(Qt::blue));
        moveMouseOver(support);
        // There is no leave event: the label stays red.
        QCOMPARE(textColor(home), QColor(Qt::red));
        QCOMPARE(textColor(support), QColor(Qt::red));
        moveMouseOver(&box);
        QCOMPARE(textColor(home), QColor(Qt::blue));
        QCOMPARE(textColor(support), QColor(Qt::blue));
    }

    void aboutLinksOpenTheMakersPages() {
        TformAbout box(designer().shell);
        QTest::mouseClick(box.findChild<QLabel*>(QLatin1String(names::Label8)), Qt::LeftButton);
        QTest::mouseClick(box.findChild<QLabel*>(QLatin1String(names::Label10)), Qt::LeftButton);
        QCOMPARE(shellCalls(), (std::vector<std::string>{"address https://www.example.com/veskaro/",
                                                         "address https://www.example.com/veskaro/support/"}));
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
