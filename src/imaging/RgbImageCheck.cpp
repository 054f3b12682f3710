#include "imaging/RgbImageCheck.h"

namespace veskaro {

std::string writableImageProblem(const RgbImage& image) {
    if (image.width <= 0 || image.height <= 0)
        return "cannot write an empty picture";
    if (image.pixels.size() != image.rowBytes() * static_cast<std::size_t>(image.height))
        return "the picture's pixels do not match its size";
    return {};
}

} // namespace veskaro
