#pragma once

#include <cstdint>
#include <string>

namespace veskaro {

/// The largest picture the decoders accept, checked against the size a file declares before any pixel
/// memory is taken: no library limits this by default.
inline constexpr std::int64_t kMaxPictureSide = 32768;
/// The most pixels a decoder hands on: a JPEG may be larger as long as its reduced decode stays within.
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;
/// The most memory a picture that must be held whole while it decodes (the coefficients of a progressive
/// JPEG) may take.
inline constexpr std::uint64_t kMaxDecodeMemory = 1024ull * 1024 * 1024;

/// A progressive JPEG with more scans than this is refused: every scan passes over the whole picture.
inline constexpr int kMaxJpegScans = 500;

/// Returns why a picture with the declared sides cannot be read at all (an empty size, a side longer than
/// kMaxPictureSide), or empty text when it can.
std::string pictureSideProblem(std::int64_t width, std::int64_t height);

/// Returns why a picture of the declared size cannot be decoded whole, as GIF and BMP pictures are, or
/// empty text when it can.
std::string pictureSizeProblem(std::int64_t width, std::int64_t height);

/// Returns why a picture of the declared size, decoded at decodedWidth x decodedHeight, would hand on too
/// many pixels, or empty text when it would not.
std::string decodedSizeProblem(std::int64_t width, std::int64_t height, std::int64_t decodedWidth,
                               std::int64_t decodedHeight);

/// Returns why a picture of the declared size that needs bytes of memory held while it decodes cannot be
/// decoded, naming the figure, or empty text when the memory fits.
std::string decodeMemoryProblem(std::int64_t width, std::int64_t height, std::uint64_t bytes);

} // namespace veskaro
