#pragma once

#include <string>
#include <string_view>

namespace veskaro {

/// Tells whether text is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
/// surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

/// Returns Windows-1252 text in UTF-8. The five bytes the code page leaves unassigned become the control
/// characters of the same number, as Windows reads them, so that no byte is lost.
std::string windows1252ToUtf8(std::string_view text);

/// Returns the text of a file in UTF-8: as it is when the whole is valid UTF-8, otherwise read as
/// Windows-1252, the code page older project files were written in.
std::string fileTextAsUtf8(std::string text);

} // namespace veskaro
