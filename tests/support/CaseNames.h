#pragma once

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

namespace veskaro::test {

/// Returns text as a test case's name shows it, the same from run to run: letters, digits and plain
/// punctuation as they are; control characters, bytes beyond ASCII, blanks at either end and what CTest's
/// lists and scripts treat specially as \xNN; "(empty)" for no text.
inline std::string caseName(std::string_view text) {
    if (text.empty())
        return "(empty)";
    constexpr std::string_view kPlain = " _.,:/@+=!?*<>|&%'()-";
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool atEnd = i == 0 || i + 1 == text.size();
        const bool plain = (byte < 0x80 && std::isalnum(byte)) ||
                           (kPlain.find(static_cast<char>(byte)) != std::string_view::npos && !(byte == ' ' && atEnd));
        if (plain) {
            name += static_cast<char>(byte);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            name += hex;
        }
    }
    return name;
}

} // namespace veskaro::test
