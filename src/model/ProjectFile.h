#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veskaro {

class TkvlAppletAgent;

/// The largest project file the loader reads: far above any real project (a thousand items with long paths
/// and descriptions stay below a megabyte), and small enough that reading one never strains the memory.
inline constexpr std::uintmax_t kProjectFileSizeLimit = 64 * 1024 * 1024;

/// Returns the n-th value (counted from 1) of a line of separator-terminated values; a text after the
/// last separator is never a value, and n below 1 gives empty text.
std::string GetFieldN(const std::string& line, int n, const std::string& separator);

/// Returns the folder of a project file, made absolute (from the current folder) and ending in the
/// delimiter: the folder relative picture paths are read from.
std::string folderOfFile(const std::string& path);

/// Returns what keeps a value from a project file ("contains "#$@"", "contains a line break"), or empty
/// text when the file can hold it.
std::string terminatorProblem(const std::string& value, const std::string& separator);

/// Returns one sentence for each value of a project that a project file cannot hold ("#$@" or a line
/// break).
std::vector<std::string> storabilityProblems(const TkvlAppletAgent& project);

/// Throws VeskaroError naming the first value of a project that a project file cannot hold.
void ensureStorable(const TkvlAppletAgent& project);

} // namespace veskaro
