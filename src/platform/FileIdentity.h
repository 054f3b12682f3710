#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace veskaro {

/// What tells one file from every other while it exists: its device (volume) and its number there, the
/// same for every name of the file (links, hard links, names in another letter case).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t number = 0;

    bool operator==(const FileIdentity&) const = default;
};

/// Hashes a file identity, for sets and maps of files.
struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& identity) const {
        return std::hash<std::uint64_t>{}(identity.device * 0x9E3779B97F4A7C15ull ^ identity.number);
    }
};

/// Returns the identity of the file a UTF-8 path names, following links; none when it cannot be read.
std::optional<FileIdentity> fileIdentityOf(const std::string& path);

} // namespace veskaro
