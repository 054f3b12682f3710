#pragma once

#include "imaging/RgbImage.h"

#include <array>
#include <cstdint>
#include <vector>

namespace veskaro {

/// Where one image of a GIF goes on its screen.
struct GifPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

/// The logical screen of a GIF, white where no image covers it, onto which the images that make up its
/// first frame are drawn one after another, each disposed of as it asks before the next comes.
class GifCanvas {
public:
    using Colour = std::array<std::uint8_t, 3>;
    static constexpr int kNoTransparency = -1;

    GifCanvas(int width, int height);

    /// Draws an image's colour indices, rows in file order, at its place clipped to the screen; pixels of
    /// the transparent index leave the canvas as it is. Every index must be in the colour table.
    void draw(const GifPlacement& place, const std::vector<std::uint8_t>& indices, const std::vector<Colour>& colours,
              int transparentIndex, int disposal);

    /// Hands over the picture; the canvas is empty afterwards.
    RgbImage take() { return std::move(m_image); }

private:
    void disposeLast();
    /// Calls visit(canvas row pointer, bytes, n) for each visible row n of the placement.
    template <typename Visit> void forVisibleRows(const GifPlacement& place, const Visit& visit);

    RgbImage m_image;
    GifPlacement m_last;
    int m_lastDisposal = 0;
    std::vector<std::uint8_t> m_saved; // the canvas under the last image, kept when it asks to be restored
};

} // namespace veskaro
