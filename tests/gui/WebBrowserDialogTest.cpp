#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "TestFolders.h"

#include "platform/FileSettingsStore.h"
#include "ui/BrowserServices.h"
#include "ui/TformWebBrowser.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace veskaro;
namespace fs = std::filesystem;

namespace {

constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;

} // namespace

class WebBrowserDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TemporaryFolder> m_folder;
    std::unique_ptr<FileSettingsStore> m_store;
    test::RecordingShell m_shell;
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<BrowserServices> m_services;
    std::unique_ptr<TformWebBrowser> m_dialog;

    // Puts runnable programs of these names on the search path.
    void install(std::initializer_list<const char*> programs) {
        for (const char* program : programs) {
            const fs::path path = m_folder->path() / "bin" / program;
            test::writeBytes(path, "#!/bin/sh\n");
            fs::permissions(path, fs::perms::owner_all);
        }
    }
    TformWebBrowser& openDialog() {
        m_dialog = std::make_unique<TformWebBrowser>(*m_services, m_prompts);
        return *m_dialog;
    }
    template <typename Control> Control& find(const char* name) {
        auto* control = m_dialog->findChild<Control*>(QLatin1String(name));
        if (!control)
            throw std::logic_error(std::string("no control named ") + name);
        return *control;
    }
    QList<bool> checkedStates() {
        return {find<QRadioButton>(names::RadioButtonBrowserDefault).isChecked(),
                find<QRadioButton>(names::RadioButtonBrowserKnownInSystem).isChecked(),
                find<QRadioButton>(names::RadioButtonBrowserUserSpecify).isChecked()};
    }
    void chooseInList(int index) {
        auto& list = find<QComboBox>(names::ComboBoxBrowserList);
        list.setCurrentIndex(index);
        Q_EMIT list.activated(index);
    }
    std::string stored(const char* name) {
        const auto dword = m_store->readDword(kUser, kWebBrowsersKey, name);
        if (dword.ok())
            return std::to_string(static_cast<std::int32_t>(dword.value));
        const auto text = m_store->readString(kUser, kWebBrowsersKey, name);
        return text.ok() ? '"' + text.value + '"' : "missing";
    }

private slots:
    void init() {
        m_folder = std::make_unique<test::TemporaryFolder>();
        fs::create_directories(m_folder->path() / "bin");
        m_store = std::make_unique<FileSettingsStore>(*m_folder / "user.reg", *m_folder / "machine.reg");
        m_services = std::make_unique<BrowserServices>(
            BrowserServices{*m_store, m_shell, BrowserSearchPlaces{{*m_folder / "bin"}, {}}});
        m_shell.calls.clear();
        m_prompts = {};
    }
    void cleanup() {
        m_dialog.reset();
        QVERIFY(m_prompts.unexpected.empty());
    }

    void showsItsControlsWithTheDefaults() {
        install({"chromium", "firefox"});
        TformWebBrowser& dialog = openDialog();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Web Browser"));
        QCOMPARE(dialog.size(), QSize(393, 237));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("Web Browser"));
        QCOMPARE(find<QRadioButton>(names::RadioButtonBrowserDefault).text(), QStringLiteral("Use Default Browser"));
        QCOMPARE(find<QRadioButton>(names::RadioButtonBrowserKnownInSystem).text(),
                 QStringLiteral("Use Known Browser in System"));
        QCOMPARE(find<QRadioButton>(names::RadioButtonBrowserUserSpecify).text(),
                 QStringLiteral("User Specified Browser Program"));
        QVERIFY(find<QPushButton>(names::bitbtnOk).isDefault());
        find<QPushButton>(names::bitbtnCancel);
        find<QToolButton>(names::spdbtnOpenExeFile);

        auto& list = find<QComboBox>(names::ComboBoxBrowserList);
        QVERIFY(!list.isEditable());
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.itemText(0), QStringLiteral("Firefox"));
        QCOMPARE(list.itemText(1), QStringLiteral("Chromium"));
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(checkedStates(), (QList<bool>{true, false, false}));
        QCOMPARE(find<QLineEdit>(names::editSpecifiedBrowserFileName).text(), QString());
    }

    void okStoresAllFiveValues() {
        install({"firefox", "chromium"});
        TformWebBrowser& dialog = openDialog();
        chooseInList(1);
        QCOMPARE(checkedStates(), (QList<bool>{false, true, false}));
        QTest::keyClicks(&find<QLineEdit>(names::editSpecifiedBrowserFileName), QStringLiteral("/opt/My Web/web"));
        // Typing does not choose the program.
        QCOMPARE(checkedStates(), (QList<bool>{false, true, false}));
        find<QPushButton>(names::bitbtnOk).click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(stored("UseDefaultBrowser"), std::string("0"));
        QCOMPARE(stored("UseKnownBrowser"), std::string("1"));
        QCOMPARE(stored("UseSpecifiedBrowser"), std::string("0"));
        QCOMPARE(stored("SelectedBrowserNumber"), std::string("1"));
        QCOMPARE(stored("SpecifiedBrowserExePath"), std::string("\"/opt/My Web/web\""));

        // The next creation reads the choice back.
        TformWebBrowser& again = openDialog();
        QCOMPARE(checkedStates(), (QList<bool>{false, true, false}));
        QCOMPARE(find<QComboBox>(names::ComboBoxBrowserList).currentIndex(), 1);
        QCOMPARE(find<QLineEdit>(names::editSpecifiedBrowserFileName).text(), QStringLiteral("/opt/My Web/web"));
        again.OpenPage("/home/ann/Preview Folder/", "~preview.html");
        QCOMPARE(m_shell.calls, std::vector<std::string>{"start " + (*m_folder / "bin/chromium") +
                                                         " | /home/ann/Preview Folder/~preview.html"});
        QVERIFY(!again.isVisible());
    }

    void okWithoutAnyChangeStoresTheDefaults() {
        openDialog();
        find<QPushButton>(names::bitbtnOk).click();
        QCOMPARE(stored("UseDefaultBrowser"), std::string("1"));
        QCOMPARE(stored("UseKnownBrowser"), std::string("0"));
        QCOMPARE(stored("UseSpecifiedBrowser"), std::string("0"));
        QCOMPARE(stored("SelectedBrowserNumber"), std::string("-1"));
        QCOMPARE(stored("SpecifiedBrowserExePath"), std::string("\"\""));
    }

    void cancelStoresNothing() {
        install({"firefox"});
        TformWebBrowser& dialog = openDialog();
        find<QRadioButton>(names::RadioButtonBrowserUserSpecify).click();
        QTest::keyClicks(&find<QLineEdit>(names::editSpecifiedBrowserFileName), QStringLiteral("/opt/web"));
        find<QPushButton>(names::bitbtnCancel).click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!m_store->keyExists(kUser, kWebBrowsersKey));
    }

    void knownBrowserCannotBeCheckedWithoutDetectedBrowsers() {
        openDialog();
        find<QRadioButton>(names::RadioButtonBrowserUserSpecify).click();
        find<QRadioButton>(names::RadioButtonBrowserKnownInSystem).click();
        QCOMPARE(checkedStates(), (QList<bool>{true, false, false}));
        QCOMPARE(find<QComboBox>(names::ComboBoxBrowserList).count(), 0);
    }

    void clickingTheCheckedChoiceKeepsIt() {
        openDialog();
        find<QRadioButton>(names::RadioButtonBrowserDefault).click();
        QCOMPARE(checkedStates(), (QList<bool>{true, false, false}));
        find<QRadioButton>(names::RadioButtonBrowserUserSpecify).click();
        find<QRadioButton>(names::RadioButtonBrowserUserSpecify).click();
        QCOMPARE(checkedStates(), (QList<bool>{false, false, true}));
    }

    void browseButtonReplacesTheProgramWithoutCheckingIt() {
        openDialog();
        auto& edit = find<QLineEdit>(names::editSpecifiedBrowserFileName);
        edit.setText(QStringLiteral("old"));
        m_prompts.openFiles = {QStringLiteral("/opt/My Browser/web"), QString()};
        find<QToolButton>(names::spdbtnOpenExeFile).click();
        QCOMPARE(edit.text(), QStringLiteral("/opt/My Browser/web"));
        QCOMPARE(checkedStates(), (QList<bool>{true, false, false}));
        find<QToolButton>(names::spdbtnOpenExeFile).click();
        // A cancelled choice changes nothing.
        QCOMPARE(edit.text(), QStringLiteral("/opt/My Browser/web"));
        find<QRadioButton>(names::RadioButtonBrowserUserSpecify).click();
        m_dialog->OpenPage("/p/", "~preview.html");
        QCOMPARE(m_shell.calls, std::vector<std::string>{"start /opt/My Browser/web | /p/~preview.html"});
    }

    void storedKnownBrowserWithNoneDetectedOpensWithTheDefault() {
        m_store->createKey(kUser, kWebBrowsersKey);
        m_store->writeDword(kUser, kWebBrowsersKey, "UseDefaultBrowser", 0);
        m_store->writeDword(kUser, kWebBrowsersKey, "UseKnownBrowser", 1);
        m_store->writeDword(kUser, kWebBrowsersKey, "UseSpecifiedBrowser", 0);
        m_store->writeDword(kUser, kWebBrowsersKey, "SelectedBrowserNumber", 0);
        TformWebBrowser& dialog = openDialog();
        QCOMPARE(checkedStates(), (QList<bool>{true, false, false}));
        dialog.OpenPage("/p/", "~preview.html");
        QCOMPARE(m_shell.calls, std::vector<std::string>{"open /p/~preview.html"});
    }
};

QTEST_MAIN(WebBrowserDialogTest)
#include "WebBrowserDialogTest.moc"
