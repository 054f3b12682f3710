#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace veskaro {

/// A picture of palette indices, rows top-down, with a palette of at most 256 colours.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> indices;
};

} // namespace veskaro
