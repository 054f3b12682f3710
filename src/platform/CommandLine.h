#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// Returns the project file the program's arguments name: the arguments joined with single blanks and
/// trimmed, so that a path the desktop split at its blanks is whole again; empty text when they name
/// none. A relative name is taken from the current folder, so that the recent-files list holds a path
/// that still names the file when the program is started from elsewhere.
std::string commandLineFileName(const std::vector<std::string>& arguments);

/// The environment variable that says how many pictures the front ends prepare at once.
inline constexpr const char* kWorkersVariable = "VESKARO_JOBS";

/// Returns how many pictures are prepared at once unless asked otherwise: one for each processor core.
int defaultPreparationWorkers();
/// Returns the number of workers that text (from option, named in the message) asks for, 1 to 64; empty
/// text asks for the default. Throws VeskaroError for anything else.
int preparationWorkersFrom(const std::string& text, const std::string& option);
/// Returns the number of workers kWorkersVariable asks for, or the default when it is not set. Throws
/// VeskaroError when it asks for no number of workers.
int preparationWorkersFromEnvironment();

/// The environment variable that bounds the picture cache, in megabytes.
inline constexpr const char* kCacheSizeVariable = "VESKARO_CACHE_MB";
/// The picture cache's bound unless asked otherwise: 1 GiB.
inline constexpr int kDefaultCacheMegabytes = 1024;
/// The largest bound the picture cache takes: 1 TiB.
inline constexpr int kMostCacheMegabytes = 1 << 20;

/// Returns the picture cache's bound in megabytes that text (from option, named in the message) asks for,
/// 0 (no cache) to kMostCacheMegabytes; empty text asks for the default. Throws VeskaroError otherwise.
int pictureCacheMegabytesFrom(const std::string& text, const std::string& option);
/// Returns the bound kCacheSizeVariable asks for, or the default when it is not set. Throws VeskaroError
/// when it asks for no bound.
int pictureCacheMegabytesFromEnvironment();

/// Returns the program's arguments after its name as UTF-8: on Windows from the wide command line, since
/// argv holds them in the narrow code page; elsewhere argv as given.
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace veskaro
