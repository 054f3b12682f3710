#include "imaging/Similarity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace veskaro {

namespace {

constexpr int kRadius = 5;
constexpr int kTaps = 2 * kRadius + 1;
constexpr int kStride = 2; // between the windows taken, across and down
// The stabilising constants of the measure's definition, for values 0 to 255.
constexpr float kC1 = (0.01f * 255) * (0.01f * 255);
constexpr float kC2 = (0.03f * 255) * (0.03f * 255);

using Taps = std::array<float, kTaps>;

Taps gaussianTaps() {
    std::array<double, kTaps> weights{};
    double sum = 0;
    for (int i = 0; i < kTaps; ++i)
        sum += weights[i] = std::exp(-double((i - kRadius) * (i - kRadius)) / (2 * 1.5 * 1.5));
    Taps taps{};
    for (int i = 0; i < kTaps; ++i)
        taps[i] = static_cast<float>(weights[i] / sum);
    return taps;
}

// The five quantities a window's similarity is made of, one value per column: both lumas, their squares
// and their product.
struct Moments {
    std::array<std::vector<float>, 5> values;
    explicit Moments(int width) { values.fill(std::vector<float>(static_cast<std::size_t>(width))); }
};

// Where a row's odd columns begin once its even ones are stored first.
std::size_t oddStart(int width) {
    return (static_cast<std::size_t>(width) + 1) / 2;
}

// The moments of one row of both pictures, each stored with its even columns first and its odd ones after:
// then every tap of filterAcross is a run of neighbouring values, which the compiler turns into vector
// instructions.
void momentsOfRow(const std::uint8_t* a, const std::uint8_t* b, int width, Moments& row) {
    auto& [x, y, xx, yy, xy] = row.values;
    const std::size_t odd = oddStart(width);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width); ++i) {
        const std::uint8_t* p = a + 3 * i;
        const std::uint8_t* q = b + 3 * i;
        const float lx = 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
        const float ly = 0.299f * q[0] + 0.587f * q[1] + 0.114f * q[2];
        const std::size_t k = (i % 2) * odd + i / 2;
        x[k] = lx;
        y[k] = ly;
        xx[k] = lx * lx;
        yy[k] = ly * ly;
        xy[k] = lx * ly;
    }
}

using Runs = std::array<const float*, kTaps>;

// Sets out to the sum of the runs weighted by the taps.
void weigh(const Taps& taps, const Runs& runs, std::vector<float>& out) {
    float* sum = out.data();
    const std::size_t count = out.size();
    std::fill_n(sum, count, 0.0f);
    for (int t = 0; t < kTaps; ++t) {
        const float* in = runs[static_cast<std::size_t>(t)];
        const float w = taps[t];
        for (std::size_t j = 0; j < count; ++j)
            sum[j] += w * in[j];
    }
}

// Filters one row across, at the left edge of every window taken.
void filterAcross(const Moments& row, int width, const Taps& taps, Moments& out) {
    const std::size_t odd = oddStart(width);
    for (std::size_t m = 0; m < row.values.size(); ++m) {
        Runs runs{};
        for (int t = 0; t < kTaps; ++t)
            runs[static_cast<std::size_t>(t)] = row.values[m].data() + static_cast<std::size_t>(t % 2) * odd + t / 2;
        weigh(taps, runs, out.values[m]);
    }
}

// Filters the ring of the last kTaps rows filtered across down, first being the oldest, and returns the
// sum of their windows' similarities.
double similaritySum(const std::vector<Moments>& ring, int first, const Taps& taps, Moments& mean) {
    for (std::size_t m = 0; m < mean.values.size(); ++m) {
        Runs runs{};
        for (int t = 0; t < kTaps; ++t)
            runs[static_cast<std::size_t>(t)] = ring[static_cast<std::size_t>((first + t) % kTaps)].values[m].data();
        weigh(taps, runs, mean.values[m]);
    }
    const auto& [mx, my, mxx, myy, mxy] = mean.values;
    double sum = 0;
    for (std::size_t j = 0; j < mx.size(); ++j) {
        const float vx = mxx[j] - mx[j] * mx[j], vy = myy[j] - my[j] * my[j], cov = mxy[j] - mx[j] * my[j];
        sum +=
            ((2 * mx[j] * my[j] + kC1) * (2 * cov + kC2)) / ((mx[j] * mx[j] + my[j] * my[j] + kC1) * (vx + vy + kC2));
    }
    return sum;
}

int windowsAlong(int length) {
    return length < kTaps ? 0 : (length - kTaps) / kStride + 1;
}

} // namespace

std::optional<double> lumaSimilarity(const RgbImage& a, const RgbImage& b, const PixelRect& within) {
    if (a.width != b.width || a.height != b.height)
        throw std::invalid_argument("lumaSimilarity: the pictures differ in size");
    if (within.left < 0 || within.top < 0 || within.right > a.width || within.bottom > a.height || within.width() < 0 ||
        within.height() < 0)
        throw std::invalid_argument("lumaSimilarity: the rectangle leaves the pictures");
    const int across = windowsAlong(within.width());
    const int down = windowsAlong(within.height());
    if (across == 0 || down == 0)
        return std::nullopt;
    const Taps taps = gaussianTaps();
    Moments row(within.width());
    std::vector<Moments> ring(kTaps, Moments(across));
    Moments mean(across);
    double sum = 0;
    const int rows = (down - 1) * kStride + kTaps;
    const std::size_t left = 3 * static_cast<std::size_t>(within.left);
    for (int r = 0; r < rows; ++r) {
        momentsOfRow(a.row(within.top + r) + left, b.row(within.top + r) + left, within.width(), row);
        filterAcross(row, within.width(), taps, ring[static_cast<std::size_t>(r % kTaps)]);
        const int top = r - (kTaps - 1);
        if (top >= 0 && top % kStride == 0)
            sum += similaritySum(ring, (r + 1) % kTaps, taps, mean);
    }
    return sum / (double(across) * down);
}

} // namespace veskaro
