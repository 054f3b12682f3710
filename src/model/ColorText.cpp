#include "model/ColorText.h"

#include "platform/AsciiText.h"
#include "platform/VeskaroError.h"

#include <cstdio>

namespace veskaro {

namespace {

// Characters first to first + 1 of text, as far as the text reaches.
std::string_view piece(std::string_view text, std::size_t first) {
    return first < text.size() ? text.substr(first, 2) : std::string_view{};
}

} // namespace

std::string ColorToHexText(std::uint32_t color) {
    char text[7];
    std::snprintf(text, sizeof text, "%02X%02X%02X", color & 0xFFu, (color >> 8) & 0xFFu, (color >> 16) & 0xFFu);
    return text;
}

std::uint32_t HexTextToColor(std::string_view text) {
    if (isTransparentColor(text))
        return 0;
    // The pieces are reordered blue, green, red: the colour's own layout, read as one number.
    const std::string digits = std::string(piece(text, 4)) + std::string(piece(text, 2)) + std::string(piece(text, 0));
    const std::optional<std::uint32_t> color = hexNumber(digits);
    if (!color)
        throw VeskaroError("'" + std::string(text) + "' is not a valid integer value");
    return *color;
}

bool isTransparentColor(std::string_view text) {
    return equalIgnoringAsciiCase(text, "transparent");
}

bool isColorText(std::string_view text) {
    return isTransparentColor(text) || rgbOfColorText(text).has_value();
}

std::optional<std::array<int, 3>> rgbOfColorText(std::string_view text) {
    const std::optional<std::uint32_t> number = text.size() == 6 ? hexNumber(text) : std::nullopt;
    if (!number)
        return std::nullopt;
    return std::array<int, 3>{static_cast<int>(*number >> 16), static_cast<int>((*number >> 8) & 0xFFu),
                              static_cast<int>(*number & 0xFFu)};
}

} // namespace veskaro
