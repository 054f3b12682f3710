#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veskaro {

/// Returns the colour text of a colour held as 0x00BBGGRR: six upper-case hexadecimal digits, red first.
std::string ColorToHexText(std::uint32_t color);

/// Reads a colour text (red, green, blue) into a colour held as 0x00BBGGRR. "transparent" in any letter
/// case gives black; a text shorter than six characters gives shorter pieces, an empty one black. Throws
/// VeskaroError "'%s' is not a valid integer value" for a text that is not hexadecimal.
std::uint32_t HexTextToColor(std::string_view text);

/// Tells whether a colour text is the word "transparent", in any letter case.
bool isTransparentColor(std::string_view text);

/// Tells whether a colour text can reach a style sheet: six hexadecimal digits in either letter case, or
/// the word "transparent" in any letter case.
bool isColorText(std::string_view text);

/// Returns red, green and blue of a colour text of exactly six hexadecimal digits; nothing for any other
/// text.
std::optional<std::array<int, 3>> rgbOfColorText(std::string_view text);

} // namespace veskaro
