#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veskaro {

/// An 8-bit RGB picture: rows top-down, 3 bytes a pixel, no row padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, std::uint8_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, fill) {}

    /// Returns the size in bytes of one row.
    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * 3; }
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * rowBytes(); }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * rowBytes(); }
};

} // namespace veskaro
