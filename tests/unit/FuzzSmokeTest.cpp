#include "FuzzEntry.h"
#include "FuzzSeeds.h"

#include <gtest/gtest.h>

#include <random>

using namespace veskaro;
using veskaro::fuzz::mutate;

namespace veskaro {
void PrintTo(PictureFormat format, std::ostream* out) {
    *out << preparedExtension(format);
}
} // namespace veskaro

namespace {

class FuzzSmoke : public testing::TestWithParam<PictureFormat> {};

} // namespace

// A short, repeatable run of the fuzzers' entry over mutated seeds; the sanitizers of the test build
// turn any memory or undefined-behaviour fault into a failure, and the entry aborts on broken invariants.
TEST_P(FuzzSmoke, SurvivesMutatedSeeds) {
    std::mt19937 random(20240611);
    int decoded = 0, refused = 0;
    for (const std::string& seed : fuzz::fuzzSeeds(GetParam())) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(seed.data());
        ASSERT_EQ(fuzz::decodeAndReencode(GetParam(), bytes, seed.size()), fuzz::Outcome::Decoded) << "a seed decodes";
        for (int round = 0; round < 4000; ++round) {
            const std::string mutant = mutate(seed, random);
            const auto outcome = fuzz::decodeAndReencode(
                GetParam(), reinterpret_cast<const std::uint8_t*>(mutant.data()), mutant.size());
            (outcome == fuzz::Outcome::Decoded ? decoded : refused) += 1;
        }
    }
    // Both paths must be exercised for the run to mean anything.
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

// The same for the whole preparation of slider pictures: decode, fit, encode, read back.
TEST_P(FuzzSmoke, PreparesMutatedSeedsForSmallSliders) {
    std::mt19937 random(20261208);
    int decoded = 0, refused = 0;
    for (const std::string& seed : fuzz::fuzzSeeds(GetParam())) {
        for (int round = 0; round < 500; ++round) {
            const std::string mutant = round == 0 ? seed : mutate(seed, random);
            const auto outcome =
                fuzz::prepareForSlider(GetParam(), reinterpret_cast<const std::uint8_t*>(mutant.data()), mutant.size());
            (outcome == fuzz::Outcome::Decoded ? decoded : refused) += 1;
        }
    }
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzSmoke,
                         testing::Values(PictureFormat::Jpeg, PictureFormat::Gif, PictureFormat::Bmp),
                         [](const auto& row) { return preparedExtension(row.param).substr(1); });
