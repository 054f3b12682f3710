#include "model/ParameterRules.h"

#include "model/ValueText.h"

#include <algorithm>
#include <stdexcept>

namespace veskaro {

const AppletField& appletField(std::string TAppletData::*member) {
    const auto* found = std::find_if(kAppletFields.begin(), kAppletFields.end(),
                                     [member](const AppletField& field) { return field.member == member; });
    if (found == kAppletFields.end())
        throw std::logic_error("a script parameter without its rules");
    return *found;
}

bool inRange(const AppletField& field, int value) {
    return value >= field.lowest && value <= field.highest;
}

void checkNumbers(const TAppletData& data) {
    for (const AppletField& field : kAppletFields)
        if (field.kind == ValueKind::Number)
            strToInt(data.*field.member);
}

} // namespace veskaro
