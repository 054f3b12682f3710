#include "imaging/DecodeLimits.h"

namespace veskaro {

namespace {

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

std::string megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

} // namespace

std::string pictureSideProblem(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        return "the picture declares an empty size of " + sizeText(width, height);
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return "the picture is too large (" + sizeText(width, height) + "); at most " +
               std::to_string(kMaxPictureSide) + " pixels a side can be read";
    return {};
}

std::string pictureSizeProblem(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        return pictureSideProblem(width, height);
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return "the picture is too large (" + sizeText(width, height) + "); at most 100 megapixels and " +
               std::to_string(kMaxPictureSide) + " pixels a side can be read";
    return {};
}

std::string decodedSizeProblem(std::int64_t width, std::int64_t height, std::int64_t decodedWidth,
                               std::int64_t decodedHeight) {
    if (decodedWidth * decodedHeight <= kMaxPicturePixels)
        return {};
    return "the picture is too large (" + sizeText(width, height) + ") to be decoded at " +
           sizeText(decodedWidth, decodedHeight) + "; at most 100 megapixels can be held";
}

std::string decodeMemoryProblem(std::int64_t width, std::int64_t height, std::uint64_t bytes) {
    if (bytes <= kMaxDecodeMemory)
        return {};
    return "the picture (" + sizeText(width, height) + ") must be held whole while it decodes, which takes " +
           megabytes(bytes) + " of memory; at most " + megabytes(kMaxDecodeMemory) + " can be used";
}

} // namespace veskaro
