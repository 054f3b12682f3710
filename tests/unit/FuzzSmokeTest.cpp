#include "FuzzEntry.h"
#include "FuzzSeeds.h"

#include <gtest/gtest.h>

#include <random>

using namespace veskaro;

namespace veskaro {
void PrintTo(PictureFormat format, std::ostream* out) {
    *out << preparedExtension(format);
}
} // namespace veskaro

namespace {

/// Returns the seed changed the way a fuzzer would: bits flipped, bytes set to edge values, cut short,
/// a piece repeated or a length field overwritten.
std::string mutate(std::string bytes, std::mt19937& random) {
    const auto at = [&](std::size_t size) {
        return size == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
    };
    static constexpr unsigned char kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int n = 0; n < changes && !bytes.empty(); ++n) {
        switch (random() % 6) {
        case 0:
            bytes[at(bytes.size())] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1:
            bytes[at(bytes.size())] = static_cast<char>(kEdges[random() % sizeof kEdges]);
            break;
        case 2:
            bytes.resize(at(bytes.size()));
            break;
        case 3: {
            const std::size_t from = at(bytes.size());
            bytes.insert(at(bytes.size()), bytes.substr(from, random() % 64));
            break;
        }
        case 4: {
            const std::size_t where = at(bytes.size());
            const char value = static_cast<char>(kEdges[random() % sizeof kEdges]);
            for (std::size_t i = where; i < std::min(bytes.size(), where + 4); ++i)
                bytes[i] = value;
            break;
        }
        default:
            bytes.insert(at(bytes.size()), std::string(random() % 16, static_cast<char>(random())));
        }
    }
    return bytes;
}

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
