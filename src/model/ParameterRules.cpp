#include "model/ParameterRules.h"

#include "model/ColorText.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace veskaro {

namespace {

std::optional<std::string> numberProblem(const AppletField& field, const std::string& text) {
    const std::optional<int> value = wholeNumberOf(text);
    if (!value)
        return "The " + std::string(field.description) + " \"" + text + "\" is not a whole number.";
    if (!inRange(field, *value))
        return "The " + std::string(field.description) + " " + text + " lies outside " + std::to_string(field.lowest) +
               " to " + std::to_string(field.highest) + ".";
    return std::nullopt;
}

std::optional<std::string> colorProblem(const AppletField& field, const std::string& text) {
    if (isColorText(text))
        return std::nullopt;
    return "The " + std::string(field.description) + " \"" + text +
           "\" is neither six hexadecimal digits nor \"transparent\".";
}

} // namespace

bool inRange(const AppletField& field, int value) {
    return value >= field.lowest && value <= field.highest;
}

std::optional<SliderSize> sliderSizeOf(const TAppletData& data) {
    const std::optional<int> width = wholeNumberOf(data.sliderWidth);
    const std::optional<int> height = wholeNumberOf(data.sliderHeight);
    if (!width || !height || !inRange(appletField(&TAppletData::sliderWidth), *width) ||
        !inRange(appletField(&TAppletData::sliderHeight), *height))
        return std::nullopt;
    return SliderSize{*width, *height};
}

std::vector<std::string> parameterProblems(const TAppletData& data) {
    std::vector<std::string> problems;
    for (const AppletField& field : kAppletFields) {
        std::optional<std::string> problem;
        if (field.kind == ValueKind::Number)
            problem = numberProblem(field, data.*field.member);
        else if (field.kind == ValueKind::Color)
            problem = colorProblem(field, data.*field.member);
        if (problem)
            problems.push_back(std::move(*problem));
    }
    return problems;
}

void checkParameters(const TAppletData& data) {
    const std::vector<std::string> problems = parameterProblems(data);
    if (!problems.empty())
        throw VeskaroError(problems.front());
}

} // namespace veskaro
