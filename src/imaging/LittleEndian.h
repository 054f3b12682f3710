#pragma once

#include <cstdint>
#include <string>

namespace veskaro {

/// Returns the little-endian 16-bit number at bytes.
inline std::uint32_t readLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8);
}

/// Returns the little-endian 32-bit number at bytes.
inline std::uint32_t readLe32(const std::uint8_t* bytes) {
    return readLe16(bytes) | readLe16(bytes + 2) << 16;
}

/// Appends a number as two little-endian bytes.
inline void appendLe16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

/// Appends a number as four little-endian bytes.
inline void appendLe32(std::string& out, std::uint32_t value) {
    appendLe16(out, value & 0xFFFF);
    appendLe16(out, value >> 16);
}

} // namespace veskaro
