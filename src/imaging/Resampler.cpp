// Separable fixed-point resampling. Weights carry 14 fractional bits and each axis's weights sum to
// exactly 1 << 14, so a flat picture stays exactly flat. The horizontal pass keeps 6 fractional bits in
// 16-bit lanes; the vertical pass adds whole source rows into 32-bit sums, a loop over contiguous
// memory that the compiler vectorises. Both passes take two taps at a time, which SSE2 (every x86-64
// processor) multiplies and adds pairwise into 32-bit sums in one step; integer sums do not depend on their
// order, so the bytes are the same with it or without.

#include "imaging/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veskaro {

namespace {

constexpr int kWeightBits = 14;
constexpr int kInterBits = 6; // fractional bits kept between the passes
constexpr int kHorizontalShift = kWeightBits - kInterBits;
constexpr int kVerticalShift = kWeightBits + kInterBits;

double sinc(double x) {
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos3(double x) {
    return std::abs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
}

double catmullRom(double x) {
    x = std::abs(x);
    if (x < 1.0)
        return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0)
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

// For every output position along one axis: the first source position and the weights that follow it.
struct AxisWeights {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset; // into weights
    std::vector<std::int16_t> weights;
    // The same weights two by two, each pair in one 32-bit word (the first in the low half), a zero after an
    // odd count; pairOffset indexes them for each output position. The horizontal pass takes these.
    std::vector<std::int32_t> pairs;
    std::vector<int> pairOffset;
};

AxisWeights axisWeights(int sourceSize, int targetSize) {
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const bool shrinking = scale > 1.0;
    const double radius = shrinking ? 3.0 : 2.0;
    const double stretch = std::max(scale, 1.0); // the filter widens with the shrink so it also smooths
    const double support = radius * stretch;
    AxisWeights axis;
    std::vector<double> exact;
    for (int i = 0; i < targetSize; ++i) {
        const double centre = (i + 0.5) * scale;
        const int first = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int last = std::min(sourceSize, static_cast<int>(std::ceil(centre + support)));
        exact.clear();
        double sum = 0.0;
        for (int j = first; j < last; ++j) {
            const double x = (j + 0.5 - centre) / stretch;
            const double w = shrinking ? lanczos3(x) : catmullRom(x);
            exact.push_back(w);
            sum += w;
        }
        // Rounded weights may miss 1 << 14 by a little; the largest weight takes the difference.
        int total = 0;
        std::size_t largest = 0;
        const std::size_t start = axis.weights.size();
        for (std::size_t k = 0; k < exact.size(); ++k) {
            const int w = static_cast<int>(std::lround(exact[k] / sum * (1 << kWeightBits)));
            axis.weights.push_back(static_cast<std::int16_t>(w));
            total += w;
            if (exact[k] > exact[largest])
                largest = k;
        }
        axis.weights[start + largest] =
            static_cast<std::int16_t>(axis.weights[start + largest] + (1 << kWeightBits) - total);
        axis.first.push_back(first);
        axis.count.push_back(last - first);
        axis.offset.push_back(static_cast<int>(start));
    }
    return axis;
}

std::int16_t toLane(std::int32_t sum) {
    const std::int32_t value = (sum + (1 << (kHorizontalShift - 1))) >> kHorizontalShift;
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, INT16_MIN, INT16_MAX));
}

// Two weights in one 32-bit word, the first in the low half, as the pairwise multiply takes them.
std::int32_t weightPair(std::int16_t first, std::int16_t second) {
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(first) |
                                     (std::uint32_t(static_cast<std::uint16_t>(second)) << 16));
}

void pairWeights(AxisWeights& axis) {
    for (std::size_t i = 0; i < axis.first.size(); ++i) {
        axis.pairOffset.push_back(static_cast<int>(axis.pairs.size()));
        const std::int16_t* w = axis.weights.data() + axis.offset[i];
        const int count = axis.count[i];
        for (int k = 0; k < count; k += 2)
            axis.pairs.push_back(weightPair(w[k], k + 1 < count ? w[k + 1] : 0));
    }
}

// A source row's bytes as 16-bit values, followed by zeros for the reads past its last pixel.
class WideRow {
public:
    explicit WideRow(int width) : m_values(3 * static_cast<std::size_t>(width) + kSlack, 0) {}

    const std::int16_t* widen(const std::uint8_t* row) {
        const std::size_t bytes = m_values.size() - kSlack;
        for (std::size_t i = 0; i < bytes; ++i)
            m_values[i] = row[i];
        return m_values.data();
    }

private:
    static constexpr std::size_t kSlack = 8; // a pair's second pixel may lie one past the row, and each read takes 4
    std::vector<std::int16_t> m_values;
};

// Returns each channel's sum of the pixels from pixel on times their weights, taken two taps at a time.
std::array<std::int32_t, 3> weightedSum(const std::int16_t* pixel, const std::int32_t* pair, int pairs) {
#if defined(__SSE2__)
    __m128i sums = _mm_setzero_si128();
    for (int k = 0; k < pairs; ++k, pixel += 6) {
        // r0 r1 g0 g1 b0 b1 and two lanes that the last sum ignores, times w0 w1 in every pair of lanes.
        const __m128i both = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel)),
                                                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel + 3)));
        sums = _mm_add_epi32(sums, _mm_madd_epi16(both, _mm_set1_epi32(pair[k])));
    }
    alignas(16) std::int32_t rgb[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(rgb), sums);
    return {rgb[0], rgb[1], rgb[2]};
#else
    std::array<std::int32_t, 3> rgb{};
    for (int k = 0; k < pairs; ++k, pixel += 6) {
        const auto w0 = static_cast<std::int16_t>(pair[k] & 0xFFFF);
        const auto w1 = static_cast<std::int16_t>(static_cast<std::uint32_t>(pair[k]) >> 16);
        for (int c = 0; c < 3; ++c)
            rgb[static_cast<std::size_t>(c)] += w0 * pixel[c] + w1 * pixel[3 + c];
    }
    return rgb;
#endif
}

void resampleRow(const std::uint8_t* source, const AxisWeights& axis, WideRow& wide, std::int16_t* out) {
    const std::int16_t* row = wide.widen(source);
    const int targetWidth = static_cast<int>(axis.first.size());
    for (int x = 0; x < targetWidth; ++x) {
        const std::size_t i = static_cast<std::size_t>(x);
        const std::array<std::int32_t, 3> rgb =
            weightedSum(row + 3 * axis.first[i], axis.pairs.data() + axis.pairOffset[i], (axis.count[i] + 1) / 2);
        for (std::size_t c = 0; c < 3; ++c)
            out[3 * i + c] = toLane(rgb[c]);
    }
}

// Adds two filtered rows, each times its weight, to the sums (a second weight of 0 adds the first row alone).
void accumulateRows(const std::int16_t* __restrict first, const std::int16_t* __restrict second, std::int16_t w0,
                    std::int16_t w1, std::int32_t* __restrict sums, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i weights = _mm_set1_epi32(weightPair(w0, w1));
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + i));
        __m128i* sum = reinterpret_cast<__m128i*>(sums + i);
        _mm_storeu_si128(sum, _mm_add_epi32(_mm_loadu_si128(sum), _mm_madd_epi16(_mm_unpacklo_epi16(a, b), weights)));
        _mm_storeu_si128(sum + 1,
                         _mm_add_epi32(_mm_loadu_si128(sum + 1), _mm_madd_epi16(_mm_unpackhi_epi16(a, b), weights)));
    }
#endif
    for (; i < n; ++i)
        sums[i] += w0 * first[i] + w1 * second[i];
}

void storeRow(const std::int32_t* sums, std::uint8_t* out, int n) {
    constexpr std::int32_t half = 1 << (kVerticalShift - 1);
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(std::clamp((sums[i] + half) >> kVerticalShift, 0, 255));
}

} // namespace

void drawStretched(const RgbImage& source, RgbImage& canvas, const PixelRect& target) {
    const int width = target.width();
    const int height = target.height();
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0)
        return;
    AxisWeights columns = axisWeights(source.width, width);
    pairWeights(columns);
    const AxisWeights rows = axisWeights(source.height, height);
    const int lanes = 3 * width;
    WideRow wide(source.width);

    // Rows are filtered horizontally once, when the first output row needs them, and dropped when no
    // later output row does: output rows reach ever lower source rows, so a sliding window suffices.
    std::vector<std::int16_t> window;
    int windowFirst = 0;
    int windowEnd = 0;
    std::vector<std::int32_t> sums(static_cast<std::size_t>(lanes));
    for (int y = 0; y < height; ++y) {
        const int first = rows.first[static_cast<std::size_t>(y)];
        const int end = first + rows.count[static_cast<std::size_t>(y)];
        if (first > windowFirst) {
            const int drop = std::min(first, windowEnd) - windowFirst;
            window.erase(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(drop) * lanes);
            windowFirst = first;
            windowEnd = std::max(windowEnd, first);
        }
        for (; windowEnd < end; ++windowEnd) {
            window.resize(window.size() + static_cast<std::size_t>(lanes));
            resampleRow(source.row(windowEnd), columns, wide,
                        window.data() + window.size() - static_cast<std::size_t>(lanes));
        }
        std::fill(sums.begin(), sums.end(), 0);
        const std::int16_t* w = rows.weights.data() + rows.offset[static_cast<std::size_t>(y)];
        const auto filtered = [&](int k) {
            return window.data() + static_cast<std::size_t>(first - windowFirst + k) * lanes;
        };
        const int count = end - first;
        for (int k = 0; k < count; k += 2) {
            const bool pair = k + 1 < count;
            accumulateRows(filtered(k), filtered(pair ? k + 1 : k), w[k], pair ? w[k + 1] : 0, sums.data(), lanes);
        }
        storeRow(sums.data(), canvas.row(target.top + y) + 3 * target.left, lanes);
    }
}

RgbImage shrinkByBox(const RgbImage& source, int factor) {
    const int width = (source.width + factor - 1) / factor;
    const int height = (source.height + factor - 1) / factor;
    RgbImage shrunk(width, height);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        const int rowsInBlock = std::min(factor, source.height - y * factor);
        for (int sy = y * factor; sy < y * factor + rowsInBlock; ++sy) {
            const std::uint8_t* in = source.row(sy);
            std::uint32_t* sum = sums.data();
            for (int x = 0; x < width; ++x, sum += 3)
                for (int sx = x * factor; sx < std::min(source.width, (x + 1) * factor); ++sx, in += 3) {
                    sum[0] += in[0];
                    sum[1] += in[1];
                    sum[2] += in[2];
                }
        }
        std::uint8_t* out = shrunk.row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t count =
                static_cast<std::uint32_t>(rowsInBlock * std::min(factor, source.width - x * factor));
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] =
                    static_cast<std::uint8_t>((sums[static_cast<std::size_t>(3 * x + c)] + count / 2) / count);
        }
    }
    return shrunk;
}

} // namespace veskaro
