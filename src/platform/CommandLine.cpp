#include "platform/CommandLine.h"

#include "platform/AsciiText.h"
#include "platform/PathText.h"

#include <filesystem>

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

} // namespace veskaro
