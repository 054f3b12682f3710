#pragma once

#include <string>
#include <string_view>

namespace veskaro {

/// Removes leading and trailing characters of code 32 or below.
std::string trimText(std::string_view text);

/// Returns a character with an ASCII capital letter made small; every other byte stays, whatever the locale.
char asciiLower(char c);
/// Returns a text with its ASCII capital letters made small; every other byte stays, whatever the locale.
std::string asciiLower(std::string_view text);
/// Tells whether two texts are equal when ASCII letters are compared without their case.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

/// Returns the value of a hexadecimal digit in either case, or -1 for any other character.
int hexDigitValue(char c);

} // namespace veskaro
