#include "platform/Places.h"

#include "platform/PathText.h"
#include "platform/ProgramFile.h"
#include "platform/SpecialFolders.h"
#include "platform/VeskaroError.h"
#include "platform/WorkRun.h"

#ifndef _WIN32
#include "platform/Xdg.h"
#endif

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr char kDelimiter = static_cast<char>(fs::path::preferred_separator);
constexpr const char* kLevels[] = {"Tarnwell", "Veskaro", "1.0"};

constexpr const char* kPreviewFailure =
    "Failed to create preview folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kTempFailure =
    "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kStagingFailure =
    "Failed to create staging folder at application data path! Please contact vendor for help! Thank you!";

bool isDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(pathOf(path), error);
}

// Creates one level; the parent must exist already.
bool ensureDirectory(const std::string& path) {
    std::error_code error;
    return isDirectory(path) || fs::create_directory(pathOf(path), error);
}

// Walks base, Tarnwell, Veskaro, 1.0 on every call, so a folder deleted meanwhile comes back.
std::string programLevelsBelow(std::string path, const char* missingBaseMessage) {
    if (path.empty() || !isDirectory(path))
        throw VeskaroError(missingBaseMessage);
    for (const char* level : kLevels) {
        EnsureTrailingBackslash(path);
        path += level;
        if (!ensureDirectory(path))
            throw VeskaroError(
                "Failed to create data folder at application data path! Please contact vendor for help! Thank you!");
    }
    EnsureTrailingBackslash(path);
    return path;
}

std::string sharedFolder(const std::string& dataFolder, const char* name, const char* failureMessage) {
    std::string path = dataFolder + name;
    if (!ensureDirectory(path))
        throw VeskaroError(failureMessage);
    EnsureTrailingBackslash(path);
    return path;
}

} // namespace

void EnsureTrailingBackslash(std::string& path) {
    if (path.empty() || path.back() != kDelimiter)
        path += kDelimiter;
}

Places::Places(Bases bases) : m_bases(std::move(bases)), m_run(std::make_shared<WorkRun>()) {}

Places Places::ofThisSystem() {
    const std::string program = programFilePath();
    Places places({program, dataFolderOf(program), GetSpecialFolder(SpecialFolder::AppData),
                   GetSpecialFolder(SpecialFolder::Personal), GetSpecialFolder(SpecialFolder::MyPictures)});
    places.removeEndedRuns();
    return places;
}

const std::string& Places::runName() const {
    return m_run->name();
}

// The data folder's path, for steps that only remove things and so must not make it.
std::string Places::dataFolderPath() const {
    if (m_bases.appDataBase.empty())
        return {};
    std::string dataFolder = m_bases.appDataBase;
    for (const char* level : kLevels) {
        EnsureTrailingBackslash(dataFolder);
        dataFolder += level;
    }
    EnsureTrailingBackslash(dataFolder);
    return dataFolder;
}

void Places::removeEndedRuns() const {
    if (const std::string dataFolder = dataFolderPath(); !dataFolder.empty())
        WorkRun::removeEndedRuns(dataFolder);
}

void Places::removeEmptyPreviewFolder() const {
    const std::string dataFolder = dataFolderPath();
    if (dataFolder.empty())
        return;
    // Removing a folder that is not empty fails, so files put there meanwhile stay.
    const fs::path own = pathOf(dataFolder) / "Preview" / m_run->name();
    std::error_code ignored;
    if (fs::is_directory(own, ignored))
        fs::remove(own, ignored);
    WorkRun::removeEmptySharedFolders(dataFolder);
}

std::string Places::GetAppDataFolder() const {
#ifndef _WIN32
    // A data home removed while the program runs comes back, as it came at start-up.
    xdg::createPrivateFolder(m_bases.appDataBase);
#endif
    return programLevelsBelow(m_bases.appDataBase,
                              "Failed to retrieve application data path! Please contact vendor for help! Thank you!");
}

// The run holds its lock in the shared Temp folder before it makes a folder of its own anywhere, so that a
// start that tidies up never takes the folder for one that an ended run left.
std::string Places::runFolder(const char* name, const char* failureMessage) const {
    const std::string dataFolder = GetAppDataFolder();
    sharedFolder(dataFolder, "Temp", failureMessage);
    if (!m_run->claim(dataFolder))
        throw VeskaroError(failureMessage);
    // A run that ends removes the shared folder once it is empty, which may fall between the two steps.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string path = sharedFolder(dataFolder, name, failureMessage) + m_run->name();
        std::error_code error;
        if (fs::create_directory(pathOf(path), error) || isDirectory(path)) {
            EnsureTrailingBackslash(path);
            return path;
        }
        if (error != std::errc::no_such_file_or_directory)
            break;
    }
    throw VeskaroError(failureMessage);
}

std::string Places::GetPreviewFolder() const {
    return runFolder("Preview", kPreviewFailure);
}

std::string Places::GetTempFolder() const {
    return runFolder("Temp", kTempFailure);
}

std::string Places::GetStagingFolder() const {
    return runFolder("Staging", kStagingFailure);
}

std::string Places::GetSharedTempFolder() const {
    return sharedFolder(GetAppDataFolder(), "Temp", kTempFailure);
}

std::string Places::GetDocumentsFolder() const {
    return programLevelsBelow(m_bases.documentsBase,
                              "Failed to retrieve my documents path! Please contact vendor for help! Thank you!");
}

} // namespace veskaro
