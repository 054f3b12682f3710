#include "model/ColorText.h"

#include "platform/VeskaroError.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace veskaro {

namespace {

bool isTransparent(std::string_view text) {
    constexpr std::string_view word = "transparent";
    return text.size() == word.size() && std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

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
    if (isTransparent(text))
        return 0;
    // The pieces are reordered blue, green, red: the colour's own layout, read as one number.
    const std::string digits = std::string(piece(text, 4)) + std::string(piece(text, 2)) + std::string(piece(text, 0));
    std::uint32_t color = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw VeskaroError("'" + std::string(text) + "' is not a valid integer value");
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
        color = color * 16 + static_cast<std::uint32_t>(digit);
    }
    return color;
}

} // namespace veskaro
