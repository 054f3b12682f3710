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

// Creates one level; the parent must exist already. Another run may create the same level between the
// test and the creation, so what counts is that a folder stands there afterwards, whoever made it; and a run
// that ends removes an empty shared folder, which may fall just after its making, so it is made again.
// error holds the system's reason when no folder stands there.
bool ensureDirectory(const std::string& path, std::error_code& error) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        error.clear();
        if (isDirectory(path))
            return true;
        fs::create_directory(pathOf(path), error);
        if (isDirectory(path))
            return true;
        // "Exists" with no folder there: another run made it and an ending one removed it again meanwhile,
        // or a file stands in the way, which every try finds again.
        if (error && error != std::errc::file_exists)
            return false;
    }
    return false;
}

// The words the user knows come first; the folder and the system's reason tell a full disk, a missing
// permission or a file in the folder's place apart.
[[noreturn]] void throwFolderFailure(const char* message, const std::string& path, const std::error_code& error) {
    const std::string why = error ? error.message() : "another run removed it each time it was made";
    throw VeskaroError(std::string(message) + " (" + path + ": " + why + ")");
}

// Walks base, Tarnwell, Veskaro, 1.0, calling visit with each level's path as it goes; returns the last,
// ending in the delimiter.
template <typename Visit> std::string walkProgramLevels(std::string path, Visit visit) {
    for (const char* level : kLevels) {
        EnsureTrailingBackslash(path);
        path += level;
        visit(path);
    }
    EnsureTrailingBackslash(path);
    return path;
}

// Walks the levels on every call, creating what is missing, so a folder deleted meanwhile comes back.
std::string programLevelsBelow(const std::string& base, const char* missingBaseMessage) {
    if (base.empty() || !isDirectory(base))
        throw VeskaroError(missingBaseMessage);
    return walkProgramLevels(base, [](const std::string& level) {
        std::error_code error;
        if (!ensureDirectory(level, error))
            throwFolderFailure(
                "Failed to create data folder at application data path! Please contact vendor for help! Thank you!",
                level, error);
    });
}

std::string sharedFolder(const std::string& dataFolder, const char* name, const char* failureMessage) {
    std::string path = dataFolder + name;
    std::error_code error;
    if (!ensureDirectory(path, error))
        throwFolderFailure(failureMessage, path, error);
    EnsureTrailingBackslash(path);
    return path;
}

std::string pictureCacheFolderBelow(const std::string& base) {
    if (base.empty())
        return {};
    std::string folder = walkProgramLevels(base, [](const std::string&) {}) + "Pictures";
    EnsureTrailingBackslash(folder);
    return folder;
}

} // namespace

void EnsureTrailingBackslash(std::string& path) {
    if (path.empty() || path.back() != kDelimiter)
        path += kDelimiter;
}

Places::Places(Bases bases)
    : m_bases(std::move(bases)), m_pictureCacheFolder(pictureCacheFolderBelow(m_bases.cacheBase)),
      m_run(std::make_shared<WorkRun>()) {}

Places Places::ofThisSystem() {
    const std::string program = programFilePath();
    Places places({program, dataFolderOf(program), GetSpecialFolder(SpecialFolder::AppData),
                   GetSpecialFolder(SpecialFolder::Personal), GetSpecialFolder(SpecialFolder::MyPictures),
                   GetSpecialFolder(SpecialFolder::LocalAppData)});
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
    return walkProgramLevels(m_bases.appDataBase, [](const std::string&) {});
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
    const fs::path own = pathOf(dataFolder) / WorkRun::kPreviewFolder / m_run->name();
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
    // The lock lies in the shared Temp folder: when that is what cannot be made, its own message says so.
    sharedFolder(dataFolder, WorkRun::kTempFolder, kTempFailure);
    if (!m_run->claim(dataFolder))
        throw VeskaroError(kTempFailure);
    // A run that ends removes the shared folder once it is empty, which may fall between the two steps.
    std::string path;
    std::error_code error;
    for (int attempt = 0; attempt < 8; ++attempt) {
        path = sharedFolder(dataFolder, name, failureMessage) + m_run->name();
        error.clear();
        fs::create_directory(pathOf(path), error);
        if (isDirectory(path)) {
            EnsureTrailingBackslash(path);
            return path;
        }
        if (error != std::errc::no_such_file_or_directory)
            break;
    }
    throwFolderFailure(failureMessage, path, error);
}

std::string Places::GetPreviewFolder() const {
    return runFolder(WorkRun::kPreviewFolder, kPreviewFailure);
}

std::string Places::GetTempFolder() const {
    return runFolder(WorkRun::kTempFolder, kTempFailure);
}

std::string Places::GetStagingFolder() const {
    return runFolder(WorkRun::kStagingFolder, kStagingFailure);
}

std::string Places::GetSharedTempFolder() const {
    return sharedFolder(GetAppDataFolder(), WorkRun::kTempFolder, kTempFailure);
}

std::string Places::GetDocumentsFolder() const {
    return programLevelsBelow(m_bases.documentsBase,
                              "Failed to retrieve my documents path! Please contact vendor for help! Thank you!");
}

} // namespace veskaro
