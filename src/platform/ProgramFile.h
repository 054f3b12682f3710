#pragma once

#include <string>

namespace veskaro {

/// Returns the full path of the running program file, or empty text when the system cannot tell.
std::string programFilePath();

/// Returns the folder of the shipped data files (slider scripts, help, samples) of a program file,
/// ending in the path delimiter: the program's own folder when it holds them (build tree, portable
/// copy), otherwise the installed share folder beside the program's bin folder.
std::string dataFolderOf(const std::string& programFile);

} // namespace veskaro
