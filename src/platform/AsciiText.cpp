#include "platform/AsciiText.h"

#include <algorithm>

namespace veskaro {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string trimText(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string asciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = asciiLower(c);
    return lower;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::optional<std::uint32_t> hexNumber(std::string_view digits) {
    if (digits.size() > 8)
        return std::nullopt;
    std::uint32_t number = 0;
    for (const char c : digits) {
        const char lower = asciiLower(c);
        const bool decimal = c >= '0' && c <= '9';
        if (!decimal && (lower < 'a' || lower > 'f'))
            return std::nullopt;
        number = number << 4 | static_cast<std::uint32_t>(decimal ? c - '0' : lower - 'a' + 10);
    }
    return number;
}

} // namespace veskaro
