#include "imaging/DecodeLimits.h"

namespace veskaro {

std::string pictureSizeProblem(std::int64_t width, std::int64_t height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width <= 0 || height <= 0)
        return "the picture declares an empty size of " + size;
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return "the picture is too large (" + size + "); at most 100 megapixels and " +
               std::to_string(kMaxPictureSide) + " pixels a side can be read";
    return {};
}

} // namespace veskaro
