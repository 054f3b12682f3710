#pragma once

#include "model/AppletTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace veskaro {

/// Tells whether a number lies in the range the designer allows for a number parameter.
bool inRange(const AppletField& field, int value);

/// A slider's size in pixels.
struct SliderSize {
    int width = 0;
    int height = 0;
};

/// Returns the slider's size when both sides are whole numbers in their ranges, nothing otherwise.
std::optional<SliderSize> sliderSizeOf(const TAppletData& data);

/// Returns one sentence for each number parameter that is not a whole number in its range and each colour
/// that is neither six hexadecimal digits nor "transparent": each of them reaches the page, its style
/// sheet or its script, where any other text could change what the visitor's page shows.
std::vector<std::string> parameterProblems(const TAppletData& data);

/// Throws VeskaroError with the first of the parameter problems.
void checkParameters(const TAppletData& data);

} // namespace veskaro
