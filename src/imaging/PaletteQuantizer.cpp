#include "imaging/PaletteQuantizer.h"

#include "imaging/WuQuantizer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace veskaro {

namespace {

using Colour = WuQuantizer::Colour;

// Nearest palette entry by squared distance, remembered per cell of a 64-level cube.
class NearestColour {
public:
    explicit NearestColour(const std::vector<Colour>& palette) : m_palette(palette), m_cache(64 * 64 * 64, -1) {}

    int find(int r, int g, int b) {
        const std::size_t key = static_cast<std::size_t>((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2));
        if (m_cache[key] < 0)
            m_cache[key] = static_cast<std::int16_t>(search((r & ~3) | 2, (g & ~3) | 2, (b & ~3) | 2));
        return m_cache[key];
    }

private:
    int search(int r, int g, int b) const {
        int best = 0;
        int bestDistance = INT32_MAX;
        for (std::size_t i = 0; i < m_palette.size(); ++i) {
            const int dr = r - m_palette[i][0], dg = g - m_palette[i][1], db = b - m_palette[i][2];
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        return best;
    }

    const std::vector<Colour>& m_palette;
    std::vector<std::int16_t> m_cache;
};

// Serpentine Floyd-Steinberg diffusion; errors are kept in sixteenths.
void diffuse(const RgbImage& canvas, const PixelRect& content, const std::vector<Colour>& palette, int sixteenths,
             IndexedImage& out) {
    NearestColour nearest(palette);
    const int width = content.width();
    std::vector<int> current(static_cast<std::size_t>(width + 2) * 3), next(current.size());
    for (int y = content.top; y < content.bottom; ++y) {
        const bool forward = (y - content.top) % 2 == 0;
        const int step = forward ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        for (int i = 0; i < width; ++i) {
            const int x = forward ? i : width - 1 - i;
            const std::uint8_t* pixel = canvas.row(y) + 3 * (content.left + x);
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] =
                    std::clamp(pixel[c] + ((current[static_cast<std::size_t>(3 * (x + 1) + c)] + 8) >> 4), 0, 255);
            const int index = nearest.find(want[0], want[1], want[2]);
            out.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) +
                        static_cast<std::size_t>(content.left + x)] = static_cast<std::uint8_t>(index);
            for (int c = 0; c < 3; ++c) {
                const int error =
                    (want[c] - palette[static_cast<std::size_t>(index)][static_cast<std::size_t>(c)]) * sixteenths / 16;
                auto slot = [&](std::vector<int>& row, int at) -> int& {
                    return row[static_cast<std::size_t>(3 * (at + 1) + c)];
                };
                slot(current, x + step) += error * 7;
                slot(next, x - step) += error * 3;
                slot(next, x) += error * 5;
                slot(next, x + step) += error;
            }
        }
        std::swap(current, next);
    }
}

// Counts a row's pixels a run of one colour at a time: flat stretches, common in drawn pictures, cost one
// step each.
void addRow(WuQuantizer& wu, const std::uint8_t* row, int width) {
    for (int x = 0; x < width;) {
        const std::uint8_t* colour = row + 3 * x;
        int run = 1;
        while (x + run < width && std::memcmp(colour, row + 3 * (x + run), 3) == 0)
            ++run;
        wu.add(colour, run);
        x += run;
    }
}

} // namespace

IndexedImage quantizeForGif(const RgbImage& canvas, const PixelRect& content, int diffusedSixteenths) {
    auto wu = std::make_unique<WuQuantizer>();
    for (int y = content.top; y < content.bottom; ++y)
        addRow(*wu, canvas.row(y) + 3 * content.left, content.width());
    std::vector<Colour> palette = wu->palette(255);
    wu.reset();

    IndexedImage out;
    out.width = canvas.width;
    out.height = canvas.height;
    const auto white = std::find(palette.begin(), palette.end(), Colour{255, 255, 255});
    const auto whiteIndex = static_cast<std::uint8_t>(white - palette.begin());
    if (white == palette.end())
        palette.push_back({255, 255, 255});
    out.indices.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), whiteIndex);
    if (content.width() > 0 && content.height() > 0)
        diffuse(canvas, content, palette, diffusedSixteenths, out);
    out.palette = std::move(palette);
    return out;
}

} // namespace veskaro
