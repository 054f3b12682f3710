#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// Tells whether text is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
/// surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

/// Returns Windows-1252 text in UTF-8. The five bytes the code page leaves unassigned become the control
/// characters of the same number, as Windows reads them, so that no byte is lost.
std::string windows1252ToUtf8(std::string_view text);

/// Returns the lines of a file in UTF-8: as they are when all of them are valid UTF-8, otherwise each read
/// as Windows-1252, the code page older project files were written in.
std::vector<std::string> linesAsUtf8(std::vector<std::string> lines);

} // namespace veskaro
