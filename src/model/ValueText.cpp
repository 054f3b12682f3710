#include "model/ValueText.h"

#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace veskaro {

std::optional<int> wholeNumberOf(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        (digits.front() == '-' && text.front() == '+'))
        return std::nullopt;
    return value;
}

int strToInt(std::string_view text) {
    const std::optional<int> value = wholeNumberOf(text);
    if (!value)
        throw VeskaroError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}

std::string fileNamePart(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool isBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || c == ':' || code < 32 || code == 127;
    });
}

std::string pictureFileOf(const TItemData& item) {
    return isBareFileName(item.IImageFile) ? item.IImageFile : std::string{};
}

std::string resolvePicturePath(const std::string& projectFolder, std::string_view picturePath) {
    const std::string path = trimText(picturePath);
    if (path.empty() || projectFolder.empty() || pathOf(path).is_absolute())
        return path;
    return textOf(pathOf(projectFolder) / pathOf(path));
}

} // namespace veskaro
