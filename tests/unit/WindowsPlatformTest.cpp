// The Windows back-ends of the platform layer, checked against the system's own calls: the shell's special
// folders, the registry (read back with the registry API, not through the store under test; every key a
// test writes is put back as it was) and Ctrl+C at the console. Built for Windows only; under Wine in CI.
#include "SavedRegistryKeys.h"
#include "TestFolders.h"
#include "WindowsShellFolders.h"

#include "browse/BrowserChoice.h"
#include "browse/LinkTipSetting.h"
#include "platform/FileAssociation.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/SpecialFolders.h"
#include "platform/WindowsRegistryStore.h"
#include "platform/WindowsShell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <optional>
#include <vector>

using namespace veskaro;
namespace fs = std::filesystem;

namespace {

std::string shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    return utf8Text(path);
}

std::optional<std::wstring> registryString(const wchar_t* key, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

std::optional<DWORD> registryDword(const wchar_t* key, const wchar_t* name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

void setRegistryString(const wchar_t* key, const wchar_t* name, const std::wstring& value,
                       HKEY root = HKEY_CURRENT_USER) {
    RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool registryKeyExists(const wchar_t* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

const std::vector<std::wstring> kClassKeys{L"Software\\Classes\\.vsk", L"Software\\Classes\\Veskaro.Document"};
const std::vector<std::wstring> kSettingsKeys{L"Software\\KVL"};
const std::vector<std::wstring> kAllKeys{L"Software\\KVL", L"Software\\Classes\\.vsk",
                                         L"Software\\Classes\\Veskaro.Document"};

} // namespace

TEST(WindowsFolders, SpecialFoldersAreTheShellsFolders) {
    for (const auto& [folder, csidl] :
         {std::pair{SpecialFolder::AppData, CSIDL_APPDATA}, std::pair{SpecialFolder::Personal, CSIDL_PERSONAL},
          std::pair{SpecialFolder::MyPictures, CSIDL_MYPICTURES}}) {
        // The shell's two calls may differ in a trailing backslash (Wine's do for the documents).
        std::string named = GetSpecialFolder(folder);
        std::string expected = shellFolder(csidl);
        EXPECT_FALSE(named.empty()) << csidl;
        EnsureTrailingBackslash(named);
        EnsureTrailingBackslash(expected);
        EXPECT_EQ(named, expected) << csidl;
    }
}

TEST(WindowsFolders, TheProgramsFoldersLieBelowTheShellsFoldersAndEndInABackslash) {
    const Places places = Places::ofThisSystem();
    const std::string data = shellFolder(CSIDL_APPDATA) + "\\Tarnwell\\Veskaro\\1.0\\";
    EXPECT_EQ(places.GetAppDataFolder(), data);
    EXPECT_TRUE(fs::is_directory(pathOf(data)));
    EXPECT_EQ(places.GetPreviewFolder(), data + "Preview\\" + places.runName() + "\\");
    EXPECT_EQ(places.GetTempFolder(), data + "Temp\\" + places.runName() + "\\");
    EXPECT_EQ(places.GetSharedTempFolder(), data + "Temp\\");
    EXPECT_EQ(places.GetDocumentsFolder(), shellFolder(CSIDL_PERSONAL) + "\\Tarnwell\\Veskaro\\1.0\\");
    EXPECT_EQ(places.GetPicturesFolder(), shellFolder(CSIDL_MYPICTURES));
    EXPECT_EQ(places.dataFolder().back(), '\\');
}

TEST(WindowsFolders, AUserFolderNamedBeyondTheCodePageWorks) {
    veskaro::test::TemporaryFolder root;
    const fs::path zoe = root.path() / L"Zo\u00eb" / L"AppData";
    fs::create_directories(zoe);
    const veskaro::test::MovedShellFolder moved(L"AppData", zoe.wstring());
    const std::string base = GetSpecialFolder(SpecialFolder::AppData);
    ASSERT_EQ(pathOf(base), zoe) << base;
    EXPECT_NE(base.find("Zo\xC3\xAB"), std::string::npos) << "UTF-8, not the narrow code page";
    const Places places({"", "", base, "", ""});
    const std::string temp = places.GetTempFolder();
    EXPECT_EQ(temp, base + "\\Tarnwell\\Veskaro\\1.0\\Temp\\" + places.runName() + "\\");
    EXPECT_TRUE(fs::is_directory(zoe / "Tarnwell" / "Veskaro" / "1.0" / "Temp" / places.runName()));
}

TEST(WindowsRegistry, TheFileAssociationWritesTheThreeClassKeysOfTheCurrentUser) {
    const veskaro::test::SavedRegistryKeys saved(kClassKeys);
    WindowsRegistryStore store;
    const std::string program = "C:\\Program Files\\Zo\xC3\xAB Tools\\veskaro.exe";
    RegisterFileAssociation(store, program);
    const std::wstring wide = L"C:\\Program Files\\Zo\u00eb Tools\\veskaro.exe";
    EXPECT_EQ(registryString(L"Software\\Classes\\Veskaro.Document\\DefaultIcon", nullptr), wide + L",0");
    EXPECT_EQ(registryString(L"Software\\Classes\\Veskaro.Document\\shell\\open\\command", nullptr), wide + L" %1");
    EXPECT_EQ(registryString(L"Software\\Classes\\.vsk", nullptr), L"Veskaro.Document");
}

TEST(WindowsRegistry, SettingsAreDwordsAndStringsBelowTheProgramsKey) {
    const veskaro::test::SavedRegistryKeys saved(kSettingsKeys);
    WindowsRegistryStore store;
    const char* browsers = "\\Software\\KVL\\Veskaro\\1.0\\Web Browsers";
    ASSERT_TRUE(store.createKey(SettingsRoot::CurrentUser, browsers));
    ASSERT_TRUE(store.writeDword(SettingsRoot::CurrentUser, browsers, "SelectedBrowserNumber", 0xFFFFFFFFu));
    ASSERT_TRUE(
        store.writeString(SettingsRoot::CurrentUser, browsers, "SpecifiedBrowserExePath", "C:\\Caf\xC3\xA9\\b.exe"));
    const wchar_t* key = L"Software\\KVL\\Veskaro\\1.0\\Web Browsers";
    EXPECT_EQ(registryDword(key, L"SelectedBrowserNumber"), DWORD{0xFFFFFFFFu});
    EXPECT_EQ(registryString(key, L"SpecifiedBrowserExePath"), L"C:\\Caf\u00e9\\b.exe");
    EXPECT_EQ(store.readString(SettingsRoot::CurrentUser, browsers, "SpecifiedBrowserExePath").value,
              "C:\\Caf\xC3\xA9\\b.exe");
    EXPECT_EQ(store.readDword(SettingsRoot::CurrentUser, browsers, "SpecifiedBrowserExePath").status,
              ReadStatus::WrongType);
    EXPECT_EQ(store.readDword(SettingsRoot::CurrentUser, browsers, "Nothing").status, ReadStatus::Missing);
    EXPECT_EQ(store.readDword(SettingsRoot::CurrentUser, "\\Software\\KVL\\Nothing", "X").status, ReadStatus::NoKey);

    writeShowLinkTip(store, false);
    EXPECT_EQ(registryDword(L"Software\\KVL\\Veskaro\\1.0\\Settings", L"ShowLinkTipDialog"), DWORD{0});
    EXPECT_FALSE(readShowLinkTip(store));
    writeShowLinkTip(store, true);
    EXPECT_EQ(registryDword(L"Software\\KVL\\Veskaro\\1.0\\Settings", L"ShowLinkTipDialog"), DWORD{1});
    EXPECT_TRUE(readShowLinkTip(store));
}

// What a user had there before the tests ran is theirs: the keys come back with every value and sub-key,
// and keys the tests made go again.
TEST(WindowsRegistry, TheTestsLeaveTheUsersKeysAsTheyWere) {
    const veskaro::test::SavedRegistryKeys outer(kAllKeys);
    const wchar_t* settings = L"Software\\KVL\\Veskaro\\1.0\\Settings";
    const wchar_t* browsers = L"Software\\KVL\\Veskaro\\1.0\\Web Browsers";
    for (const wchar_t* made : {L"Software\\Classes\\Veskaro.Document", browsers}) {
        RegDeleteTreeW(HKEY_CURRENT_USER, made);
        RegDeleteKeyW(HKEY_CURRENT_USER, made);
    }
    setRegistryString(settings, L"UsersOwn", L"Zo\u00eb");
    setRegistryString(L"Software\\Classes\\.vsk", nullptr, L"Users.Editor");
    DWORD one = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, settings, L"ShowLinkTipDialog", REG_DWORD, &one, sizeof one);
    {
        const veskaro::test::SavedRegistryKeys saved(kAllKeys);
        WindowsRegistryStore store;
        RegisterFileAssociation(store, "C:\\veskaro.exe");
        writeShowLinkTip(store, false);
        store.createKey(SettingsRoot::CurrentUser, "\\Software\\KVL\\Veskaro\\1.0\\Web Browsers");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, settings, L"UsersOwn");
        ASSERT_EQ(registryString(L"Software\\Classes\\.vsk", nullptr), L"Veskaro.Document");
        ASSERT_EQ(registryDword(settings, L"ShowLinkTipDialog"), DWORD{0});
    }
    EXPECT_EQ(registryString(settings, L"UsersOwn"), L"Zo\u00eb");
    EXPECT_EQ(registryDword(settings, L"ShowLinkTipDialog"), DWORD{1});
    EXPECT_EQ(registryString(L"Software\\Classes\\.vsk", nullptr), L"Users.Editor");
    EXPECT_FALSE(registryKeyExists(L"Software\\Classes\\Veskaro.Document")) << "it was not there before";
    EXPECT_FALSE(registryKeyExists(browsers)) << "it was not there before";
}

TEST(WindowsConsole, CtrlCIsARequestWhileCaught) {
    const int status = std::system("\"" VESKARO_CONSOLE_INTERRUPT_PROBE "\"");
    if (status == 77)
        GTEST_SKIP() << "this system's console cannot send Ctrl+C";
    EXPECT_EQ(status, 0) << "Ctrl+C ended the process or was not noted";
}

namespace {

// Tells whether the tests run under Wine rather than Windows.
bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Waits, within bounds, for the recorder to write the file, and returns its lines.
std::vector<std::string> recordedArguments(const std::string& record) {
    for (int wait = 0; wait < 3000 && !fs::exists(pathOf(record)); ++wait)
        Sleep(10);
    std::vector<std::string> lines;
    std::string text = veskaro::test::readBytes(pathOf(record));
    for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1))
        lines.push_back(text.substr(0, end));
    return lines;
}

// The classes a user may register without rights over the machine. Wine's shell looks only at the
// machine's, which its private prefix lets the tests write.
HKEY classesRoot() {
    return underWine() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Makes the recorder the handler of one file type for as long as it lives: its verb "open" records "open"
// and the file, and its default verb, which a launch without a verb would take, records "edit" instead.
class RecorderFileType {
public:
    RecorderFileType() {
        const std::wstring recorder = L"\"" + wideText(veskaro::test::native(VESKARO_RECORDER)) + L"\"";
        setRegistryString(L"Software\\Classes\\.vskrecord", nullptr, L"Veskaro.TestRecord", m_root);
        setRegistryString(L"Software\\Classes\\Veskaro.TestRecord\\shell", nullptr, L"edit", m_root);
        setRegistryString(L"Software\\Classes\\Veskaro.TestRecord\\shell\\edit\\command", nullptr,
                          recorder + L" edit \"%1\"", m_root);
        setRegistryString(L"Software\\Classes\\Veskaro.TestRecord\\shell\\open\\command", nullptr,
                          recorder + L" open \"%1\"", m_root);
    }

private:
    const HKEY m_root = classesRoot();
    const veskaro::test::SavedRegistryKeys m_saved{
        {L"Software\\Classes\\.vskrecord", L"Software\\Classes\\Veskaro.TestRecord"}, m_root};
};

} // namespace

TEST(WindowsShell, QuotesAnArgumentOnlyWhereItMustStayOne) {
    for (const auto& [text, quoted] :
         {std::pair<std::string, std::string>{"C:\\site\\page.html", "C:\\site\\page.html"},
          {"C:\\my site\\page.html", "\"C:\\my site\\page.html\""},
          {"C:\\my site\\", "\"C:\\my site\\\\\""},
          {"say \"hi\"", "\"say \\\"hi\\\"\""},
          {"", "\"\""}})
        EXPECT_EQ(WindowsShell::quotedArgument(text), quoted) << text;
}

TEST(WindowsShell, TheChosenProgramGetsThePageAsItsOneArgument) {
    veskaro::test::TemporaryFolder folder;
    const std::string record = folder / "record.txt";
    const veskaro::test::ScopedEnvironment recording("VESKARO_RECORD", record);
    BrowserChoice choice;
    choice.setChecked(BrowserKind::Specified, true);
    choice.setProgramPath(VESKARO_RECORDER);
    WindowsShell shell;
    const std::string preview = folder / "Preview folder\\";
    choice.OpenPage(shell, preview, "~preview.html");
    EXPECT_EQ(recordedArguments(record), std::vector<std::string>{preview + "~preview.html"});
}

TEST(WindowsShell, TheDefaultChoiceOpensThePageWithTheHandlerOfItsType) {
    const RecorderFileType type;
    veskaro::test::TemporaryFolder folder;
    const std::string record = folder / "record.txt";
    const veskaro::test::ScopedEnvironment recording("VESKARO_RECORD", record);
    const std::string page = folder / "Caf\xC3\xA9 page.vskrecord";
    veskaro::test::writeBytes(pathOf(page), "<html></html>");
    BrowserChoice choice; // the default browser, as without stored settings
    WindowsShell shell;
    choice.OpenPage(shell, folder / "", "Caf\xC3\xA9 page.vskrecord");
    EXPECT_EQ(recordedArguments(record), (std::vector<std::string>{"open", page}));
}
