#include "model/CommandLine.h"

#include "model/ValueText.h"

#include <filesystem>

namespace veskaro {

std::string CommandLineFileName(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments)
        joined += argument + ' ';
    const std::string fileName = TrimText(joined);
    if (fileName.empty())
        return fileName;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
    return error ? fileName : absolute.string();
}

} // namespace veskaro
