#include "TestFolders.h"

#include "platform/Sha256.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

struct Vector {
    std::string message;
    const char* digest;
};

void PrintTo(const Vector& v, std::ostream* out) {
    *out << v.message.size() << " bytes, " << std::string_view(v.digest).substr(0, 8);
}

class Sha256Vectors : public testing::TestWithParam<Vector> {};

} // namespace

TEST_P(Sha256Vectors, GivesTheKnownDigestWholeAndInPieces) {
    const Vector& vector = GetParam();
    EXPECT_EQ(sha256Hex(vector.message), vector.digest);
    Sha256 pieces;
    for (std::size_t at = 0; at < vector.message.size(); at += 7)
        pieces.update(std::string_view(vector.message).substr(at, 7));
    EXPECT_EQ(hexOf(pieces.finish()), vector.digest);
}

// The empty message, FIPS 180-2's examples, and the lengths either side of the padding's block boundary.
INSTANTIATE_TEST_SUITE_P(
    Known, Sha256Vectors,
    testing::Values(Vector{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                    Vector{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                    Vector{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                           "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
                    Vector{std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
                    Vector{std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
                    Vector{std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
                    Vector{std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
                    Vector{std::string(1000000, 'a'),
                           "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
                    Vector{"Gr\xc3\xb6\xc3\x9f"
                           "e \xe2\x9c\x93",
                           "61f1f25930ccaf63003cc3660715574dec957203fc4b333f9a573d5358f5a49b"}));

TEST(Sha256, HashesAFileAsItsBytes) {
    test::TemporaryFolder folder;
    test::writeBytes(folder / "a.bin", std::string(200000, 'a'));
    EXPECT_EQ(sha256HexOfFile(folder / "a.bin"), sha256Hex(std::string(200000, 'a')));
}

TEST(Sha256, NamesAFileItCannotRead) {
    test::TemporaryFolder folder;
    try {
        sha256HexOfFile(folder / "missing.jpg");
        FAIL() << "a missing file was hashed";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.jpg"), std::string::npos) << error.what();
    }
}
