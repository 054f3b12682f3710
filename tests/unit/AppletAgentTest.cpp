#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

TItemData itemNamed(const std::string& path) {
    TItemData item = TkvlAppletAgent::DefaultItem();
    item.IOriginalImagePath = path;
    return item;
}

std::vector<std::string> paths(const TkvlAppletAgent& project) {
    std::vector<std::string> result;
    for (const auto& item : project.items())
        result.push_back(item.IOriginalImagePath);
    return result;
}

TkvlAppletAgent projectWith(std::initializer_list<const char*> names) {
    TkvlAppletAgent project;
    for (const char* name : names)
        project.InsertItem(project.itemCount(), itemNamed(name));
    return project;
}

using Paths = std::vector<std::string>;

} // namespace

TEST(AppletAgent, CreatesEmptyProjectWithThreeLinkedFiles) {
    const TkvlAppletAgent project;
    EXPECT_EQ(project.itemCount(), 0);
    EXPECT_EQ(project.separator(), "#$@");
    EXPECT_EQ(project.GetAppletData(), TAppletData{});
    EXPECT_EQ(project.productVersion(), "");
    const TLinkedFileInfoArray expected{
        {"jslib.js", "js", false}, {"slidervsk.js", "js", false}, {"slidervsk.css", "css", true}};
    EXPECT_EQ(project.linkedFiles(), expected);
}

TEST(AppletAgent, SetDefaultsGivesTheDefaultsAndDropsItemsButKeepsLinkedFiles) {
    TkvlAppletAgent project = projectWith({"a.jpg", "b.jpg"});
    project.AddLinkedFile("extra.css", "css", true);
    project.SetDefaults();
    EXPECT_EQ(project.itemCount(), 0);
    EXPECT_EQ(project.linkedFiles().size(), 4u);
    const TStringArray expected{"Slider1", "640",    "480",    "-26",    "000000", "FFFFFF", "000000",
                                "C0C0C0",  "FFFF00", "000000", "FFFF00", "000000", "1",      "1000",
                                "500",     "2000",   "1",      "",       "",       "",       "1"};
    EXPECT_EQ(TkvlAppletAgent::AppletDataToStrings(project.GetAppletData()), expected);
}

TEST(AppletAgent, DefaultItemHasExactlyThreeValues) {
    const TStringArray strings = TkvlAppletAgent::ItemToStrings(TkvlAppletAgent::DefaultItem());
    EXPECT_EQ(strings, (TStringArray{"", "", "", "_self", "", "160", "120", "", ""}));
}

TEST(AppletAgent, StringConversionsArePositionalAndRoundTrip) {
    TStringArray applet;
    for (int k = 0; k < 21; ++k)
        applet.push_back(k % 3 == 0 ? "" : "value " + std::to_string(k));
    const TAppletData data = TkvlAppletAgent::StringsToAppletData(applet);
    EXPECT_EQ(data.pSliderName, "");
    EXPECT_EQ(data.sliderWidth, "value 1");
    EXPECT_EQ(data.InternalUse_RootDir_Local_Checked, "value 20");
    EXPECT_EQ(TkvlAppletAgent::AppletDataToStrings(data), applet);

    const TStringArray item{"f", "p", "l", "t", "d", "w", "h", "v", "r"};
    const TItemData record = TkvlAppletAgent::StringsToItem(item);
    EXPECT_EQ(record.IImageFile, "f");
    EXPECT_EQ(record.ILevel, "v");
    EXPECT_EQ(TkvlAppletAgent::ItemToStrings(record), item);
}

TEST(AppletAgent, InsertItemFollowsItsIndexRules) {
    TkvlAppletAgent empty;
    empty.InsertItem(5, itemNamed("a"));
    EXPECT_EQ(paths(empty), Paths{"a"});

    TkvlAppletAgent project = projectWith({"a", "b", "c"});
    project.InsertItem(1, itemNamed("x"));
    EXPECT_EQ(paths(project), (Paths{"a", "x", "b", "c"}));
    project.InsertItem(0, itemNamed("y"));
    EXPECT_EQ(paths(project), (Paths{"y", "a", "x", "b", "c"}));
    project.InsertItem(5, itemNamed("z"));
    EXPECT_EQ(paths(project), (Paths{"y", "a", "x", "b", "c", "z"}));
    project.InsertItem(7, itemNamed("past the end"));
    EXPECT_EQ(project.itemCount(), 6);
}

TEST(AppletAgent, DeleteItemFollowsItsIndexRules) {
    TkvlAppletAgent single = projectWith({"a"});
    single.DeleteItem(7);
    EXPECT_EQ(single.itemCount(), 0);
    single.DeleteItem(0);
    EXPECT_EQ(single.itemCount(), 0);

    TkvlAppletAgent project = projectWith({"a", "b", "c"});
    project.DeleteItem(7);
    project.DeleteItem(3);
    EXPECT_EQ(paths(project), (Paths{"a", "b", "c"}));
    project.DeleteItem(1);
    EXPECT_EQ(paths(project), (Paths{"a", "c"}));
    project.DeleteItem(1);
    EXPECT_EQ(paths(project), Paths{"a"});
}

TEST(AppletAgent, SwapWithPreviousNeedsBothItems) {
    TkvlAppletAgent project = projectWith({"a", "b", "c"});
    project.SwapWithPrevious(0);
    project.SwapWithPrevious(3);
    EXPECT_EQ(paths(project), (Paths{"a", "b", "c"}));
    project.SwapWithPrevious(2);
    EXPECT_EQ(paths(project), (Paths{"a", "c", "b"}));
}

TEST(AppletAgent, GetAndSetItemCopyValues) {
    TkvlAppletAgent project = projectWith({"a", "b"});
    TItemData item = project.GetItem(1);
    item.ILink = "page.html";
    EXPECT_EQ(project.GetItem(1).ILink, "");
    project.SetItem(item, 1);
    EXPECT_EQ(project.GetItem(1).ILink, "page.html");
    EXPECT_EQ(project.GetItem(0).ILink, "");
}
