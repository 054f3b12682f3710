#pragma once

#include <cstddef>
#include <cstdint>

namespace veskaro {

/// Bytes a picture decoder reads front to back. Reads never throw, because the C libraries call them
/// from their own frames; a failed read shows in readError().
class ByteSource {
public:
    virtual ~ByteSource() = default;

    /// Reads up to size bytes into buffer and returns how many it read; fewer means the end or an error.
    virtual std::size_t read(void* buffer, std::size_t size) noexcept = 0;
    /// Goes back to the first byte; returns false when that failed.
    virtual bool rewind() noexcept = 0;
    /// Returns how many bytes the source holds in all.
    virtual std::uint64_t size() const noexcept = 0;
    /// Returns the error number of a failed read, or 0.
    virtual int readError() const noexcept = 0;

    /// Reads exactly size bytes; returns false when the source ended or failed first.
    bool readExactly(void* buffer, std::size_t size) noexcept { return read(buffer, size) == size; }
};

} // namespace veskaro
