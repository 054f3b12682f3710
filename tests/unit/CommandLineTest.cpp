#include "PictureTesting.h"

#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace veskaro;

TEST(CommandLine, NoArgumentsNameNoFile) {
    EXPECT_EQ(commandLineFileName({}), "");
    EXPECT_EQ(commandLineFileName({" ", "\t", ""}), "");
}

#ifdef _WIN32
TEST(CommandLine, JoinsAPathSplitAtItsBlanks) {
    EXPECT_EQ(commandLineFileName({"D:\\My", "Slides\\show.vsk"}), "D:\\My Slides\\show.vsk");
    EXPECT_EQ(commandLineFileName({"D:\\a", "", "b.vsk"}), "D:\\a  b.vsk");
}

TEST(CommandLine, TrimsControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(commandLineFileName({" \tD:\\p\\show.vsk\r\n"}), "D:\\p\\show.vsk");
    EXPECT_EQ(commandLineFileName({"\x01" "D:\\p\\a b.vsk\x1f"}), "D:\\p\\a b.vsk");
}
#else
TEST(CommandLine, JoinsAPathSplitAtItsBlanks) {
    EXPECT_EQ(commandLineFileName({"/home/me/My", "Slides/show.vsk"}), "/home/me/My Slides/show.vsk");
    EXPECT_EQ(commandLineFileName({"/a", "", "b.vsk"}), "/a  b.vsk");
}

TEST(CommandLine, TrimsControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(commandLineFileName({" \t/p/show.vsk\r\n"}), "/p/show.vsk");
    EXPECT_EQ(commandLineFileName({"\x01/p/a b.vsk\x1f"}), "/p/a b.vsk");
}
#endif

TEST(CommandLine, TakesARelativeNameFromTheCurrentFolder) {
    EXPECT_EQ(commandLineFileName({"demo.vsk"}), (std::filesystem::current_path() / "demo.vsk").string());
#ifdef _WIN32 // where the system makes the path whole, it also takes ".." away
    EXPECT_EQ(commandLineFileName({"../my", "show.vsk"}),
              (std::filesystem::current_path().parent_path() / "my show.vsk").string());
#else
    EXPECT_EQ(commandLineFileName({"../my", "show.vsk"}),
              (std::filesystem::current_path() / "../my show.vsk").string());
#endif
}

TEST(PreparationWorkers, AcceptsOneToSixtyFourAndRefusesTheRest) {
    EXPECT_EQ(preparationWorkersFrom("1", "--jobs"), 1);
    EXPECT_EQ(preparationWorkersFrom("64", "--jobs"), 64);
    EXPECT_EQ(preparationWorkersFrom("", "--jobs"), defaultPreparationWorkers());
    for (const char* text : {"0", "65", "-2", "2x", " 3", "99999999999"})
        EXPECT_EQ(veskaro::test::errorOf([&] { preparationWorkersFrom(text, "VESKARO_JOBS"); }),
                  std::string("VESKARO_JOBS must be a whole number from 1 to 64, not '") + text + "'");
}
