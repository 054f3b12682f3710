#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// Computes a 256-bit BLAKE3 digest over bytes given in pieces of any size. Where a digest only has to tell
/// contents apart on this machine (the picture cache's sources), it is several times as fast as SHA-256:
/// its chunks are independent, so eight of them are hashed at once in vector registers.
class Blake3 {
public:
    using Digest = std::array<std::uint8_t, 32>;
    static constexpr std::size_t kChunkBytes = 1024;
    static constexpr std::size_t kSubtreeChunks = 64;
    static constexpr std::size_t kSubtreeBytes = kSubtreeChunks * kChunkBytes;

    /// Adds bytes to the message.
    void update(std::string_view bytes);
    /// Ends the message and returns its digest (hexOf in platform/Sha256.h writes it out); the object is then
    /// reset for a new message.
    Digest finish();

private:
    using Words = std::array<std::uint32_t, 8>;

    void addValue(const Words& value, std::uint64_t chunks);

    // The last bytes given, up to one subtree: they are only hashed once more bytes follow, since the last chunk
    // is hashed as the root when it is the only one. It grows only as far as they need, so that hashing a name
    // costs no more than the name.
    std::vector<std::uint8_t> m_buffer;
    // Always a whole number of subtrees until finish().
    std::uint64_t m_chunksDone = 0;
    // The chaining values of complete subtrees, largest first: one per set bit of m_chunksDone.
    std::array<Words, 54> m_stack{};
    std::size_t m_stackSize = 0;
};

/// Returns the BLAKE3 digest of bytes as 64 lower-case hexadecimal digits.
std::string blake3Hex(std::string_view bytes);

/// Returns the BLAKE3 digest of a file's contents as 64 lower-case hexadecimal digits, reading it in pieces.
/// Throws VeskaroError naming the file when it cannot be read.
std::string blake3HexOfFile(const std::string& path);

} // namespace veskaro
