#include "model/ValueText.h"

#include "platform/VeskaroError.h"

#include <charconv>

namespace veskaro {

namespace {

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

} // namespace

std::string TrimText(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

int StrToInt(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        (digits.front() == '-' && text.front() == '+'))
        throw VeskaroError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

std::string FileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace veskaro
