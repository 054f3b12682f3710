#include "platform/Places.h"

#include "platform/ProgramFile.h"
#include "platform/SpecialFolders.h"
#include "platform/VeskaroError.h"

#ifndef _WIN32
#include "platform/Xdg.h"
#endif

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr char kDelimiter = static_cast<char>(fs::path::preferred_separator);

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// Creates one level; the parent must exist already.
bool ensureDirectory(const std::string& path) {
    std::error_code error;
    return isDirectory(path) || fs::create_directory(path, error);
}

// Walks base, Tarnwell, Veskaro, 1.0 on every call, so a folder deleted meanwhile comes back.
std::string programLevelsBelow(std::string path, const char* missingBaseMessage) {
    if (path.empty() || !isDirectory(path))
        throw VeskaroError(missingBaseMessage);
    for (const char* level : {"Tarnwell", "Veskaro", "1.0"}) {
        EnsureTrailingBackslash(path);
        path += level;
        if (!ensureDirectory(path))
            throw VeskaroError(
                "Failed to create data folder at application data path! Please contact vendor for help! Thank you!");
    }
    EnsureTrailingBackslash(path);
    return path;
}

} // namespace

void EnsureTrailingBackslash(std::string& path) {
    if (path.empty() || path.back() != kDelimiter)
        path += kDelimiter;
}

Places::Places(Bases bases) : m_bases(std::move(bases)) {}

Places Places::ofThisSystem() {
    const std::string program = programFilePath();
    return Places({program, dataFolderOf(program), GetSpecialFolder(SpecialFolder::AppData),
                   GetSpecialFolder(SpecialFolder::Personal), GetSpecialFolder(SpecialFolder::MyPictures)});
}

std::string Places::GetAppDataFolder() const {
#ifndef _WIN32
    // A data home removed while the program runs comes back, as it came at start-up.
    xdg::createPrivateFolder(m_bases.appDataBase);
#endif
    return programLevelsBelow(m_bases.appDataBase,
                              "Failed to retrieve application data path! Please contact vendor for help! Thank you!");
}

std::string Places::workFolder(const char* name, const char* failureMessage) const {
    std::string path = GetAppDataFolder() + name;
    if (!ensureDirectory(path))
        throw VeskaroError(failureMessage);
    EnsureTrailingBackslash(path);
    return path;
}

std::string Places::GetPreviewFolder() const {
    return workFolder("Preview",
                      "Failed to create preview folder at application data path! Please contact vendor for help! "
                      "Thank you!");
}

std::string Places::GetTempFolder() const {
    return workFolder("Temp",
                      "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!");
}

std::string Places::GetStagingFolder() const {
    return workFolder("Staging",
                      "Failed to create staging folder at application data path! Please contact vendor for help! "
                      "Thank you!");
}

std::string Places::GetDocumentsFolder() const {
    return programLevelsBelow(m_bases.documentsBase,
                              "Failed to retrieve my documents path! Please contact vendor for help! Thank you!");
}

} // namespace veskaro
