#include "imaging/SliderGeometry.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

struct GeometryCase {
    int sourceWidth, sourceHeight, sliderWidth, sliderHeight;
    int scaledWidth, scaledHeight;
    PixelRect target;
};

void PrintTo(const GeometryCase& c, std::ostream* out) {
    *out << c.sourceWidth << "x" << c.sourceHeight << " in " << c.sliderWidth << "x" << c.sliderHeight;
}

class SliderGeometryTest : public testing::TestWithParam<GeometryCase> {};

} // namespace

TEST_P(SliderGeometryTest, FitsTheLongerSideAndCentresTheOther) {
    const GeometryCase& c = GetParam();
    const SliderGeometry g = computeSliderGeometry(c.sourceWidth, c.sourceHeight, c.sliderWidth, c.sliderHeight);
    EXPECT_EQ(g.scaledWidth, c.scaledWidth);
    EXPECT_EQ(g.scaledHeight, c.scaledHeight);
    EXPECT_EQ(g.target, c.target);
}

INSTANTIATE_TEST_SUITE_P(
    SliderFit, SliderGeometryTest,
    testing::Values(GeometryCase{1000, 500, 640, 480, 640, 320, {0, 80, 640, 400}}, // landscape: white bands
                    GeometryCase{300, 600, 640, 480, 240, 480, {200, 0, 440, 480}}, // portrait fits the height
                    GeometryCase{1000, 900, 640, 480, 640, 576, {0, 0, 640, 480}},  // too tall: squeezed
                    GeometryCase{480, 480, 640, 480, 640, 640, {0, 0, 640, 480}},   // square goes by width
                    GeometryCase{64, 48, 640, 480, 640, 480, {0, 0, 640, 480}},     // enlarged
                    GeometryCase{320, 480, 641, 480, 320, 480, {160, 0, 481, 480}}, // 160.5 rounds to 160
                    GeometryCase{322, 480, 641, 480, 322, 480, {160, 0, 481, 480}}, // 159.5 rounds to 160
                    GeometryCase{5640, 3172, 640, 480, 640, 360, {0, 60, 640, 420}},
                    GeometryCase{1, 1, 1, 1, 1, 1, {0, 0, 1, 1}},
                    GeometryCase{10000, 1, 640, 480, 640, 0, {0, 240, 640, 240}})); // a line too thin to show
