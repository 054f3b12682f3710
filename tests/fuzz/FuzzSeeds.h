#pragma once

#include "imaging/PictureFormat.h"

#include <random>
#include <string>
#include <vector>

namespace veskaro::fuzz {

/// Returns small valid files of the format that reach the reader's main paths: the fuzzers' seeds.
std::vector<std::string> fuzzSeeds(PictureFormat format);

/// Returns the seed changed the way a fuzzer would: bits flipped, bytes set to edge values, cut short,
/// a piece repeated or a length field overwritten.
std::string mutate(std::string bytes, std::mt19937& random);

} // namespace veskaro::fuzz
