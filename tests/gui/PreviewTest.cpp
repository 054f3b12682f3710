#include "DesignerTestCase.h"

#include "browse/BrowserChoice.h"
#include "generate/PictureCache.h"
#include "generate/Publisher.h"
#include "imaging/BmpCodec.h"
#include "platform/Places.h"
#include "ui/TformWebBrowser.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItem>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace veskaro;
namespace fs = std::filesystem;
namespace names = veskaro::names;

namespace {

const std::set<std::string> kOneItemPreview{"~preview.html", "jslib.js", "slidervsk.js", "Slider1.css", "slider0.jpg"};

} // namespace

class PreviewTest : public test::DesignerTestCase {
    Q_OBJECT

    const Places& places() { return designer().places; }

    // Each test starts without work folders, whatever the test before it left.
    void startWithoutWorkFolders() {
        std::error_code ignored;
        fs::remove_all(m_folders.root() / "data", ignored);
    }

    // Inserts one item and does what image preparation does for its JPEG picture: the item names the
    // prepared picture and the picture lies recorded in the Preview folder. Its source is gone, so the
    // preview's own preparation leaves it as it is.
    void insertPreparedItem() {
        find<QToolButton>(names::tlbtnInsert).click();
        TItemData item = window().project().GetItem(0);
        item.IImageFile = "slider0.jpg";
        item.IOriginalImagePath = m_folders.root() / "gone.jpg";
        window().project().SetItem(item, 0);
        // The new item's page is shown; it shows the item as it is now.
        window().ItemToWindow(0);
        recordPreparedPicture();
    }
    void recordPreparedPicture() {
        const std::string picture = m_folders.root() / "slider0.jpg";
        test::writeBytes(picture, "prepared picture");
        publisher().previewFolder().CopyToPreview(picture);
    }

    std::vector<std::string> openedPreview() { return {"open " + places().GetPreviewFolder() + kPreviewPageName}; }
    bool holds(const std::string& folder, const char* name) { return fs::exists(folder + name); }

    // Runs the browser dialog command and answers the modal dialog with the button of that name.
    void runBrowserCommand(const char* button, const std::function<void(TformWebBrowser&)>& edit = {}) {
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<TformWebBrowser*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (edit)
                edit(*dialog);
            dialog->findChild<QPushButton*>(QLatin1String(button))->click();
            answered = true;
        });
        find<QAction>(names::WebBrowser1).trigger();
        QVERIFY(answered);
    }

private slots:
    void previewOfOneItemGathersItsFilesAndOpensThePage() {
        startWithoutWorkFolders();
        insertPreparedItem();
        const bool modified = window().Modified();
        find<QAction>(names::Preview1).trigger();

        QVERIFY(prompts().messages.empty());
        const std::string preview = places().GetPreviewFolder();
        QCOMPARE(test::namesIn(preview), kOneItemPreview);
        const TStringArray recorded = publisher().previewFolder().previewFiles();
        QCOMPARE(std::set<std::string>(recorded.begin(), recorded.end()), kOneItemPreview);
        QCOMPARE(test::namesIn(places().GetTempFolder()), std::set<std::string>{});
        QVERIFY(!holds(places().GetStagingFolder(), "Slider1.css"));
        QCOMPARE(designer().shell.calls, openedPreview());

        // The page is the one a save writes, and the hidden holder keeps its text.
        QCOMPARE(test::readBytes(preview + kPreviewPageName),
                 test::readBytes(test::testData("page/default-one-item.html")));
        auto* holder = window().findChild<QWidget*>(QStringLiteral("formHTML"));
        QVERIFY(holder && !holder->isVisible());
        const QString held = holder->findChild<QPlainTextEdit*>(QStringLiteral("memoHTMLBuild"))->toPlainText();
        QVERIFY(held.contains(QStringLiteral("jsnavbtnslider_firstimage_1")));
        QCOMPARE(window().Modified(), modified);
    }

    // The launch itself stays silent; the hint line says which browser did not start.
    void aBrowserThatDoesNotStartIsNamedInTheHintLine() {
        startWithoutWorkFolders();
        // The settings outlive the test; the next one starts with the default browser again.
        const auto forgetChoice = qScopeGuard([this] {
            std::error_code ignored;
            fs::remove_all(m_folders.root() / "config/veskaro", ignored);
        });
        insertPreparedItem();
        designer().shell.launchesStart = false;
        find<QAction>(names::Preview1).trigger();
        QVERIFY(prompts().messages.empty());
        QCOMPARE(designer().shell.calls, openedPreview());
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("The default browser could not be started: see Option > Web Browser."));

        runBrowserCommand(names::bitbtnOk, [](TformWebBrowser& dialog) {
            dialog.findChild<QRadioButton*>(QLatin1String(names::RadioButtonBrowserUserSpecify))->click();
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QLatin1String(names::editSpecifiedBrowserFileName)),
                             QStringLiteral("/opt/no such browser"));
        });
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("The browser /opt/no such browser could not be started: see Option > Web Browser."));
        publisher().previewFolder().ClearPreviewFolder();
    }

    void clearPictureCacheEmptiesTheCacheAndSaysHowMuch() {
        PictureCache cache(places().pictureCacheFolder(), 1 << 20);
        PictureCacheKey key;
        key.sourceDigest = "aa";
        cache.store(key, {PictureFormat::Jpeg, 4, 3, "bytes"});
        key.sourceDigest = "bb";
        cache.store(key, {PictureFormat::Jpeg, 4, 3, "bytes"});
        QVERIFY(!test::namesIn(places().pictureCacheFolder()).empty());
        find<QAction>(names::ClearPictureCache1).trigger();
        QVERIFY(!fs::exists(places().pictureCacheFolder()));
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QStringLiteral("Picture cache cleared: 2 file(s) removed."));
    }

    // The preview is shown all the same; the hint line tells why it took longer, once.
    void aCacheThatCannotBeWrittenIsNamedInTheHintLineOnce() {
        startWithoutWorkFolders();
        test::writeBytes(m_folders.root() / "blocked", "a file where the cache folder would be");
        publisher().setPictureCache(std::make_shared<PictureCache>(m_folders.root() / "blocked/Pictures/", 1 << 20));
        const auto noCache = qScopeGuard([this] { publisher().setPictureCache(nullptr); });
        find<QToolButton>(names::tlbtnInsert).click();
        TItemData item = window().project().GetItem(0);
        item.IOriginalImagePath = m_folders.root() / "sky.bmp";
        test::writeBytes(item.IOriginalImagePath, encodeBmp(RgbImage(30, 20, 99), "sky.bmp"));
        window().project().SetItem(item, 0);
        window().ItemToWindow(0);
        find<QAction>(names::Preview1).trigger();
        QVERIFY(prompts().messages.empty());
        QVERIFY2(find<QLabel>(names::stctxtHint).text().startsWith(QStringLiteral("The picture cache ")),
                 qPrintable(find<QLabel>(names::stctxtHint).text()));
        find<QLabel>(names::stctxtHint).clear();
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());
        publisher().previewFolder().ClearPreviewFolder();
    }

    // An item without any picture has no path to look for: its node says so, apart from a missing picture.
    void anItemWithoutAPictureIsToldApartFromAMissingOne() {
        startWithoutWorkFolders();
        insertPreparedItem();
        designer().select(0);
        find<QToolButton>(names::tlbtnInsert).click();
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(window().itemTree().nodeAt(1)->toolTip(0), QString::fromStdString(m_folders.root() / "gone.jpg"));
        QCOMPARE(window().itemTree().nodeAt(2)->toolTip(0),
                 QStringLiteral("This item has no picture: choose one on its page."));
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 QStringLiteral("1 picture was not found: see its node for its path. 1 item has no picture."));
        publisher().previewFolder().ClearPreviewFolder();
    }

    // The two blocks a user pastes into a page of their own, each introduced by where it goes.
    void copyEmbedCodePutsTheHeadAndBodyBlocksOnTheClipboard() {
        startWithoutWorkFolders();
        insertPreparedItem();
        find<QAction>(names::CopyEmbedCode1).trigger();
        QVERIFY(prompts().messages.empty());
        const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(0), QStringLiteral("<!-- Into the head of your page, beside the other style sheets: -->"));
        QCOMPARE(lines.at(1), QStringLiteral("<LINK href=\"./Slider1.css\" type=\"text/css\" rel=\"stylesheet\" />"));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("<!-- Into the body of your page")));
        QCOMPARE(lines.at(4), QStringLiteral("<!-- START COPYING FROM HERE -->"));
        QVERIFY(lines.contains(QStringLiteral("<script type=\"text/javascript\" src=\"slidervsk.js\"></script>")));
        QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("<!-- END OF COPYING -->"));
        QVERIFY(!lines.contains(QStringLiteral("</head>")) && !lines.contains(QStringLiteral("<body>")));
        QVERIFY(find<QLabel>(names::stctxtHint).text().startsWith(QStringLiteral("Embed code copied")));
        publisher().previewFolder().ClearPreviewFolder();
    }

    void previewWithoutItemsOnlyShowsTheMessage() {
        startWithoutWorkFolders();
        find<QToolButton>(names::tlbtnPreview).click();
        QCOMPARE(prompts().messages.size(), std::size_t(1));
        QCOMPARE(prompts().messages[0].text,
                 QStringLiteral("No item to build. Please add item to left pane and try again."));
        QCOMPARE(prompts().messages[0].icon, PromptIcon::Error);
        QCOMPARE(prompts().messages[0].buttons, PromptButtons::Ok);
        QVERIFY(designer().shell.calls.empty());
        QVERIFY(!fs::exists(m_folders.root() / "data/Tarnwell/Veskaro/1.0/Preview"));
    }

    void twoPreviewsRecordEachNameTwiceAndClearingDeletesEachOnce() {
        startWithoutWorkFolders();
        insertPreparedItem();
        find<QToolButton>(names::tlbtnPreview).click();
        recordPreparedPicture();
        find<QToolButton>(names::tlbtnPreview).click();
        QVERIFY(prompts().messages.empty());
        const std::vector<std::string> opened = openedPreview();
        QCOMPARE(designer().shell.calls, (std::vector<std::string>{opened[0], opened[0]}));
        const TStringArray recorded = publisher().previewFolder().previewFiles();
        for (const std::string& name : kOneItemPreview)
            QCOMPARE(std::count(recorded.begin(), recorded.end(), name), 2);
        publisher().previewFolder().ClearPreviewFolder();
        QVERIFY(!fs::exists(m_folders.root() / "data/Tarnwell/Veskaro/1.0/Preview"));
    }

    void ctrlPRunsThePreview() {
        startWithoutWorkFolders();
        insertPreparedItem();
        window().show();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(designer().shell.calls, openedPreview());
        publisher().previewFolder().ClearPreviewFolder();
    }

    void previewShowsTheEditOfTheCurrentItem() {
        startWithoutWorkFolders();
        insertPreparedItem();
        designer().select(1);
        find<QLineEdit>(names::edt_IToolTip).setText(QStringLiteral("Edited just now"));
        find<QAction>(names::Preview1).trigger();
        const std::string page = test::readBytes(places().GetPreviewFolder() + kPreviewPageName);
        QVERIFY(page.find("Edited just now") != std::string::npos);
        publisher().previewFolder().ClearPreviewFolder();
    }

    void failedGenerationOpensNoBrowser() {
        startWithoutWorkFolders();
        insertPreparedItem();
        find<QLineEdit>(names::pSliderName).setText(QStringLiteral("a/b"));
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(1));
        QVERIFY(prompts().messages[0].text.startsWith(QStringLiteral("The slider name must not contain")));
        QVERIFY(designer().shell.calls.empty());
        QVERIFY(!holds(places().GetPreviewFolder(), kPreviewPageName));
        publisher().previewFolder().ClearPreviewFolder();
    }

    QStringList warnedNodes() {
        QStringList warned;
        for (int position = 1; position < window().itemTree().nodeCount(); ++position)
            if (window().itemTree().nodeAt(position)->text(0) == QStringLiteral("Warning: Original image not found."))
                warned << window().itemTree().nodeAt(position)->toolTip(0);
        return warned;
    }

    void saveTheProjectAs(const fs::path& project) {
        publisher().publishForReal = true;
        prompts().saveFiles = {QString::fromStdString(project.string())};
        find<QAction>(names::Save2).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(0));
    }

    // The shipped sample names its pictures relative to its folder, and the program runs elsewhere; once
    // published without them, the hint line counts the missing pictures and their nodes keep their paths.
    void pictureCaptionsAfterOpeningTheSampleFromElsewhereAndItsPictureLessCopy() {
        startWithoutWorkFolders();
        const fs::path started = fs::current_path();
        const auto back = qScopeGuard([&started] { fs::current_path(started); });
        fs::current_path(m_folders.root().path());
        window().OpenProjectFile(places().dataFolder() + "samples/demo/demo.vsk");
        designer().select(1);
        QVERIFY(!find<QLabel>(names::imgPreview).isHidden() && !find<QLabel>(names::imgPreview).pixmap().isNull());
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(warnedNodes(), QStringList{});
        const fs::path site = m_folders.root().path() / "site";
        fs::create_directories(site);
        saveTheProjectAs(site / "demo.vsk");
        QCOMPARE(warnedNodes(), QStringList{});
        QCOMPARE(find<QLabel>(names::stctxtHint).text(),
                 "Saved 9 files to " + QString::fromStdString(site.string() + "/"));

        fs::create_directories(site / "pictures");
        fs::copy_file(places().dataFolder() + "samples/demo/pictures/harbour.jpg", site / "pictures/harbour.jpg");
        window().OpenProjectFile((site / "demo.vsk").string());
        find<QAction>(names::Preview1).trigger();
        const QStringList missing{"pictures/dunes.jpg", "pictures/meadow.gif"};
        QCOMPARE(warnedNodes(), missing);
        QCOMPARE(window().itemTree().nodeAt(2)->toolTip(0), QString());
        const QLabel& hint = find<QLabel>(names::stctxtHint);
        QCOMPARE(hint.text(), QStringLiteral("2 pictures were not found: see their nodes."));
        QVERIFY(hint.fontMetrics().horizontalAdvance(hint.text()) <= hint.contentsRect().width());
        find<QLabel>(names::stctxtHint).clear();
        // Saved under another name into the same folder, it would replace demo's pictures: it asks first.
        prompts().answers = {PromptAnswer::Yes};
        prompts().saveFiles = {QString::fromStdString((site / "again.vsk").string())};
        find<QAction>(names::Save2).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(1));
        QVERIFY(prompts().messages[0].text.contains(QStringLiteral("whose page is demo.html")));
        QCOMPARE(warnedNodes(), missing);
        QCOMPARE(hint.text(), QStringLiteral("2 pictures were not found: see their nodes."));
        publisher().previewFolder().ClearPreviewFolder();
    }

    void browserCommandStoresTheChoiceThatPreviewsUse() {
        startWithoutWorkFolders();
        runBrowserCommand(names::bitbtnCancel, [](TformWebBrowser& dialog) {
            dialog.findChild<QRadioButton*>(QLatin1String(names::RadioButtonBrowserUserSpecify))->click();
        });
        QVERIFY(!designer().settings->keyExists(SettingsRoot::CurrentUser, kWebBrowsersKey));

        runBrowserCommand(names::bitbtnOk, [](TformWebBrowser& dialog) {
            dialog.findChild<QRadioButton*>(QLatin1String(names::RadioButtonBrowserUserSpecify))->click();
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QLatin1String(names::editSpecifiedBrowserFileName)),
                             QStringLiteral("/opt/My Browser/web"));
        });
        insertPreparedItem();
        find<QAction>(names::Preview1).trigger();
        QCOMPARE(designer().shell.calls, std::vector<std::string>{"start /opt/My Browser/web | " +
                                                                  places().GetPreviewFolder() + kPreviewPageName});
        publisher().previewFolder().ClearPreviewFolder();
    }
};

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
