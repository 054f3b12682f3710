#include "DesignerTestCase.h"

#include "model/ColorText.h"
#include "platform/VeskaroError.h"
#include "ui/ColorPanel.h"
#include "ui/ParameterBinding.h"
#include "ui/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace veskaro;
namespace names = veskaro::names;

Q_DECLARE_METATYPE(std::string)

class BindingTest : public test::DesignerTestCase {
    Q_OBJECT

    // Shows the parameters in the window and takes them back.
    TAppletData roundTrip(const TAppletData& parameters) {
        window().project().SetAppletData(parameters);
        window().ScriptParamsToWindow();
        window().ScriptParamsFromWindow();
        return window().project().GetAppletData();
    }

    QString errorOf(const std::function<void()>& transfer) {
        try {
            transfer();
        } catch (const VeskaroError& error) {
            return QString::fromUtf8(error.what());
        }
        return QStringLiteral("(no error)");
    }

private slots:
    void allScriptControlsRoundTrip() {
        TAppletData shown;
        shown.pSliderName = "  My Slider  ";
        shown.sliderWidth = "800";
        shown.sliderHeight = "600";
        shown.navBtnVerticalOffset = "-40";
        shown.navBtnTextColorNormal = "010203";
        shown.navBtnBgColorNormal = "A0B0C0";
        shown.navBtnTextColorHover = "FF0000";
        shown.navBtnBgColorHover = "00FF00";
        shown.navBtnTextColorActive = "0000FF";
        shown.navBtnBgColorActive = "123456";
        shown.navBtnTextColorActiveHover = "ABCDEF";
        shown.navBtnBgColorActiveHover = "FEDCBA";
        shown.reserved = "1";
        shown.transDurAuto = "0";
        shown.transDurManual = "9999";
        shown.switchImageDelay = "2500";
        shown.pImageLeadingPathEnabled = "0";
        shown.pImageLeadingPath = "\timages/ ";
        shown.InternalUse_RootDir_Local = " file:///C|/site/";
        shown.InternalUse_RootDir_Remote = "https://example.com/ ";
        shown.InternalUse_RootDir_Local_Checked = "0";

        TAppletData expected = shown;
        expected.pSliderName = "My Slider";
        expected.pImageLeadingPath = "images/";
        expected.InternalUse_RootDir_Local = "file:///C|/site/";
        expected.InternalUse_RootDir_Remote = "https://example.com/";
        expected.reserved = ""; // no control holds it
        QCOMPARE(roundTrip(shown), expected);
        QCOMPARE(roundTrip(expected), expected);
        QCOMPARE(find<QLineEdit>(names::pSliderName).text(), QStringLiteral("My Slider"));
        QCOMPARE(find<SpinEdit>(names::navBtnVerticalOffset).text(), QStringLiteral("-40"));
        QCOMPARE(find<ColorPanel>(names::navBtnBgColorNormal).color(), QColor(0xA0, 0xB0, 0xC0));
        QVERIFY(!find<QCheckBox>(names::pImageLeadingPathEnabled).isChecked());
    }

    void defaultsRoundTrip() {
        TAppletData defaults = window().project().GetAppletData();
        defaults.reserved.clear();
        QCOMPARE(roundTrip(window().project().GetAppletData()), defaults);
    }

    void itemControlsRoundTrip() {
        window().Insert1Click();
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IImageFile = "slider0.jpg";
        item.IOriginalImagePath = " /pictures/a b.jpg ";
        item.ILink = "  https://example.com/a  ";
        item.ITarget = "  _blank  ";
        item.IToolTip = "A description ";
        item.ILevel = "0";
        window().project().SetItem(item, 0);
        window().ItemToWindow(0);
        window().ItemFromWindow(0);
        TItemData expected = item;
        expected.IOriginalImagePath = "/pictures/a b.jpg";
        expected.ILink = "https://example.com/a";
        expected.ITarget = "_blank";
        expected.IToolTip = "A description";
        // Taking an item from the window keeps the values the page does not show: a slide whose source is
        // gone keeps the picture publishing prepared for it.
        QCOMPARE(window().project().GetItem(0), expected);
    }

    void colorPanelsShowAndGiveColorTexts_data() {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<QColor>("painted");
        QTest::addColumn<std::string>("takenBack");
        QTest::newRow("pure red") << std::string("FF0000") << QColor(255, 0, 0) << std::string("FF0000");
        QTest::newRow("yellow") << std::string("FFFF00") << QColor(255, 255, 0) << std::string("FFFF00");
        QTest::newRow("lower case") << std::string("c0c0c0") << QColor(192, 192, 192) << std::string("C0C0C0");
        QTest::newRow("transparent") << std::string("Transparent") << QColor(0, 0, 0) << std::string("000000");
        QTest::newRow("empty") << std::string("") << QColor(0, 0, 0) << std::string("000000");
    }

    void colorPanelsShowAndGiveColorTexts() {
        QFETCH(std::string, text);
        QFETCH(QColor, painted);
        QFETCH(std::string, takenBack);
        auto& panel = find<ColorPanel>(names::navBtnBgColorHover);
        TextToControl(text, panel);
        QCOMPARE(panel.color(), painted);
        QCOMPARE(panel.palette().color(QPalette::Window), painted);
        QCOMPARE(ControlToText(panel), takenBack);
    }

    // The pair always shows the value: "0" selects the partner, which a clear pair would not show.
    void radioPairShowsEitherValue() {
        auto& local = find<QRadioButton>(names::InternalUse_RootDir_Local_Checked);
        auto& web = find<QRadioButton>(names::InternalUse_RootDir_Local_Checked2);
        QVERIFY(local.isChecked());
        TextToControl("0", local);
        QVERIFY(!local.isChecked());
        QVERIFY(web.isChecked());
        QCOMPARE(ControlToText(local), "0");
        TextToControl("0", local);
        QVERIFY(web.isChecked());
        TextToControl("1", local);
        QVERIFY(local.isChecked());
        QVERIFY(!web.isChecked());
        web.click();
        QVERIFY(!local.isChecked()); // still one exclusive pair
    }

    void spinEditKeepsShownValuesInItsRange() {
        auto& width = find<SpinEdit>(names::sliderWidth);
        TextToControl("20000", width);
        QCOMPARE(width.text(), QStringLiteral("9999"));
        QCOMPARE(ControlToText(width), "9999");
        TextToControl("-5", width);
        QCOMPARE(ControlToText(width), "1");
        auto& offset = find<SpinEdit>(names::navBtnVerticalOffset);
        TextToControl("-20000", offset);
        QCOMPARE(ControlToText(offset), "-9999");
    }

    void spinEditReadsTextThatIsNoNumberAsItsMinimum_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::string>("read");
        QTest::newRow("empty") << QString() << std::string("1");
        QTest::newRow("decimal") << QStringLiteral("12.5") << std::string("1");
        QTest::newRow("sign only") << QStringLiteral("-") << std::string("1");
        QTest::newRow("out of range, not yet left") << QStringLiteral("0") << std::string("0");
        QTest::newRow("plus sign") << QStringLiteral("+25") << std::string("25");
    }

    void spinEditReadsTextThatIsNoNumberAsItsMinimum() {
        QFETCH(QString, typed);
        QFETCH(std::string, read);
        auto& width = find<SpinEdit>(names::sliderWidth);
        width.setFocus();
        width.selectAll();
        QTest::keyClick(&width, Qt::Key_Backspace);
        QTest::keyClicks(&width, typed);
        QCOMPARE(width.text(), typed);
        QCOMPARE(ControlToText(width), read);
    }

    void spinEditAcceptsOnlyNumberCharacters() {
        auto& width = find<SpinEdit>(names::sliderWidth);
        width.selectAll();
        QTest::keyClicks(&width, QStringLiteral("1a2 b3"));
        QCOMPARE(width.text(), QStringLiteral("123"));
    }

    void spinEditClampsWhenTheFocusLeaves() {
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        auto& width = find<SpinEdit>(names::sliderWidth);
        width.setFocus();
        width.selectAll();
        QTest::keyClicks(&width, QStringLiteral("0"));
        find<SpinEdit>(names::sliderHeight).setFocus();
        QCOMPARE(width.text(), QStringLiteral("1"));
        width.setFocus();
        width.selectAll();
        QTest::keyClick(&width, Qt::Key_Delete);
        find<SpinEdit>(names::sliderHeight).setFocus();
        QCOMPARE(width.text(), QStringLiteral("1"));
    }

    void spinEditArrowsStepByOne() {
        auto& height = find<SpinEdit>(names::sliderHeight);
        height.stepBy(1);
        QCOMPARE(height.value(), 481);
        QTest::keyClick(&height, Qt::Key_Down);
        QTest::keyClick(&height, Qt::Key_Down);
        QCOMPARE(height.value(), 479);
        TextToControl("9999", height);
        height.stepBy(1);
        QCOMPARE(height.value(), 9999);
    }

    void comboTextIsTrimmedAndNeverAListPosition() {
        window().Insert1Click();
        window().ItemToWindow(0);
        auto& target = find<QComboBox>(names::cmbx_ITarget);
        target.setEditText(QStringLiteral("  _blank  "));
        QCOMPARE(ControlToText(target), "_blank");
        target.setEditText(QStringLiteral("myframe"));
        QCOMPARE(ControlToText(target), "myframe");
        QCOMPARE(target.count(), 6);
    }

    void unreadableNumberStopsTheTransferAtItsField() {
        TAppletData parameters = window().project().GetAppletData();
        parameters.pSliderName = "Shown";
        parameters.sliderWidth = "700";
        parameters.sliderHeight = "12a";
        parameters.navBtnVerticalOffset = "-10";
        window().project().SetAppletData(parameters);
        QCOMPARE(errorOf([this] { window().ScriptParamsToWindow(); }),
                 QStringLiteral("'12a' is not a valid integer value"));
        QCOMPARE(find<QLineEdit>(names::pSliderName).text(), QStringLiteral("Shown"));
        QCOMPARE(find<SpinEdit>(names::sliderWidth).text(), QStringLiteral("700"));
        QCOMPARE(find<SpinEdit>(names::sliderHeight).text(), QStringLiteral("480"));
        QCOMPARE(find<SpinEdit>(names::navBtnVerticalOffset).text(), QStringLiteral("-26"));
    }

    void unreadableColorStopsTheTransferAtItsField() {
        TAppletData parameters = window().project().GetAppletData();
        parameters.navBtnTextColorNormal = "0000FF";
        parameters.navBtnBgColorNormal = "GG0000";
        parameters.navBtnTextColorHover = "FFFFFF";
        window().project().SetAppletData(parameters);
        QCOMPARE(errorOf([this] { window().ScriptParamsToWindow(); }),
                 QStringLiteral("'GG0000' is not a valid integer value"));
        QCOMPARE(find<ColorPanel>(names::navBtnTextColorNormal).color(), QColor(0, 0, 255));
        QCOMPARE(find<ColorPanel>(names::navBtnBgColorNormal).color(), QColor(255, 255, 255));
        QCOMPARE(find<ColorPanel>(names::navBtnTextColorHover).color(), QColor(0, 0, 0));
    }

    void emptyNumberTextIsRefused() {
        QCOMPARE(errorOf([this] { TextToControl("", find<SpinEdit>(names::sliderWidth)); }),
                 QStringLiteral("'' is not a valid integer value"));
    }

    void controlOfAnotherKindIsLeftAlone() {
        QLabel label(QStringLiteral("unchanged"));
        TextToControl("1", label);
        QCOMPARE(label.text(), QStringLiteral("unchanged"));
        QCOMPARE(ControlToText(label), "");
    }
};

QTEST_MAIN(BindingTest)
#include "BindingTest.moc"
