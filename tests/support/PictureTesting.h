#pragma once

#include "imaging/LoadedPicture.h"
#include "imaging/MemorySource.h"
#include "imaging/PictureLoader.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace veskaro::test {

/// Decodes bytes as loadPicture would a file of that name.
inline LoadedPicture decodeBytes(const std::string& bytes, const std::string& name, const LoadOptions& options = {}) {
    MemorySource source(bytes.data(), bytes.size());
    return decodePicture(source, name, formatFromExtension(name), options);
}

/// Returns the message of the VeskaroError that action throws, or "(no error)".
template <typename Action> std::string errorOf(const Action& action) {
    try {
        action();
    } catch (const VeskaroError& error) {
        return error.what();
    }
    return "(no error)";
}

/// Returns the message that decoding the bytes under the name gives, or "(no error)".
inline std::string decodeError(const std::string& bytes, const std::string& name) {
    return errorOf([&] { decodeBytes(bytes, name); });
}

/// A broken file for a data-driven test, and the end of the message that must refuse it.
struct BrokenFile {
    const char* name;
    std::string bytes;
    std::string message;
};

inline void PrintTo(const BrokenFile& file, std::ostream* out) {
    *out << file.name;
}

/// Checks that every strict prefix of a file that decodes is refused with a message starting with prefix.
inline void expectEveryTruncationRefused(const std::string& whole, const std::string& name, const std::string& prefix) {
    ASSERT_NO_THROW(decodeBytes(whole, name));
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_EQ(decodeError(whole.substr(0, size), name).rfind(prefix, 0), 0u)
            << size << " of " << whole.size() << " bytes";
}

/// Returns a picture of the given size built from rows of colours, top-down.
inline RgbImage pictureOf(const std::vector<std::vector<std::array<std::uint8_t, 3>>>& rows) {
    RgbImage image(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    auto out = image.pixels.begin();
    for (const auto& row : rows)
        for (const auto& colour : row)
            out = std::copy(colour.begin(), colour.end(), out);
    return image;
}

/// Returns the largest difference of one channel between two pictures of the same size.
inline int largestDifference(const RgbImage& a, const RgbImage& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        largest = std::max(largest, std::abs(a.pixels[i] - b.pixels[i]));
    return largest;
}

} // namespace veskaro::test
