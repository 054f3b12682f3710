#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veskaro {

/// Computes a SHA-256 digest over bytes given in pieces of any size.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    /// Adds bytes to the message.
    void update(std::string_view bytes);
    /// Ends the message and returns its digest; the object is then reset for a new message.
    Digest finish();

private:
    void compressBlocks(const std::uint8_t* blocks, std::size_t count);
    void compressBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state{};
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_messageBytes = 0;
};

/// Returns the digest as 64 lower-case hexadecimal digits.
std::string hexOf(const Sha256::Digest& digest);

/// Returns the SHA-256 of bytes as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

/// Returns the SHA-256 of a file's contents as 64 lower-case hexadecimal digits, reading it in pieces.
/// Throws VeskaroError naming the file when it cannot be read.
std::string sha256HexOfFile(const std::string& path);

} // namespace veskaro
