#pragma once

#include <string>
#include <string_view>

namespace veskaro {

/// Removes leading and trailing characters of code 32 or below.
std::string TrimText(std::string_view text);

/// Returns a character with an ASCII capital letter made small; every other byte stays, whatever the locale.
char AsciiLower(char c);
/// Returns a text with its ASCII capital letters made small; every other byte stays, whatever the locale.
std::string AsciiLower(std::string_view text);

/// Reads a decimal integer with an optional sign; throws VeskaroError "'%s' is not a valid integer value".
int StrToInt(std::string_view text);

/// Returns the file-name part of a path: the text after the last "\" or "/".
std::string FileNamePart(std::string_view path);

} // namespace veskaro
