#include "platform/AsciiText.h"

#include <algorithm>

namespace veskaro {

namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

} // namespace

std::string trimText(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

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

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = asciiLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

} // namespace veskaro
