#include "platform/CommandLine.h"

#include "platform/AsciiText.h"
#include "platform/PathText.h"

#include <algorithm>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

namespace veskaro {

std::string commandLineFileName(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments)
        joined += argument + ' ';
    const std::string fileName = trimText(joined);
    if (fileName.empty())
        return fileName;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(pathOf(fileName), error);
    return error ? fileName : textOf(absolute);
}

std::vector<std::string> programArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        std::vector<std::string> arguments;
        for (int i = 1; i < count; ++i)
            arguments.push_back(utf8Text(wide[i]));
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

} // namespace veskaro
