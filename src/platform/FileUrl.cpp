#include "platform/FileUrl.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace veskaro {

namespace {

// The characters an address path holds as they are: unreserved characters, sub-delimiters, ":", "@"
// and the "/" between segments. "%" is not among them, so a "%" of the path is encoded too.
bool standsAsItIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           (byte != 0 && std::strchr("-._~!$&'()*+,;=:@/", byte) != nullptr);
}

} // namespace

std::string windowsPathToFileUrl(const std::string& path) {
    std::string address = path;
    std::replace(address.begin(), address.end(), '\\', '/');
    std::replace(address.begin(), address.end(), ':', '|');
    return "file:///" + address;
}

std::string posixPathToFileUrl(const std::string& absolutePath) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string address = "file://";
    for (const char character : absolutePath) {
        const auto byte = static_cast<unsigned char>(character);
        if (standsAsItIs(byte)) {
            address += character;
        } else {
            address += '%';
            address += kHexDigits[byte >> 4];
            address += kHexDigits[byte & 0x0F];
        }
    }
    return address;
}

std::string PathToFileUrl(const std::string& path) {
#ifdef _WIN32
    return windowsPathToFileUrl(path);
#else
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return posixPathToFileUrl(error ? path : absolute.string());
#endif
}

} // namespace veskaro
