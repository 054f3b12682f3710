#pragma once

#include <optional>
#include <string>

namespace veskaro {

/// Returns why the file at path cannot be a slider's picture (it does not exist, is no picture of a kind
/// the slider takes, or cannot be decoded), or nothing when it can. Reads the file's content, decoding no
/// more of it than the smallest size the decoder offers.
std::optional<std::string> pictureProblem(const std::string& path);

} // namespace veskaro
