#include "model/ProjectOptions.h"

#include <algorithm>
#include <stdexcept>

namespace veskaro {

namespace {

bool isOptionName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_';
    });
}

} // namespace

std::optional<std::string> defaultOptionValue(std::string_view name) {
    for (const ProjectOptionRule& rule : kProjectOptionRules)
        if (name == rule.name)
            return rule.defaultValue;
    return std::nullopt;
}

std::string ProjectOptions::value(std::string_view name) const {
    const std::optional<std::string> fallback = defaultOptionValue(name);
    if (!fallback)
        throw std::logic_error("an option without its rule: " + std::string(name));
    const auto found = m_values.find(name);
    return found == m_values.end() ? *fallback : found->second;
}

void ProjectOptions::set(std::string_view name, std::string value) {
    const std::optional<std::string> fallback = defaultOptionValue(name);
    if (!fallback)
        throw std::logic_error("an option without its rule: " + std::string(name));
    if (value == *fallback)
        m_values.erase(std::string(name));
    else
        m_values.insert_or_assign(std::string(name), std::move(value));
}

std::vector<std::string> ProjectOptions::fileLines() const {
    std::vector<std::string> lines;
    for (const auto& [name, value] : m_values)
        if (defaultOptionValue(name) != value)
            lines.push_back(name + "=" + value);
    lines.insert(lines.end(), m_malformed.begin(), m_malformed.end());
    return lines;
}

ProjectOptions ProjectOptions::fromFileLines(const std::vector<std::string>& lines) {
    ProjectOptions options;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        const std::string name = line.substr(0, equals);
        // A line that is no option, or a name given twice, is kept as it stands for the version that wrote it.
        if (equals == std::string::npos || !isOptionName(name) || options.m_values.contains(name))
            options.m_malformed.push_back(line);
        else
            options.m_values.emplace(name, line.substr(equals + 1));
    }
    return options;
}

} // namespace veskaro
