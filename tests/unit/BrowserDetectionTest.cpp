#include "TestFolders.h"

#include "browse/BrowserDetection.h"
#include "browse/InstalledBrowsers.h"
#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace veskaro;
using veskaro::test::ScopedEnvironment;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace fs = std::filesystem;

namespace {

// Settings files quote a backslash as two.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out + "\"";
}

class BrowserDetectionTest : public testing::Test {
protected:
    void storeMachine(const std::string& text) { writeBytes(m_machineFile, text); }
    void storeUser(const std::string& text) { writeBytes(m_userFile, text); }

    // Makes a file (and its folders) inside the test folder and returns its path.
    std::string makeFile(const std::string& relative) {
        const fs::path path = m_folder.path() / relative;
        fs::create_directories(path.parent_path());
        writeBytes(path, "program");
        return fs::path(path).make_preferred().string();
    }

    TWebBrowserNamePathArray detected() const { return detectBrowsers(m_store, BrowserSearchPlaces{}); }

    TemporaryFolder m_folder;
    std::string m_userFile = m_folder / "user.reg";
    std::string m_machineFile = m_folder / "machine.reg";
    FileSettingsStore m_store{m_userFile, m_machineFile};
};

const char* const kIeKey = "[SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE]\n";

} // namespace

TEST_F(BrowserDetectionTest, NothingStoredFindsNothing) {
    EXPECT_TRUE(detected().empty());
}

TEST_F(BrowserDetectionTest, InternetExplorerIsTheKeysDefaultValueWhenThatFileExists) {
    const std::string program = makeFile("IE/iexplore.exe");
    storeMachine(std::string(kIeKey) + "@=" + quoted(program) + "\n");
    EXPECT_EQ(detected(), (TWebBrowserNamePathArray{{"Internet Explorer", program}}));

    // The path is taken as read: quotes stay and no longer name the file.
    storeMachine(std::string(kIeKey) + "@=" + quoted("\"" + program + "\"") + "\n");
    EXPECT_TRUE(detected().empty());

    for (const std::string& failing :
         {std::string(kIeKey) + "@=" + quoted(m_folder / "IE/missing.exe") + "\n",
          std::string(kIeKey) + "\"Path\"=" + quoted(program) + "\n", std::string(kIeKey) + "@=dword:00000001\n"}) {
        storeMachine(failing);
        EXPECT_TRUE(detected().empty()) << failing;
    }
    storeMachine("");
    storeUser(std::string(kIeKey) + "@=" + quoted(program) + "\n");
    EXPECT_TRUE(detected().empty()) << "Internet Explorer is looked up machine-wide only";
}

TEST_F(BrowserDetectionTest, NavigatorThreeIsFoundFromThePerUserInstallDirectory) {
    const std::string program = makeFile("Nav3/Program/Netscape.exe");
    const std::string key = "[SOFTWARE\\Netscape\\Netscape Navigator\\Main]\n";
    storeUser(key + "\"Install Directory\"=" + quoted(m_folder / "Nav3") + "\n");
    EXPECT_EQ(detected(), (TWebBrowserNamePathArray{{"Netscape Navigator 3", program}}));

    storeUser(key + "\"Install Directory\"=" + quoted(m_folder / "Elsewhere") + "\n");
    EXPECT_TRUE(detected().empty());
    storeUser(key + "\"Install Directory\"=\"\"\n");
    EXPECT_TRUE(detected().empty()) << "an empty directory gives an empty path";
    storeUser("");
    storeMachine(key + "\"Install Directory\"=" + quoted(m_folder / "Nav3") + "\n");
    EXPECT_TRUE(detected().empty()) << "Navigator 3 is looked up per user only";
}

TEST_F(BrowserDetectionTest, CommunicatorIsFoundThroughItsCurrentVersion) {
    const std::string program = makeFile("Comm/Program/Netscape.exe");
    const std::string versionKey = "[SOFTWARE\\Netscape\\Netscape Navigator]\n";
    const std::string mainKey =
        "[SOFTWARE\\Netscape\\Netscape Navigator\\4.7 (en)\\Main]\n\"Install Directory\"=" + quoted(m_folder / "Comm") +
        "\n";
    storeMachine(versionKey + "\"CurrentVersion\"=\"4.7 (en)\"\n" + mainKey);
    EXPECT_EQ(detected(), (TWebBrowserNamePathArray{{"Netscape Communicator 4.7 (en)", program}}));

    storeMachine(versionKey + "\"CurrentVersion\"=\"4.8\"\n" + mainKey);
    EXPECT_TRUE(detected().empty()) << "the version names the key of the install directory";
    storeMachine(mainKey);
    EXPECT_TRUE(detected().empty()) << "no version, no lookup";
}

TEST_F(BrowserDetectionTest, AnEmptyVersionEndsTheStepBeforeTheSecondKey) {
    makeFile("Comm/Program/Netscape.exe");
    // With the version left out, the second key would be "...\Netscape Navigator\Main", which exists here.
    storeMachine("[SOFTWARE\\Netscape\\Netscape Navigator]\n\"CurrentVersion\"=\"\"\n"
                 "[SOFTWARE\\Netscape\\Netscape Navigator\\Main]\n\"Install Directory\"=" +
                 quoted(m_folder / "Comm") + "\n");
    EXPECT_TRUE(detected().empty());
}

TEST_F(BrowserDetectionTest, NetscapeSixIsFoundThroughItsCurrentVersion) {
    const std::string program = makeFile("N6/netscp6.exe");
    storeMachine("[SOFTWARE\\Netscape\\Netscape 6]\n\"CurrentVersion\"=\"6.2 (en)\"\n"
                 "[SOFTWARE\\Netscape\\Netscape 6\\6.2 (en)\\Main]\n\"Install Directory\"=" +
                 quoted(m_folder / "N6") + "\n");
    EXPECT_EQ(detected(), (TWebBrowserNamePathArray{{"Netscape 6.2 (en)", program}}));

    fs::remove(program);
    EXPECT_TRUE(detected().empty()) << "a browser whose program file is missing is not listed";
}

TEST_F(BrowserDetectionTest, StepsRunInTheirFixedOrderThenTheInstalledBrowsers) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const std::string ie = makeFile("IE/iexplore.exe");
    const std::string nav3 = makeFile("Nav3/Program/Netscape.exe");
    const std::string comm = makeFile("Comm/Program/Netscape.exe");
    const std::string six = makeFile("N6/netscp6.exe");
    const std::string firefox = makeFile("bin/firefox");
    fs::permissions(firefox, fs::perms::owner_all);
    storeUser("[SOFTWARE\\Netscape\\Netscape Navigator\\Main]\n\"Install Directory\"=" + quoted(m_folder / "Nav3") +
              "\n");
    storeMachine("[SOFTWARE\\Netscape\\Netscape 6]\n\"CurrentVersion\"=\"6.2\"\n"
                 "[SOFTWARE\\Netscape\\Netscape 6\\6.2\\Main]\n\"Install Directory\"=" +
                 quoted(m_folder / "N6") + "\n" + kIeKey + "@=" + quoted(ie) +
                 "\n"
                 "[SOFTWARE\\Netscape\\Netscape Navigator]\n\"CurrentVersion\"=\"4.7\"\n"
                 "[SOFTWARE\\Netscape\\Netscape Navigator\\4.7\\Main]\n\"Install Directory\"=" +
                 quoted(m_folder / "Comm") + "\n");
    BrowserSearchPlaces places;
    places.programFolders = {m_folder / "bin"};
    EXPECT_EQ(detectBrowsers(m_store, places), (TWebBrowserNamePathArray{{"Internet Explorer", ie},
                                                                         {"Netscape Navigator 3", nav3},
                                                                         {"Netscape Communicator 4.7", comm},
                                                                         {"Netscape 6.2", six},
                                                                         {"Firefox", firefox}}));
}

namespace {

class InstalledBrowsersTest : public testing::Test {
protected:
    std::string makeProgram(const std::string& relative, fs::perms perms = fs::perms::owner_all) {
        const fs::path path = m_folder.path() / relative;
        fs::create_directories(path.parent_path());
        writeBytes(path, "#!/bin/sh\n");
        fs::permissions(path, perms);
        return path.string();
    }
    void makeEntry(const std::string& folder, const std::string& id, const std::string& text) {
        fs::create_directories(m_folder.path() / folder);
        writeBytes(m_folder.path() / folder / id, text);
    }
    TWebBrowserNamePathArray installed() const {
        TWebBrowserNamePathArray browsers;
        addInstalledBrowsers(m_places, browsers);
        return browsers;
    }

    TemporaryFolder m_folder;
    BrowserSearchPlaces m_places{{m_folder / "bin", m_folder / "usr/bin"},
                                 {m_folder / "home/applications", m_folder / "share/applications"}};
};

} // namespace

TEST_F(InstalledBrowsersTest, ProgramsOnThePathAreListedOnceInTheFixedOrder) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const std::string chromium = makeProgram("bin/chromium");
    makeProgram("usr/bin/chromium-browser");
    const std::string firefox = makeProgram("usr/bin/firefox-esr");
    makeProgram("bin/epiphany", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(m_folder.path() / "bin/google-chrome");
    EXPECT_EQ(installed(), (TWebBrowserNamePathArray{{"Firefox", firefox}, {"Chromium", chromium}}))
        << "files that cannot run and folders are no browsers";
}

TEST_F(InstalledBrowsersTest, DesktopEntriesNameProgramsOutsideThePath) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const std::string chrome = makeProgram("opt/google chrome/chrome");
    makeEntry("share/applications", "google-chrome.desktop",
              "[Desktop Entry]\nName=Google Chrome\nExec=\"" + chrome +
                  "\" %U\n"
                  "[Desktop Action new-window]\nExec=/elsewhere --new-window\n");
    const std::string edge = makeProgram("opt/edge/msedge");
    makeEntry("share/applications", "microsoft-edge.desktop",
              "[Desktop Entry]\r\nExec=env GDK_BACKEND=x11 LANG=C " + edge + " %U\r\n");
    const std::string epiphany = makeProgram("usr/bin/web-launcher");
    makeEntry("share/applications", "org.gnome.Epiphany.desktop", "[Desktop Entry]\nExec=web-launcher %u\n");
    // In the file a '$' inside quotes is escaped twice: once for the quoting, once as a string value.
    const std::string brave = makeProgram("opt/$brave/brave");
    makeEntry("share/applications", "brave-browser.desktop",
              "[Desktop Entry]\nExec=\"" + m_folder / "opt/\\\\$brave/brave" + "\" %U\n");
    EXPECT_EQ(installed(),
              (TWebBrowserNamePathArray{
                  {"Google Chrome", chrome}, {"Microsoft Edge", edge}, {"Epiphany", epiphany}, {"Brave", brave}}));
}

TEST_F(InstalledBrowsersTest, TheFirstFolderHoldingAnEntryDecides) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const std::string chromium = makeProgram("opt/chromium/chrome");
    makeEntry("share/applications", "chromium.desktop", "[Desktop Entry]\nExec=" + chromium + "\n");
    makeEntry("home/applications", "chromium.desktop", "[Desktop Entry]\nExec=" + chromium + "\nHidden=true\n");
    EXPECT_TRUE(installed().empty()) << "the user's hidden entry hides the system's";

    makeEntry("home/applications", "chromium.desktop", "[Desktop Entry]\nExec=relative/chrome %U\n");
    makeProgram("relative/chrome");
    EXPECT_TRUE(installed().empty()) << "a relative program path is never resolved";
}

TEST_F(InstalledBrowsersTest, ABrowserFoundTwiceOrAlreadyListedIsNotRepeated) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const std::string firefox = makeProgram("bin/firefox");
    makeProgram("usr/bin/firefox");
    makeEntry("share/applications", "firefox.desktop", "[Desktop Entry]\nExec=" + firefox + " %u\n");
    TWebBrowserNamePathArray browsers{{"Netscape 6.2", firefox}};
    addInstalledBrowsers(m_places, browsers);
    EXPECT_EQ(browsers, (TWebBrowserNamePathArray{{"Netscape 6.2", firefox}}));
    EXPECT_EQ(installed(), (TWebBrowserNamePathArray{{"Firefox", firefox}}));
}

TEST(BrowserSearchPlaces, ThisSystemsPlacesComeFromTheEnvironment) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const ScopedEnvironment path("PATH", "/usr/local/bin::bin:.:/usr/bin");
    const ScopedEnvironment dataHome("XDG_DATA_HOME", "/home/ann/.data");
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS", "/usr/share:/var/lib/flatpak/exports/share");
    const BrowserSearchPlaces places = BrowserSearchPlaces::ofThisSystem();
    EXPECT_EQ(places.programFolders, (std::vector<std::string>{"/usr/local/bin", "/usr/bin"}))
        << "relative folders on the path are skipped";
    EXPECT_EQ(places.applicationFolders,
              (std::vector<std::string>{"/home/ann/.data/applications", "/usr/share/applications",
                                        "/var/lib/flatpak/exports/share/applications"}));
}

TEST(BrowserSearchPlaces, DataFoldersHaveTheirStandardDefaults) {
#ifdef _WIN32
    GTEST_SKIP() << "browsers on the path and in desktop entries are Linux's; Windows detects them in the registry";
#endif
    const ScopedEnvironment home("HOME", "/home/ann");
    const ScopedEnvironment dataHome("XDG_DATA_HOME", "");
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS", "");
    EXPECT_EQ(BrowserSearchPlaces::ofThisSystem().applicationFolders,
              (std::vector<std::string>{"/home/ann/.local/share/applications", "/usr/local/share/applications",
                                        "/usr/share/applications"}));
}
