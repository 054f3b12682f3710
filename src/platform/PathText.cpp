#include "platform/PathText.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace veskaro {

std::filesystem::path pathOf(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::FILE* openFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    // The C library of the system knows no "x" (create, never replace), so that mode is made here.
    std::wstring wideMode;
    bool exclusive = false;
    for (const char* c = mode; *c; ++c) {
        if (*c == 'x')
            exclusive = true;
        else
            wideMode += static_cast<wchar_t>(*c);
    }
    if (!exclusive)
        return ::_wfopen(pathOf(path).c_str(), wideMode.c_str());
    const int descriptor =
        ::_wopen(pathOf(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0)
        return nullptr;
    std::FILE* file = ::_wfdopen(descriptor, wideMode.c_str());
    if (!file)
        ::_close(descriptor);
    return file;
#else
    return std::fopen(path.c_str(), mode);
#endif
}

#ifdef _WIN32

std::wstring wideText(std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string utf8Text(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

#endif

bool removeFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(pathOf(path), error);
}

} // namespace veskaro
