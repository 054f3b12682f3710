#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veskaro {

/// One entry of a remote folder's listing.
struct RemoteEntry {
    std::string name;
    std::uint64_t size = 0;
    bool isFile = true;

    bool operator==(const RemoteEntry&) const = default;
};

/// Called while a file travels, with the bytes sent so far; returns false to stop the transfer.
using TransferCallback = std::function<bool(std::uint64_t sent)>;

/// What a stopped transfer says.
inline constexpr const char* kUploadStoppedMessage = "The upload was stopped.";

/// One folder on a server, reached over one connection: what an upload needs of it, by plain file names
/// inside it. Every failure throws VeskaroError with the server's own words.
class RemoteFolder {
public:
    virtual ~RemoteFolder() = default;

    /// Makes the folder, and the missing folders above it, when it does not exist yet.
    virtual void makeFolder() = 0;
    /// Returns the folder's entries with their sizes.
    virtual std::vector<RemoteEntry> list() = 0;
    /// Returns the contents of the file name, or nothing when the folder holds no such file; a file larger
    /// than limit bytes throws.
    virtual std::optional<std::string> read(const std::string& name, std::size_t limit) = 0;
    /// Sends the local file to name, replacing a file there, calling sent as it goes; a stop through sent
    /// throws kUploadStoppedMessage.
    virtual void put(const std::string& localPath, const std::string& name, const TransferCallback& sent) = 0;
    /// Renames from to to; where renamesOver() is true a file at to is replaced in the same step.
    virtual void rename(const std::string& from, const std::string& to) = 0;
    /// Removes the file name.
    virtual void remove(const std::string& name) = 0;
    /// Tells whether rename replaces an existing file at once (as POSIX rename does) instead of refusing.
    virtual bool renamesOver() const = 0;
};

} // namespace veskaro
