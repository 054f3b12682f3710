#include "imaging/Resampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace veskaro;

namespace {

RgbImage pattern(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.03));
            p[1] = static_cast<std::uint8_t>((x * 255) / std::max(1, width - 1));
            p[2] = static_cast<std::uint8_t>(((x / 7 + y / 5) % 2) * 200 + 20);
        }
    return image;
}

double meanOf(const RgbImage& image, const PixelRect& rect, int channel) {
    double sum = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            sum += image.row(y)[3 * x + channel];
    return sum / (static_cast<double>(rect.width()) * rect.height());
}

double lanczos3(double x) {
    auto sinc = [](double t) { return t == 0 ? 1.0 : std::sin(std::numbers::pi * t) / (std::numbers::pi * t); };
    return std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0.0;
}

// A plain double-precision Lanczos-3 reduction, written independently of the fixed-point code.
std::vector<std::vector<double>> referenceWeights(int source, int target) {
    const double scale = static_cast<double>(source) / target;
    std::vector<std::vector<double>> weights(static_cast<std::size_t>(target), std::vector<double>(source));
    for (int i = 0; i < target; ++i) {
        double sum = 0;
        for (int j = 0; j < source; ++j)
            sum += weights[i][j] = lanczos3((j + 0.5 - (i + 0.5) * scale) / scale);
        for (double& w : weights[i])
            w /= sum;
    }
    return weights;
}

struct Scale {
    int sourceWidth, sourceHeight, targetWidth, targetHeight;
};

void PrintTo(const Scale& s, std::ostream* out) {
    *out << s.sourceWidth << "x" << s.sourceHeight << " to " << s.targetWidth << "x" << s.targetHeight;
}

class ResamplerScales : public testing::TestWithParam<Scale> {};

} // namespace

TEST_P(ResamplerScales, FlatPictureStaysExactlyFlat) {
    const Scale s = GetParam();
    for (const std::uint8_t level :
         {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{127}, std::uint8_t{254}, std::uint8_t{255}}) {
        RgbImage source(s.sourceWidth, s.sourceHeight, level);
        RgbImage canvas(s.targetWidth + 4, s.targetHeight + 4, 77);
        drawStretched(source, canvas, {2, 2, 2 + s.targetWidth, 2 + s.targetHeight});
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                const bool inside = x >= 2 && y >= 2 && x < 2 + s.targetWidth && y < 2 + s.targetHeight;
                ASSERT_EQ(canvas.row(y)[3 * x + 1], inside ? level : 77) << x << "," << y;
            }
    }
}

TEST_P(ResamplerScales, MeanStaysWithinOne) {
    const Scale s = GetParam();
    const RgbImage source = pattern(s.sourceWidth, s.sourceHeight);
    RgbImage canvas(s.targetWidth, s.targetHeight);
    const PixelRect all{0, 0, s.targetWidth, s.targetHeight};
    drawStretched(source, canvas, all);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(meanOf(canvas, all, c), meanOf(source, {0, 0, s.sourceWidth, s.sourceHeight}, c), 1.0) << c;
}

INSTANTIATE_TEST_SUITE_P(ShrinkGrowAndSqueeze, ResamplerScales,
                         testing::Values(Scale{640, 480, 640, 480}, Scale{1000, 500, 640, 320},
                                         Scale{997, 601, 101, 67}, Scale{64, 48, 640, 480}, Scale{300, 600, 240, 480},
                                         Scale{480, 480, 640, 480}, Scale{7, 3, 1, 1}, Scale{1, 1, 9, 5},
                                         Scale{5000, 40, 100, 200}));

TEST(Resampler, ReductionMatchesAnExactLanczosWithinOneLevel) {
    const RgbImage source = pattern(211, 97);
    const int width = 64, height = 29;
    RgbImage canvas(width, height);
    drawStretched(source, canvas, {0, 0, width, height});
    const auto columns = referenceWeights(source.width, width);
    const auto rows = referenceWeights(source.height, height);
    int worst = 0;
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                double value = 0;
                for (int sy = 0; sy < source.height; ++sy) {
                    double line = 0;
                    for (int sx = 0; sx < source.width; ++sx)
                        line += columns[x][sx] * source.row(sy)[3 * sx + c];
                    value += rows[y][sy] * line;
                }
                const int exact = static_cast<int>(std::clamp(std::lround(value), 0L, 255L));
                worst = std::max(worst, std::abs(exact - canvas.row(y)[3 * x + c]));
            }
    EXPECT_LE(worst, 1);
}

TEST(Resampler, KeepsLeftLeftAndTopTop) {
    RgbImage source(40, 30, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            source.row(y)[3 * x] = x < 20 ? 255 : 0;     // red on the left
            source.row(y)[3 * x + 2] = y < 15 ? 255 : 0; // blue on top
        }
    for (const auto& [w, h] : {std::pair{10, 8}, std::pair{80, 60}}) {
        RgbImage canvas(w, h);
        drawStretched(source, canvas, {0, 0, w, h});
        EXPECT_GT(canvas.row(0)[0], 240);
        EXPECT_LT(canvas.row(0)[3 * (w - 1)], 15);
        EXPECT_GT(canvas.row(0)[2], 240);
        EXPECT_LT(canvas.row(h - 1)[2], 15);
    }
}

TEST(Resampler, EmptyTargetDrawsNothing) {
    RgbImage canvas(5, 5, 9);
    drawStretched(pattern(10, 10), canvas, {0, 2, 5, 2});
    EXPECT_EQ(canvas.pixels, RgbImage(5, 5, 9).pixels);
}

TEST(Resampler, BoxShrinkAveragesWholeAndPartialBlocks) {
    RgbImage source(5, 3, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            source.row(y)[3 * x] = static_cast<std::uint8_t>(10 * (y * 5 + x));
    const RgbImage shrunk = shrinkByBox(source, 2);
    ASSERT_EQ(shrunk.width, 3);
    ASSERT_EQ(shrunk.height, 2);
    EXPECT_EQ(shrunk.row(0)[0], 30);      // (0 + 10 + 50 + 60) / 4
    EXPECT_EQ(shrunk.row(0)[3 * 2], 65);  // (40 + 90) / 2
    EXPECT_EQ(shrunk.row(1)[3 * 2], 140); // 140 alone
    EXPECT_EQ(shrinkByBox(RgbImage(9, 9, 200), 4).pixels, RgbImage(3, 3, 200).pixels);
}
