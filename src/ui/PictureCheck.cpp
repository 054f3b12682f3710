#include "ui/PictureCheck.h"

#include "imaging/PictureLoader.h"
#include "platform/VeskaroError.h"

#include <filesystem>

namespace veskaro {

std::optional<std::string> pictureProblem(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return "The file " + path + " does not exist or is not a regular file.";
    try {
        loadPicture(path, LoadOptions::atLeast(1, 1));
        return std::nullopt;
    } catch (const VeskaroError& failure) {
        return failure.what();
    }
}

} // namespace veskaro
