#include "imaging/PaletteQuantizer.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace veskaro {

namespace {

using Colour = std::array<std::uint8_t, 3>;

// Wu's colour quantiser (Graphics Gems II): cumulative moments over a 64-level cube, boxes split where
// the summed variance drops most. Wu used 32 levels; 64 let smooth gradients, such as a sky, keep twice
// as many steps.
class WuQuantizer {
public:
    void add(const std::uint8_t* pixel) {
        const int r = (pixel[0] >> kShift) + 1, g = (pixel[1] >> kShift) + 1, b = (pixel[2] >> kShift) + 1;
        Moment& m = at(r, g, b);
        m.weight += 1;
        m.red += pixel[0];
        m.green += pixel[1];
        m.blue += pixel[2];
        m.squares += static_cast<double>(pixel[0] * pixel[0] + pixel[1] * pixel[1] + pixel[2] * pixel[2]);
    }

    std::vector<Colour> palette(int maxColours) {
        accumulate();
        std::vector<Box> boxes{Box{0, kSide - 1, 0, kSide - 1, 0, kSide - 1}};
        std::vector<double> variances{0.0};
        std::size_t next = 0;
        while (static_cast<int>(boxes.size()) < maxColours) {
            Box second;
            if (cut(boxes[next], second)) {
                boxes.push_back(second);
                variances[next] = variance(boxes[next]);
                variances.push_back(variance(second));
            } else {
                variances[next] = 0.0;
            }
            next = static_cast<std::size_t>(std::max_element(variances.begin(), variances.end()) - variances.begin());
            if (variances[next] <= 0.0)
                break;
        }
        std::vector<Colour> colours;
        for (const Box& box : boxes) {
            const Moment sum = volume(box);
            if (sum.weight == 0)
                continue;
            auto mean = [&](std::int64_t total) {
                return static_cast<std::uint8_t>((total + sum.weight / 2) / sum.weight);
            };
            colours.push_back({mean(sum.red), mean(sum.green), mean(sum.blue)});
        }
        return colours;
    }

private:
    static constexpr int kShift = 2;
    static constexpr int kSide = (256 >> kShift) + 1;
    struct Moment {
        std::int64_t weight = 0, red = 0, green = 0, blue = 0;
        double squares = 0.0;
        Moment& operator+=(const Moment& o) {
            weight += o.weight, red += o.red, green += o.green, blue += o.blue, squares += o.squares;
            return *this;
        }
        Moment& operator-=(const Moment& o) {
            weight -= o.weight, red -= o.red, green -= o.green, blue -= o.blue, squares -= o.squares;
            return *this;
        }
    };
    // Lower bounds exclusive, upper bounds inclusive, as the cumulative moments want them.
    struct Box {
        int r0, r1, g0, g1, b0, b1;
        int& low(int axis) { return axis == 0 ? r0 : axis == 1 ? g0 : b0; }
        int& high(int axis) { return axis == 0 ? r1 : axis == 1 ? g1 : b1; }
    };

    Moment& at(int r, int g, int b) { return m_moments[static_cast<std::size_t>((r * kSide + g) * kSide + b)]; }

    void accumulate() {
        for (int r = 1; r < kSide; ++r) {
            std::array<Moment, kSide> area{};
            for (int g = 1; g < kSide; ++g) {
                Moment line;
                for (int b = 1; b < kSide; ++b) {
                    line += at(r, g, b);
                    area[static_cast<std::size_t>(b)] += line;
                    at(r, g, b) = at(r - 1, g, b);
                    at(r, g, b) += area[static_cast<std::size_t>(b)];
                }
            }
        }
    }

    Moment corner(int r, int g, int b) { return at(r, g, b); }

    Moment volume(const Box& x) {
        Moment v = corner(x.r1, x.g1, x.b1);
        v -= corner(x.r1, x.g1, x.b0);
        v -= corner(x.r1, x.g0, x.b1);
        v += corner(x.r1, x.g0, x.b0);
        v -= corner(x.r0, x.g1, x.b1);
        v += corner(x.r0, x.g1, x.b0);
        v += corner(x.r0, x.g0, x.b1);
        v -= corner(x.r0, x.g0, x.b0);
        return v;
    }

    // The moments of the part of box below position along axis.
    Moment below(Box box, int axis, int position) {
        box.high(axis) = position;
        return volume(box);
    }

    static double spread(const Moment& m) {
        return static_cast<double>(m.red * m.red + m.green * m.green + m.blue * m.blue) / static_cast<double>(m.weight);
    }

    double variance(const Box& box) {
        const Moment m = volume(box);
        return m.weight > 1 ? m.squares - spread(m) : 0.0;
    }

    double bestCut(Box box, int axis, const Moment& whole, int& cutAt) {
        double best = 0.0;
        cutAt = -1;
        for (int position = box.low(axis) + 1; position < box.high(axis); ++position) {
            Moment half = below(box, axis, position);
            if (half.weight == 0)
                continue;
            Moment rest = whole;
            rest -= half;
            if (rest.weight == 0)
                continue;
            const double gain = spread(half) + spread(rest);
            if (gain > best) {
                best = gain;
                cutAt = position;
            }
        }
        return best;
    }

    bool cut(Box& first, Box& second) {
        const Moment whole = volume(first);
        int cuts[3];
        double gains[3];
        for (int axis = 0; axis < 3; ++axis)
            gains[axis] = bestCut(first, axis, whole, cuts[axis]);
        const int axis = static_cast<int>(std::max_element(gains, gains + 3) - gains);
        if (cuts[axis] < 0)
            return false;
        second = first;
        second.low(axis) = cuts[axis];
        first.high(axis) = cuts[axis];
        return true;
    }

    std::vector<Moment> m_moments = std::vector<Moment>(kSide * kSide * kSide);
};

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

// Three quarters of the error is passed on: enough to hide the steps in skies and gradients, while the
// grain that full diffusion sprinkles over a downscaled photograph stays low.
constexpr int kDiffusedSixteenths = 12;

// Serpentine Floyd-Steinberg diffusion; errors are kept in sixteenths.
void diffuse(const RgbImage& canvas, const PixelRect& content, const std::vector<Colour>& palette, IndexedImage& out) {
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
                const int error = (want[c] - palette[static_cast<std::size_t>(index)][static_cast<std::size_t>(c)]) *
                                  kDiffusedSixteenths / 16;
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

} // namespace

IndexedImage quantizeForGif(const RgbImage& canvas, const PixelRect& content) {
    auto wu = std::make_unique<WuQuantizer>();
    for (int y = content.top; y < content.bottom; ++y)
        for (int x = content.left; x < content.right; ++x)
            wu->add(canvas.row(y) + 3 * x);
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
        diffuse(canvas, content, palette, out);
    out.palette = std::move(palette);
    return out;
}

} // namespace veskaro
