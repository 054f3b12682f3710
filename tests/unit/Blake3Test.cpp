#include "TestFolders.h"

#include "platform/Blake3.h"
#include "platform/Sha256.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

// The bytes 0, 1, ..., 250, 0, 1, ... of the published test vectors; the digests are those of the
// reference implementation (b3sum).
std::string patternOf(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

struct Vector {
    std::size_t length;
    const char* digest;
};

void PrintTo(const Vector& v, std::ostream* out) {
    *out << v.length << " bytes";
}

class Blake3Vectors : public testing::TestWithParam<Vector> {};

} // namespace

TEST_P(Blake3Vectors, GivesTheReferenceDigestWholeAndInPiecesOfAnySize) {
    const Vector& vector = GetParam();
    const std::string message = patternOf(vector.length);
    EXPECT_EQ(blake3Hex(message), vector.digest);
    // Pieces that end inside a block, across chunk and subtree boundaries, and longer than a subtree; the
    // same object then hashes the next message.
    Blake3 hash;
    for (const std::size_t piece : {std::size_t(7), std::size_t(1000), Blake3::kSubtreeBytes + 13}) {
        for (std::size_t at = 0; at < message.size(); at += piece)
            hash.update(std::string_view(message).substr(at, piece));
        EXPECT_EQ(hexOf(hash.finish()), vector.digest) << "in pieces of " << piece;
    }
}

// Lengths either side of a block, a chunk, eight chunks (hashed side by side), a subtree of 64 chunks and
// several subtrees with a short tail.
INSTANTIATE_TEST_SUITE_P(
    Reference, Blake3Vectors,
    testing::Values(Vector{0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
                    Vector{1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
                    Vector{1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
                    Vector{1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
                    Vector{1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
                    Vector{8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
                    Vector{65536, "68d647e619a930e7b1082f74f334b0c65a315725569bdc123f0ee11881717bfe"},
                    Vector{65537, "7c99f9840a73dfcb6e5bfe4ff6d1558acab7e015640790c26411818bdbe17eca"},
                    Vector{73729, "08c1a4a16675ea5300620d9ed8289a44f2fc2c06fdbb6982a444667a369eeb20"},
                    Vector{200000, "55409142cced2ec79897459f170b6d22565daf883710b4ad7aeeddaef54244b4"},
                    Vector{1048576, "74cb441fd087764ca9c3694da742ebe30cbeb3060a17009ca81825c7a8d10343"}));

TEST(Blake3, HashesAFileAsItsBytesAndNamesOneItCannotRead) {
    test::TemporaryFolder folder;
    test::writeBytes(folder / "a.bin", patternOf(3 << 20));
    EXPECT_EQ(blake3HexOfFile(folder / "a.bin"), blake3Hex(patternOf(3 << 20)));
    try {
        blake3HexOfFile(folder / "missing.jpg");
        FAIL() << "a missing file was hashed";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.jpg"), std::string::npos) << error.what();
    }
}
