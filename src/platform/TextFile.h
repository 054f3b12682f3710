#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// Returns the platform's words for an input/output error number ("File access denied", "Disk full", ...).
std::string ioErrorText(int errorNumber);

/// Writes lines, each followed by CR LF, to a temporary file beside path and renames it over path,
/// so that a failure leaves an earlier file at path as it was. Throws VeskaroError on failure.
void writeTextFileAtomically(const std::string& path, const std::vector<std::string>& lines);

/// Writes bytes to a temporary file beside path and renames it over path. Throws VeskaroError on failure.
void writeFileAtomically(const std::string& path, const std::string& bytes);

/// Reads a text file into lines: LF or CR LF ends a line, a CR elsewhere is dropped, and a last line
/// without a line end still counts. Throws VeskaroError when the file cannot be read.
std::vector<std::string> readTextLines(const std::string& path);

} // namespace veskaro
