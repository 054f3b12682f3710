#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// An option beyond the script parameters, with the value a new project has.
struct ProjectOptionRule {
    const char* name; // "Area.Name", ASCII
    const char* defaultValue;
};

/// The options the program knows. The project file holds only the values that differ from these defaults.
inline constexpr ProjectOptionRule kProjectOptionRules[] = {
    {"Pictures.HighDensity", "0"}, {"Pictures.JpegQuality", "90"}, {"Pictures.LazyLoad", "0"}, {"Pictures.WebP", "0"},
    {"Upload.Auth", ""},           {"Upload.Folder", ""},          {"Upload.Host", ""},        {"Upload.KeyFile", ""},
    {"Upload.Port", ""},           {"Upload.Protocol", ""},        {"Upload.User", ""},
};

/// The tags of the block that holds the options, after the items of a project file.
inline constexpr const char* kOptionsBeginTag = "<Veskaro_Options>";
inline constexpr const char* kOptionsEndTag = "</Veskaro_Options>";

/// The options of a project, as a plain value: the known ones with their defaults, and every line of the
/// block that this version does not understand (a newer version's option, a malformed line), kept to be
/// written back unchanged. No secret is ever held here: the project file lies in the published folder.
class ProjectOptions {
public:
    /// Returns the value of a known option, its default when it was never set.
    std::string value(std::string_view name) const;
    /// Tells whether a known option holds "1".
    bool isOn(std::string_view name) const { return value(name) == "1"; }
    /// Sets a known option; its default removes it from the file. Throws std::logic_error for a name this
    /// version does not know.
    void set(std::string_view name, std::string value);

    /// Returns the block's lines as the project file holds them, without the tags: the options that differ
    /// from their defaults and the unknown ones, sorted by name, then the malformed lines as read. Empty when
    /// every option has its default.
    std::vector<std::string> fileLines() const;
    /// Replaces the options with those of a block's lines, as fileLines writes them.
    static ProjectOptions fromFileLines(const std::vector<std::string>& lines);

    bool operator==(const ProjectOptions&) const = default;

private:
    std::map<std::string, std::string, std::less<>> m_values; // set or read, known names and unknown ones
    std::vector<std::string> m_malformed;
};

/// Returns the default of a known option, or nothing for a name this version does not know.
std::optional<std::string> defaultOptionValue(std::string_view name);

} // namespace veskaro
