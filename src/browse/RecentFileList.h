#pragma once

#include <array>
#include <string>

namespace veskaro {

class Places;

/// The four slots of the recent-files list, the most recent first; an empty text is an empty slot.
using RecentFileSlots = std::array<std::string, 4>;

/// Returns the path of the recent-files list: "recentfile.dat" in the Temp folder that all runs share, which
/// is created when missing.
std::string recentFileListPath(const Places& places);

/// Reads the first four lines of the recent-files list as they stand, prefix included, creating an empty
/// list when there is none. Throws VeskaroError when the folder or the file cannot be made or read.
RecentFileSlots readRecentFileList(const Places& places);

/// Returns the path a line of the list names: the line without its first three characters ("&k ").
std::string recentFilePath(const std::string& line);

/// Puts fileName first in the list, the others moving down a slot and the fourth dropping out; a name
/// the list holds already keeps its slot and nothing is written. Tells whether the list was rewritten.
bool addToRecentFileList(const Places& places, const std::string& fileName);

} // namespace veskaro
