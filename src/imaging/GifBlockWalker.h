#pragma once

#include "imaging/ByteSource.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace veskaro {

/// The bytes that open a GIF's blocks, and the label of a graphic control extension.
inline constexpr int kGifExtensionIntroducer = 0x21;
inline constexpr int kGifImageSeparator = 0x2C;
inline constexpr int kGifTrailer = 0x3B;
inline constexpr int kGifGraphicControlLabel = 0xF9;

/// Walks the blocks of a GIF file byte by byte without decoding them; the readers that look past the first
/// image build on it.
class GifBlockWalker {
protected:
    explicit GifBlockWalker(ByteSource& source) : m_source(source) {}

    /// Returns the next byte, or -1 at the end of the file.
    int nextByte() {
        std::uint8_t byte = 0;
        return m_source.read(&byte, 1) == 1 ? byte : -1;
    }

    /// Skips count bytes; tells whether the file held them.
    bool skip(std::size_t count) {
        std::array<std::uint8_t, 256> scratch{};
        for (std::size_t step = 0; count > 0; count -= step) {
            step = std::min(count, scratch.size());
            if (!m_source.readExactly(scratch.data(), step))
                return false;
        }
        return true;
    }

    ByteSource& m_source;
};

} // namespace veskaro
