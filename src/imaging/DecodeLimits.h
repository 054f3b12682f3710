#pragma once

#include <cstdint>
#include <string>

namespace veskaro {

/// The largest picture the decoders accept, checked against the size a file declares before any pixel
/// memory is taken: no library limits this by default.
inline constexpr std::int64_t kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;

/// A progressive JPEG with more scans than this is refused: every scan passes over the whole picture.
inline constexpr int kMaxJpegScans = 500;

/// Returns why a picture of the declared size cannot be decoded, or empty text when it can.
std::string pictureSizeProblem(std::int64_t width, std::int64_t height);

} // namespace veskaro
