#include "platform/CommandLine.h"

#include "platform/AsciiText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

namespace veskaro {

namespace {

constexpr int kMostWorkers = 64;

} // namespace

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

int defaultPreparationWorkers() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostWorkers);
}

int preparationWorkersFrom(const std::string& text, const std::string& option) {
    if (text.empty())
        return defaultPreparationWorkers();
    int workers = 0;
    for (const char c : text) {
        workers = c >= '0' && c <= '9' ? workers * 10 + (c - '0') : 0;
        if (workers == 0 || workers > kMostWorkers)
            throw VeskaroError(option + " must be a whole number from 1 to " + std::to_string(kMostWorkers) +
                               ", not '" + text + "'");
    }
    return workers;
}

int preparationWorkersFromEnvironment() {
    const char* text = std::getenv(kWorkersVariable);
    return preparationWorkersFrom(text ? text : "", kWorkersVariable);
}

int pictureCacheMegabytesFrom(const std::string& text, const std::string& option) {
    if (text.empty())
        return kDefaultCacheMegabytes;
    long long megabytes = 0;
    for (const char c : text) {
        megabytes = megabytes * 10 + (c - '0');
        if (c < '0' || c > '9' || megabytes > kMostCacheMegabytes)
            throw VeskaroError(option + " must be a whole number of megabytes from 0 to " +
                               std::to_string(kMostCacheMegabytes) + ", not '" + text + "'");
    }
    return static_cast<int>(megabytes);
}

int pictureCacheMegabytesFromEnvironment() {
    const char* text = std::getenv(kCacheSizeVariable);
    return pictureCacheMegabytesFrom(text ? text : "", kCacheSizeVariable);
}

} // namespace veskaro
