#pragma once

#include "imaging/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace veskaro {

/// Reads bytes from memory that the caller keeps alive.
class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size) : m_data(static_cast<const std::uint8_t*>(data)), m_size(size) {}

    std::size_t read(void* buffer, std::size_t size) noexcept override {
        const std::size_t count = std::min(size, m_size - m_position);
        if (count > 0)
            std::memcpy(buffer, m_data + m_position, count);
        m_position += count;
        return count;
    }
    bool rewind() noexcept override {
        m_position = 0;
        return true;
    }
    std::uint64_t size() const noexcept override { return m_size; }
    int readError() const noexcept override { return 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

} // namespace veskaro
