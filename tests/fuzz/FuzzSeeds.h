#pragma once

#include "imaging/PictureFormat.h"

#include <string>
#include <vector>

namespace veskaro::fuzz {

/// Returns small valid files of the format that reach the reader's main paths: the fuzzers' seeds.
std::vector<std::string> fuzzSeeds(PictureFormat format);

} // namespace veskaro::fuzz
