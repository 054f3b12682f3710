#pragma once

#include <cstdint>
#include <optional>
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

/// Returns the value of a run of hexadecimal digits in either case (at most eight count), or nothing when
/// a character is no such digit. An empty run is 0.
std::optional<std::uint32_t> hexNumber(std::string_view digits);

} // namespace veskaro
