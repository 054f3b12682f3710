#pragma once

#include <array>
#include <string>

namespace veskaro {

/// One help button's page: the button's Tag and the page's file name in the help folder.
struct HelpPage {
    int tag;
    const char* file;
};

/// The help page of each help button of the window's parameter groups, by the button's Tag.
inline constexpr std::array<HelpPage, 8> HelpPageTable{{
    {1, "customizing_js_script_script_general.htm"},
    {2, "customizing_js_script_script_navigation_buttons.htm"},
    {3, "customizing_js_script_script_timing.htm"},
    {9, "customizing_js_script_script_pictures.htm"},
    {5, "customizing_js_item_general_original_image_path.htm"},
    {6, "customizing_js_item_general_link.htm"},
    {7, "customizing_js_item_general_description.htm"},
    {8, "customizing_js_script_path_path.htm"},
}};

/// The page for everything the table does not name.
inline constexpr const char* kGettingStartedPage = "getting_started.htm";
/// The table of contents of the help folder.
inline constexpr const char* kHelpContentsPage = "index.html";

/// Returns the file name of the help page for a Tag: the table's page, or the getting-started page for
/// any Tag the table does not hold.
std::string helpPageFile(int tag);

} // namespace veskaro
