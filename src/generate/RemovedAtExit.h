#pragma once

#include <filesystem>
#include <string>

namespace veskaro {

/// Names a work file and removes it on every way out of the scope that made it, so that no scratch or
/// staged file outlives the command; the removal reports nothing.
class RemovedAtExit {
public:
    explicit RemovedAtExit(std::string path) : m_path(std::move(path)) {}
    ~RemovedAtExit() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    RemovedAtExit(const RemovedAtExit&) = delete;
    RemovedAtExit& operator=(const RemovedAtExit&) = delete;

    /// Returns the work file's path.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace veskaro
