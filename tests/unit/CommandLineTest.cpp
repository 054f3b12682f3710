#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace veskaro;

TEST(CommandLine, NoArgumentsNameNoFile) {
    EXPECT_EQ(CommandLineFileName({}), "");
    EXPECT_EQ(CommandLineFileName({" ", "\t", ""}), "");
}

TEST(CommandLine, JoinsAPathSplitAtItsBlanks) {
    EXPECT_EQ(CommandLineFileName({"/home/me/My", "Slides/show.vsk"}), "/home/me/My Slides/show.vsk");
    EXPECT_EQ(CommandLineFileName({"/a", "", "b.vsk"}), "/a  b.vsk");
}

TEST(CommandLine, TrimsControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(CommandLineFileName({" \t/p/show.vsk\r\n"}), "/p/show.vsk");
    EXPECT_EQ(CommandLineFileName({"\x01/p/a b.vsk\x1f"}), "/p/a b.vsk");
}

TEST(CommandLine, TakesARelativeNameFromTheCurrentFolder) {
    EXPECT_EQ(CommandLineFileName({"demo.vsk"}), (std::filesystem::current_path() / "demo.vsk").string());
    EXPECT_EQ(CommandLineFileName({"../my", "show.vsk"}),
              (std::filesystem::current_path() / "../my show.vsk").string());
}
