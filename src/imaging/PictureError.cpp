#include "imaging/PictureError.h"

#include "platform/VeskaroError.h"

namespace veskaro {

std::string jpegErrorPrefix(int code) {
    return "JPEG error #" + std::to_string(code);
}

void throwPictureError(const std::string& prefix, const std::string& file, const std::string& what) {
    throw VeskaroError(prefix + ": " + file + ": " + what);
}

} // namespace veskaro
