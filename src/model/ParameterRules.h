#pragma once

#include "model/AppletTypes.h"

namespace veskaro {

/// Returns the rules of the script parameter held in member.
const AppletField& appletField(std::string TAppletData::*member);

/// Tells whether a number lies in the range the designer allows for a number parameter.
bool inRange(const AppletField& field, int value);

/// Throws VeskaroError "'%s' is not a valid integer value" for the first number parameter that is not a
/// whole number, since each of them reaches the page, its style sheet or its script as it stands.
void checkNumbers(const TAppletData& data);

} // namespace veskaro
