#include "imaging/PictureFormat.h"

#include "platform/AsciiText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <filesystem>

namespace veskaro {

namespace {

std::string extensionOf(const std::string& path) {
    const std::string name = textOf(pathOf(path).filename());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string{} : name.substr(dot + 1);
}

} // namespace

PictureFormat formatFromExtension(const std::string& path) {
    const std::string extension = extensionOf(path);
    const std::string lower = asciiLower(extension);
    if (lower == "jpg" || lower == "jpeg")
        return PictureFormat::Jpeg;
    if (lower == "gif")
        return PictureFormat::Gif;
    if (lower == "bmp")
        return PictureFormat::Bmp;
    throw VeskaroError("Unknown picture file extension (." + extension + ")");
}

const char* preparedExtension(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg:
        return ".jpg";
    case PictureFormat::Gif:
        return ".gif";
    case PictureFormat::Bmp:
        return ".bmp";
    }
    return "";
}

} // namespace veskaro
