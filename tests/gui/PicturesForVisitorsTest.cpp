#include "DesignerTestCase.h"

#include "ui/ParameterBinding.h"
#include "ui/SpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace veskaro;
namespace fs = std::filesystem;
namespace names = veskaro::names;

class PicturesForVisitorsTest : public test::DesignerTestCase {
    Q_OBJECT

    SpinEdit& quality() { return find<SpinEdit>(names::spnedtJpegQuality); }
    std::string option(const char* name) { return window().project().options().value(name); }
    void trigger(const char* action) { find<QAction>(action).trigger(); }

    // Types into the quality field and leaves it, as a user would.
    void typeQuality(const QString& typed) {
        quality().setFocus();
        quality().selectAll();
        QTest::keyClick(&quality(), Qt::Key_Backspace);
        QTest::keyClicks(&quality(), typed);
        find<QCheckBox>(names::chkbxLazyLoad).setFocus();
    }

    // Returns the lines of the project file's options block, without the tags.
    static QStringList optionsBlockOf(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream read;
        read << in.rdbuf();
        const QStringList lines =
            QString::fromStdString(read.str()).split(QRegularExpression(QStringLiteral("\\r?\\n")));
        const qsizetype begin = lines.indexOf(QLatin1String(kOptionsBeginTag));
        const qsizetype end = lines.indexOf(QLatin1String(kOptionsEndTag));
        return begin < 0 || end < begin ? QStringList{} : lines.mid(begin + 1, end - begin - 1);
    }

    fs::path saveAs(const std::string& name) {
        publisher().publishForReal = true;
        const fs::path file = m_folders.root().path() / name;
        prompts().saveFiles = {QString::fromStdString(file.string())};
        trigger(names::Save2);
        return file;
    }

private slots:
    void theGroupShowsTheDefaultsOfANewProject() {
        const auto& group = find<QGroupBox>(names::grpbxPicturesForVisitors);
        QCOMPARE(group.title(), QStringLiteral("Pictures for Visitors"));
        QCOMPARE(find<QCheckBox>(names::chkbxHighDensity).text(), QStringLiteral("Sharp on high-density screens"));
        QCOMPARE(find<QCheckBox>(names::chkbxWebP).text(),
                 QStringLiteral("Modern picture format (WebP) with a fallback"));
        QCOMPARE(find<QCheckBox>(names::chkbxLazyLoad).text(),
                 QStringLiteral("Load later pictures when they are needed"));
        for (const auto& row : kOptionBinding)
            QVERIFY2(group.isAncestorOf(window().findChild<QWidget*>(QLatin1String(row.control))), row.control);
        for (const char* name : {names::chkbxHighDensity, names::chkbxWebP, names::chkbxLazyLoad})
            QVERIFY(!find<QCheckBox>(name).isChecked());
        QCOMPARE(quality().text(), QStringLiteral("90"));
        QCOMPARE(quality().accessibleName(), QStringLiteral("Quality of JPEG pictures"));
        QVERIFY(window().project().options().fileLines().empty());
    }

    void eachSwitchMarksModifiedAndIsOneUndoableStep_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("optionName");
        for (const auto& row : kOptionBinding)
            if (std::string_view(row.control) != names::spnedtJpegQuality)
                QTest::newRow(row.control) << QString::fromLatin1(row.control) << QString::fromLatin1(row.option);
    }

    void eachSwitchMarksModifiedAndIsOneUndoableStep() {
        QFETCH(QString, control);
        QFETCH(QString, optionName);
        const std::string name = optionName.toStdString();
        auto* box = window().findChild<QCheckBox*>(control);
        QVERIFY(box);
        box->click();
        QVERIFY(window().Modified());
        QCOMPARE(option(name.c_str()), "1");
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Option Change"));
        trigger(names::Undo1);
        QVERIFY(!box->isChecked());
        QCOMPARE(option(name.c_str()), "0");
        QVERIFY2(!window().Modified(), "the undo leads back to the state counted as saved");
        trigger(names::Redo1);
        QVERIFY(box->isChecked());
        QCOMPARE(option(name.c_str()), "1");
        QVERIFY(window().Modified());
    }

    // Typing a number is one step, however many keys it takes, as in every other number field.
    void typedQualityIsOneUndoableStep() {
        typeQuality(QStringLiteral("75"));
        QCOMPARE(option("Pictures.JpegQuality"), "75");
        QVERIFY(window().Modified());
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Number Change"));
        trigger(names::Undo1);
        QCOMPARE(quality().text(), QStringLiteral("90"));
        QCOMPARE(option("Pictures.JpegQuality"), "90");
        QVERIFY(!window().Modified());
    }

    void qualityOutsideItsRangeIsRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("1");
        QTest::newRow("above") << QStringLiteral("150") << QStringLiteral("100");
        QTest::newRow("negative") << QStringLiteral("-5") << QStringLiteral("1");
        QTest::newRow("no number") << QStringLiteral("-") << QStringLiteral("1");
    }

    void qualityOutsideItsRangeIsRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        typeQuality(typed);
        QCOMPARE(quality().text(), shown);
        QCOMPARE(QString::fromStdString(option("Pictures.JpegQuality")), shown);
    }

    // The project never holds a quality beyond the range, also while the field still shows what is typed.
    void qualityBeingTypedReachesTheProjectWithinItsRange() {
        quality().setFocus();
        quality().selectAll();
        QTest::keyClicks(&quality(), QStringLiteral("500"));
        QCOMPARE(quality().text(), QStringLiteral("500"));
        QCOMPARE(option("Pictures.JpegQuality"), "100");
    }

    void theOptionsSurviveSaveAndReopen() {
        find<QCheckBox>(names::chkbxHighDensity).click();
        find<QCheckBox>(names::chkbxLazyLoad).click();
        quality().setValue(70);
        const fs::path file = saveAs("visitors.vsk");
        QCOMPARE(prompts().messages.size(), std::size_t(0));
        QVERIFY(!window().Modified());
        const QStringList block = optionsBlockOf(file);
        QCOMPARE(block, (QStringList{"Pictures.HighDensity=1", "Pictures.JpegQuality=70", "Pictures.LazyLoad=1"}));

        trigger(names::New1);
        QVERIFY(!find<QCheckBox>(names::chkbxHighDensity).isChecked());
        QCOMPARE(quality().text(), QStringLiteral("90"));
        window().OpenProjectFile(file.string());
        QVERIFY(find<QCheckBox>(names::chkbxHighDensity).isChecked());
        QVERIFY(!find<QCheckBox>(names::chkbxWebP).isChecked());
        QVERIFY(find<QCheckBox>(names::chkbxLazyLoad).isChecked());
        QCOMPARE(quality().text(), QStringLiteral("70"));
        QVERIFY(!window().Modified());
        QVERIFY(!find<QAction>(names::Undo1).isEnabled());
    }

    // Editing a script parameter or an item keeps the options, and the upload target beside them.
    void otherEditsKeepTheOptions() {
        ProjectOptions options;
        options.set("Pictures.WebP", "1");
        options.set("Upload.Host", "example.com");
        window().project().setOptions(options);
        window().ScriptParamsToWindow();
        QVERIFY(find<QCheckBox>(names::chkbxWebP).isChecked());
        find<SpinEdit>(names::sliderWidth).setValue(700);
        QCOMPARE(window().project().options(), options);
    }

    void aHandEditedQualityShowsItsDefaultOrNearestBound_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no number") << QStringLiteral("high") << QStringLiteral("90");
        QTest::newRow("empty") << QString() << QStringLiteral("90");
        QTest::newRow("above") << QStringLiteral("250") << QStringLiteral("100");
        QTest::newRow("zero") << QStringLiteral("0") << QStringLiteral("1");
    }

    void aHandEditedQualityShowsItsDefaultOrNearestBound() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        ProjectOptions options;
        options.set("Pictures.JpegQuality", stored.toStdString());
        window().project().setOptions(options);
        window().ScriptParamsToWindow();
        QCOMPARE(quality().text(), shown);
        QVERIFY(prompts().messages.empty());

        // Another edit leaves the stored text for publishing to refuse by name; editing the field replaces it.
        find<QCheckBox>(names::chkbxWebP).click();
        QCOMPARE(option("Pictures.WebP"), "1");
        QCOMPARE(QString::fromStdString(option("Pictures.JpegQuality")), stored);
        quality().setValue(50);
        QCOMPARE(option("Pictures.JpegQuality"), "50");
    }

    void theHelpButtonOfTheGroupIsOnTheScriptPage() {
        auto& button = find<QToolButton>(names::SpeedButtonPictures);
        QCOMPARE(button.property("Tag").toInt(), 9);
        QVERIFY(find<QWidget>(names::tbshtScript).isAncestorOf(&button));
    }
};

QTEST_MAIN(PicturesForVisitorsTest)
#include "PicturesForVisitorsTest.moc"
