#include "platform/DesktopEntry.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

constexpr std::string_view kMain = DesktopEntry::kMainGroup;

class ExecRoundTrip : public testing::TestWithParam<std::string> {};

} // namespace

// Each argument is quoted, escaped for the quotes and then as a string; reading must undo both exactly.
TEST_P(ExecRoundTrip, ArgumentsReadBackAsWritten) {
    const std::string& path = GetParam();
    DesktopEntry written = DesktopEntry::fromText("[Desktop Entry]\nName=Veskaro\n");
    written.setValue(kMain, "Exec", DesktopEntry::quotedExecArgument(path) + " --open %f");
    const DesktopEntry read = DesktopEntry::fromText(written.text());
    const std::optional<std::string> exec = read.value(kMain, "Exec");
    ASSERT_TRUE(exec) << written.text();
    EXPECT_EQ(DesktopEntry::execWords(*exec), (std::vector<std::string>{path, "--open", "%f"})) << written.text();
    EXPECT_EQ(read.value(kMain, "Name"), "Veskaro");
}

INSTANTIATE_TEST_SUITE_P(AwkwardPaths, ExecRoundTrip,
                         testing::Values("/usr/bin/veskaro", "/opt/My Apps/veskaro", "/opt/$HOME/ve$karo",
                                         "/opt/`id`/veskaro", "/opt/\"quoted\"/veskaro", "/opt/back\\slash\\s\\",
                                         "/opt/100%/%f/%%u", "/opt/Grüße 画像/veskaro", "/opt/tab\there/new\nline\r",
                                         " leading blank", "", "/\\\\$\"`%\\"));

TEST(DesktopEntry, ReadsGroupsKeysAndStringEscapes) {
    const DesktopEntry entry = DesktopEntry::fromText("# made by hand\r\n"
                                                      "[Desktop Entry]\r\n"
                                                      "Name = Web\r\n"
                                                      "Name[de]=Netz\n"
                                                      "Comment=a\\sb\\\\c\\nd\\te\\;f\\\n"
                                                      "[Desktop Action new]\n"
                                                      "Exec=other\n"
                                                      "[Broken\n"
                                                      "Name=lost");
    EXPECT_EQ(entry.value(kMain, "Name"), "Web") << "blanks around '=' do not count, nor keys below a bad header";
    EXPECT_EQ(entry.value(kMain, "Name[de]"), "Netz");
    EXPECT_EQ(entry.value(kMain, "Comment"), "a b\\c\nd\te\\;f\\");
    EXPECT_EQ(entry.value(kMain, "Exec"), std::nullopt);
    EXPECT_EQ(entry.value("Desktop Action new", "Exec"), "other");
    EXPECT_EQ(entry.value("Broken", "Name"), std::nullopt);
}

TEST(DesktopEntry, SettingValuesChangesOnlyTheirLines) {
    DesktopEntry entry = DesktopEntry::fromText("# kept\n[Desktop Entry]\nExec = old %f\nType=Application\n\n"
                                                "[Desktop Action new]\nExec=new\n");
    entry.setValue(kMain, "Exec", "new\\ %f");
    entry.setValue(kMain, "Icon", "veskaro");
    entry.setValue("Extra", "Key", " x");
    EXPECT_EQ(entry.text(), "# kept\n[Desktop Entry]\nExec=new\\\\ %f\nType=Application\nIcon=veskaro\n\n"
                            "[Desktop Action new]\nExec=new\n\n[Extra]\nKey=\\sx\n");
}

TEST(DesktopEntry, ExecWordsUndoQuotingAndKeepFieldCodes) {
    EXPECT_EQ(DesktopEntry::execWords("  \"/opt/My Web/web\" --flag  %U "),
              (std::vector<std::string>{"/opt/My Web/web", "--flag", "%U"}));
    EXPECT_EQ(DesktopEntry::execWords("\"a \\\"quoted\\\" \\\\ word\" b"),
              (std::vector<std::string>{"a \"quoted\" \\ word", "b"}));
    EXPECT_EQ(DesktopEntry::execWords("\"C:\\dir\" un\\quoted 50%% \"open"),
              (std::vector<std::string>{"C:\\dir", "un\\quoted", "50%", "open"}))
        << "a backslash escapes only \" ` $ \\ and only in quotes; an open quote runs to the end";
    EXPECT_EQ(DesktopEntry::execWords("\"\""), std::vector<std::string>{""});
    EXPECT_TRUE(DesktopEntry::execWords("").empty());
}
