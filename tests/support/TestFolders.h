#pragma once

#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/ProgramFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace veskaro::test {

/// Whether the system takes the per-user folders from the Windows shell rather than the environment.
#ifdef _WIN32
inline constexpr bool kShellFolders = true;
#else
inline constexpr bool kShellFolders = false;
#endif

/// The system's words for a folder met where a file is read or written (EISDIR on POSIX systems), and for
/// a file met where a folder belongs on the way (ENOTDIR): Windows says these otherwise.
#ifdef _WIN32
inline constexpr const char* kFolderInTheWay = "File access denied: ";
inline constexpr const char* kFileOnTheWay = "File not found: ";
#else
inline constexpr const char* kFolderInTheWay = "I/O error 21: ";
inline constexpr const char* kFileOnTheWay = "Path not found: ";
#endif

/// Returns path with each "/" turned into the system's delimiter ("\" on Windows), as the program writes
/// the paths it makes.
inline std::string native(std::string path) {
#ifdef _WIN32
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

/// Makes a fresh folder under the system's temporary folder and returns its path.
inline std::filesystem::path madeTemporaryFolder() {
#ifdef _WIN32
    // No mkdtemp here; a random name made with create_directory, which fails for a name already taken.
    std::random_device random;
    std::error_code error;
    std::filesystem::path path;
    do
        path = std::filesystem::temp_directory_path() / ("veskaro-test-" + std::to_string(random()));
    while (!std::filesystem::create_directory(path, error));
    return path;
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "veskaro-test-XXXXXX").string();
    return ::mkdtemp(pattern.data());
#endif
}

/// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder() : m_path(madeTemporaryFolder()) {}
    ~TemporaryFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// Returns the path of a name inside the folder, as text with the system's delimiters.
    std::string operator/(const std::string& name) const { return native(textOf(m_path / pathOf(name))); }

private:
    std::filesystem::path m_path;
};

/// Sets an environment variable, or removes it for nullptr.
inline void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    ::_putenv_s(name, value ? value : "");
#else
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
#endif
}

/// Sets an environment variable for as long as it lives, then restores the earlier value.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        setEnvironment(name, value.c_str());
    }
    ~ScopedEnvironment() { setEnvironment(m_name.c_str(), m_old ? m_old->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

/// Points every per-user folder (data, config, documents, pictures, home) into a temporary folder.
class PerUserFolders {
public:
    PerUserFolders()
        : m_home("HOME", m_root / "home"), m_data("XDG_DATA_HOME", m_root / "data"),
          m_config("XDG_CONFIG_HOME", m_root / "config"), m_configDirs("XDG_CONFIG_DIRS", m_root / "system"),
          m_documents("XDG_DOCUMENTS_DIR", m_root / "documents"), m_pictures("XDG_PICTURES_DIR", m_root / "pictures"),
          m_cache("XDG_CACHE_HOME", m_root / "cache") {
        for (const char* name : {"home", "data", "config", "system", "documents", "pictures", "cache"})
            std::filesystem::create_directories(m_root.path() / name);
    }

    const TemporaryFolder& root() const { return m_root; }
    /// Returns the places of a run that works in these folders and finds its shipped files beside the
    /// test program, or in dataFolder (ending in the delimiter).
    Places places(const std::string& dataFolder = dataFolderOf(programFilePath())) const {
        return Places({"/usr/bin/veskaro", dataFolder, m_root / "data", m_root / "documents", m_root / "pictures",
                       m_root / "cache"});
    }
    /// Returns the places of a new run as the program's start makes them, ended runs tidied away. Windows
    /// takes the per-user folders from the shell, which no environment moves, so there they are these
    /// folders directly.
    Places placesOfThisSystem() const {
        if (!kShellFolders)
            return Places::ofThisSystem();
        Places started = places();
        started.removeEndedRuns();
        return started;
    }

private:
    TemporaryFolder m_root;
    ScopedEnvironment m_home, m_data, m_config, m_configDirs, m_documents, m_pictures, m_cache;
};

/// Returns the whole content of a file as bytes.
inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

/// Writes bytes to a file, replacing it.
inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

/// Returns the names of the entries of a folder; none when it is missing.
inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.insert(textOf(entry.path().filename()));
    return names;
}

/// Returns every entry of a folder with its bytes; none when it is missing.
inline std::map<std::string, std::string> filesIn(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : namesIn(folder))
        files[name] = readBytes(folder / name);
    return files;
}

/// Returns the path of a file in the test data folder.
inline std::filesystem::path testData(const std::string& relative) {
    return std::filesystem::path(VESKARO_TEST_DATA_DIR) / relative;
}

} // namespace veskaro::test
