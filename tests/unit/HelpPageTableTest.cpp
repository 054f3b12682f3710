#include "browse/HelpPageTable.h"

#include <gtest/gtest.h>

using namespace veskaro;

TEST(HelpPageTableTest, EachHelpButtonTagHasItsGroupsPage) {
    EXPECT_EQ(helpPageFile(1), "customizing_js_script_script_general.htm");
    EXPECT_EQ(helpPageFile(2), "customizing_js_script_script_navigation_buttons.htm");
    EXPECT_EQ(helpPageFile(3), "customizing_js_script_script_timing.htm");
    EXPECT_EQ(helpPageFile(9), "customizing_js_script_script_pictures.htm");
    EXPECT_EQ(helpPageFile(5), "customizing_js_item_general_original_image_path.htm");
    EXPECT_EQ(helpPageFile(6), "customizing_js_item_general_link.htm");
    EXPECT_EQ(helpPageFile(7), "customizing_js_item_general_description.htm");
    EXPECT_EQ(helpPageFile(8), "customizing_js_script_path_path.htm");
}

TEST(HelpPageTableTest, EveryOtherTagGivesTheGettingStartedPage) {
    for (const int tag : {0, 4, 10, 100, -1, -8})
        EXPECT_EQ(helpPageFile(tag), "getting_started.htm") << tag;
}
