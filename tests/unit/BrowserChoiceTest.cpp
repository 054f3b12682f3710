#include "RecordingShell.h"
#include "TestFolders.h"

#include "browse/BrowserChoice.h"
#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::RecordingShell;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace {

constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;
const std::string kFolder = "/home/ann/My Work/Preview/";
const std::string kPage = kFolder + "~preview.html";

const TWebBrowserNamePathArray kTwoBrowsers{{"Firefox", "/usr/bin/firefox"}, {"Chromium", "/usr/bin/chromium"}};

class BrowserChoiceTest : public testing::Test {
protected:
    // Writes the stored choice as the settings file holds it, so each test shows exactly what is stored.
    void storeSettings(const std::string& values) {
        writeBytes(m_userFile, "[Software\\KVL\\Veskaro\\1.0\\Web Browsers]\r\n" + values);
    }

    BrowserChoice loaded(TWebBrowserNamePathArray detected) const {
        BrowserChoice choice(std::move(detected));
        choice.load(m_store);
        return choice;
    }

    std::vector<std::string> launches(const BrowserChoice& choice) {
        RecordingShell shell;
        choice.OpenPage(shell, kFolder, "~preview.html");
        return shell.calls;
    }

    TemporaryFolder m_folder;
    std::string m_userFile = m_folder / "user.reg";
    FileSettingsStore m_store{m_userFile, m_folder / "machine.reg"};
};

std::vector<bool> checkedStates(const BrowserChoice& choice) {
    return {choice.isChecked(BrowserKind::Default), choice.isChecked(BrowserKind::Known),
            choice.isChecked(BrowserKind::Specified)};
}

} // namespace

TEST_F(BrowserChoiceTest, WithoutTheKeyTheDefaultBrowserOpensThePage) {
    const BrowserChoice choice = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(choice.selectedIndex(), -1);
    EXPECT_EQ(choice.programPath(), "");
    EXPECT_EQ(launches(choice), std::vector<std::string>{"open " + kPage});
    EXPECT_FALSE(m_store.keyExists(kUser, kWebBrowsersKey)) << "loading never creates the key";
}

TEST_F(BrowserChoiceTest, StoredKnownBrowserWithNoneDetectedFallsBackToTheDefault) {
    storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n\"UseKnownBrowser\"=dword:00000001\r\n"
                  "\"UseSpecifiedBrowser\"=dword:00000000\r\n\"SelectedBrowserNumber\"=dword:00000000\r\n"
                  "\"SpecifiedBrowserExePath\"=\"\"\r\n");
    const BrowserChoice choice = loaded({});
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(choice.selectedIndex(), -1);
    EXPECT_EQ(launches(choice), std::vector<std::string>{"open " + kPage});
}

TEST_F(BrowserChoiceTest, StoredKnownBrowserStartsTheSelectedProgramWithThePageAsOneArgument) {
    storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n\"UseKnownBrowser\"=dword:00000001\r\n"
                  "\"UseSpecifiedBrowser\"=dword:00000000\r\n\"SelectedBrowserNumber\"=dword:00000001\r\n");
    const BrowserChoice choice = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(choice.selectedIndex(), 1);
    EXPECT_EQ(launches(choice), std::vector<std::string>{"start /usr/bin/chromium | " + kPage});
}

TEST_F(BrowserChoiceTest, StoredIndexPastTheListSelectsTheFirstItemOrNothing) {
    storeSettings("\"UseDefaultBrowser\"=dword:00000001\r\n\"UseKnownBrowser\"=dword:00000000\r\n"
                  "\"UseSpecifiedBrowser\"=dword:00000000\r\n\"SelectedBrowserNumber\"=dword:00000003\r\n");
    EXPECT_EQ(loaded(kTwoBrowsers).selectedIndex(), 0);
    EXPECT_EQ(loaded({}).selectedIndex(), -1);
}

TEST_F(BrowserChoiceTest, StoredIndexIsSigned) {
    for (const char* number : {"ffffffff", "fffffffb", "80000000"}) {
        storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n\"UseKnownBrowser\"=dword:00000001\r\n"
                      "\"UseSpecifiedBrowser\"=dword:00000000\r\n\"SelectedBrowserNumber\"=dword:" +
                      std::string(number) + "\r\n\"SpecifiedBrowserExePath\"=\"/opt/web\"\r\n");
        const BrowserChoice choice = loaded(kTwoBrowsers);
        EXPECT_EQ(choice.selectedIndex(), -1) << number << " is negative: no selection";
        EXPECT_EQ(choice.programPath(), "/opt/web") << number << ": loading went on to the last value";
        EXPECT_TRUE(choice.isChecked(BrowserKind::Known));
        EXPECT_EQ(launches(choice), std::vector<std::string>{"open " + kPage})
            << "a known browser without a selection falls back to the default browser";
    }
}

TEST_F(BrowserChoiceTest, LoadingStopsAtTheFirstValueThatCannotBeRead) {
    // "UseKnownBrowser" is missing: the default choice is applied, nothing after it.
    storeSettings("\"UseDefaultBrowser\"=dword:00000001\r\n\"UseSpecifiedBrowser\"=dword:00000001\r\n"
                  "\"SelectedBrowserNumber\"=dword:00000001\r\n\"SpecifiedBrowserExePath\"=\"/opt/web\"\r\n");
    BrowserChoice choice = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(choice.selectedIndex(), -1);
    EXPECT_EQ(choice.programPath(), "");

    // A text where a number belongs stops the loading just as well.
    storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n\"UseKnownBrowser\"=dword:00000000\r\n"
                  "\"UseSpecifiedBrowser\"=dword:00000001\r\n\"SelectedBrowserNumber\"=\"1\"\r\n"
                  "\"SpecifiedBrowserExePath\"=\"/opt/web\"\r\n");
    choice = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(choice.selectedIndex(), -1);
    EXPECT_EQ(choice.programPath(), "");
}

TEST_F(BrowserChoiceTest, NoChoiceCheckedLaunchesNothing) {
    storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n");
    const BrowserChoice choice = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(launches(choice).empty());
}

TEST_F(BrowserChoiceTest, SpecifiedProgramGetsThePageAsOneArgumentEvenWhenEmpty) {
    storeSettings("\"UseDefaultBrowser\"=dword:00000000\r\n\"UseKnownBrowser\"=dword:00000000\r\n"
                  "\"UseSpecifiedBrowser\"=dword:00000002\r\n\"SelectedBrowserNumber\"=dword:ffffffff\r\n"
                  "\"SpecifiedBrowserExePath\"=\"/opt/My Browser/web\"\r\n");
    BrowserChoice choice = loaded(kTwoBrowsers);
    EXPECT_TRUE(choice.isChecked(BrowserKind::Specified)) << "any non-zero value reads as true";
    EXPECT_EQ(launches(choice), std::vector<std::string>{"start /opt/My Browser/web | " + kPage});

    // The shell is still asked, and fails on its own without a word.
    choice.setProgramPath("");
    EXPECT_EQ(launches(choice), std::vector<std::string>{"start  | " + kPage});
}

TEST_F(BrowserChoiceTest, SavingWritesAllFiveValuesThatLoadBack) {
    BrowserChoice choice(kTwoBrowsers);
    choice.chooseListItem(1);
    choice.setProgramPath("/opt/My Browser/web");
    choice.save(m_store);

    EXPECT_EQ(m_store.readDword(kUser, kWebBrowsersKey, "UseDefaultBrowser").value, 0u);
    EXPECT_EQ(m_store.readDword(kUser, kWebBrowsersKey, "UseKnownBrowser").value, 1u);
    EXPECT_EQ(m_store.readDword(kUser, kWebBrowsersKey, "UseSpecifiedBrowser").value, 0u);
    EXPECT_EQ(m_store.readDword(kUser, kWebBrowsersKey, "SelectedBrowserNumber").value, 1u);
    EXPECT_EQ(m_store.readString(kUser, kWebBrowsersKey, "SpecifiedBrowserExePath").value, "/opt/My Browser/web");

    const BrowserChoice again = loaded(kTwoBrowsers);
    EXPECT_EQ(checkedStates(again), checkedStates(choice));
    EXPECT_EQ(again.selectedIndex(), 1);
    EXPECT_EQ(again.programPath(), "/opt/My Browser/web");

    BrowserChoice none(kTwoBrowsers);
    none.save(m_store);
    const SettingsRead<std::uint32_t> number = m_store.readDword(kUser, kWebBrowsersKey, "SelectedBrowserNumber");
    EXPECT_EQ(number.status, ReadStatus::Ok);
    EXPECT_EQ(number.value, 0xFFFFFFFFu) << "no selection is stored as -1";
    EXPECT_EQ(m_store.readString(kUser, kWebBrowsersKey, "SpecifiedBrowserExePath").status, ReadStatus::Ok);
}

TEST_F(BrowserChoiceTest, SavingIntoAnUnwritableFolderFailsQuietly) {
    writeBytes(m_folder / "blocked", "a file where a folder belongs");
    FileSettingsStore blocked(m_folder / "blocked/user.reg", m_folder / "machine.reg");
    BrowserChoice(kTwoBrowsers).save(blocked);
    EXPECT_FALSE(blocked.keyExists(kUser, kWebBrowsersKey));
}

TEST(BrowserChoiceRules, CheckingOneChoiceUnchecksTheOthers) {
    BrowserChoice choice(kTwoBrowsers);
    choice.setChecked(BrowserKind::Specified, true);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, false, true}));
    choice.setChecked(BrowserKind::Known, true);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, true, false}));
    choice.setChecked(BrowserKind::Default, false);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, true, false})) << "unchecking changes nothing else";
    choice.setChecked(BrowserKind::Known, false);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{false, false, false}));
}

TEST(BrowserChoiceRules, KnownBrowserCannotBeCheckedWithoutDetectedBrowsers) {
    BrowserChoice choice;
    choice.setChecked(BrowserKind::Specified, true);
    choice.setChecked(BrowserKind::Known, true);
    EXPECT_EQ(checkedStates(choice), (std::vector<bool>{true, false, false}));
}

TEST(BrowserChoiceRules, OnlyTheUsersListChoiceChecksTheKnownBrowser) {
    BrowserChoice choice(kTwoBrowsers);
    choice.selectListItem(1);
    EXPECT_EQ(choice.selectedIndex(), 1);
    EXPECT_TRUE(choice.isChecked(BrowserKind::Default)) << "selecting by program leaves the choice";
    choice.chooseListItem(0);
    EXPECT_EQ(choice.selectedIndex(), 0);
    EXPECT_TRUE(choice.isChecked(BrowserKind::Known));
    choice.selectListItem(2);
    EXPECT_EQ(choice.selectedIndex(), -1) << "an index outside the list selects nothing";
}

// The launch names the browser it asked for, so that the window can say which one did not start.
TEST(BrowserChoiceOpening, TellsWhetherTheBrowserStartedAndWhichOneItWas) {
    struct Case {
        BrowserKind kind;
        int selected;
        bool starts;
        PageOpening expected;
    };
    const Case cases[] = {
        {BrowserKind::Default, -1, false, {false, ""}},
        {BrowserKind::Default, -1, true, {true, ""}},
        {BrowserKind::Specified, -1, false, {false, "/opt/web"}},
        {BrowserKind::Known, 0, false, {false, "/usr/bin/firefox"}},
        {BrowserKind::Known, -1, false, {false, ""}},
    };
    for (const Case& c : cases) {
        BrowserChoice choice(kTwoBrowsers);
        choice.setProgramPath("/opt/web");
        choice.setChecked(c.kind, true);
        choice.selectListItem(c.selected);
        RecordingShell shell;
        shell.launchesStart = c.starts;
        const PageOpening opening = choice.OpenPage(shell, kFolder, "~preview.html");
        EXPECT_EQ(opening.started, c.expected.started) << static_cast<int>(c.kind) << " " << c.selected;
        EXPECT_EQ(opening.program, c.expected.program) << static_cast<int>(c.kind) << " " << c.selected;
        EXPECT_EQ(shell.calls.size(), 1u);
    }
    BrowserChoice none(kTwoBrowsers);
    none.setChecked(BrowserKind::Default, false);
    RecordingShell shell;
    shell.launchesStart = false;
    EXPECT_TRUE(none.OpenPage(shell, kFolder, "~preview.html").started) << "nothing to start, nothing failed";
}
