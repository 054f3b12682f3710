#pragma once

#include <string>
#include <vector>

namespace veskaro {

class ItemTree;
class ProgressView;
class TkvlAppletAgent;

/// The scratch file in the Temp folder that the preview page is generated into.
inline constexpr const char* kScratchPageName = "~tmp0001.txt";
/// The name of the preview page in the Temp and Preview folders.
inline constexpr const char* kPreviewPageName = "~preview.html";

/// Generates the slider page as a save would, but into the Temp folder's scratch file, and returns its
/// lines. The scratch file is gone afterwards, also when generation fails.
std::vector<std::string> GeneratePageLines(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress);

/// Gathers the preview in the Preview folder: the linked files (scripts from shippedFolder, the style
/// sheet moved out of the staging folder), the resource step and the page as "~preview.html", written
/// through the Temp folder. Returns the Preview folder, ending in the delimiter.
std::string GatherPreview(TkvlAppletAgent& project, const std::vector<std::string>& pageLines,
                          const std::string& shippedFolder, ProgressView& progress);

} // namespace veskaro
