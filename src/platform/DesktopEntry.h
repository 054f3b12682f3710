#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// A desktop entry file (name.desktop) as lines in their order, so that a file read, changed and written
/// again differs only in the values that were set. Values are read and written with the string escapes
/// \s \n \t \r \\ undone and applied; the Exec key's quoting of arguments lies on top of those.
class DesktopEntry {
public:
    /// The group that every desktop entry must have.
    static constexpr std::string_view kMainGroup = "Desktop Entry";

    /// Parses the text of a desktop entry; LF or CR LF ends a line. Never fails: a line that is no group
    /// header, key or comment is kept as it is and belongs to no key.
    static DesktopEntry fromText(std::string_view text);

    /// Reads a desktop entry file. Throws VeskaroError when the file cannot be read.
    static DesktopEntry fromFile(const std::string& path);

    /// Returns the value of a key (exactly as named, "Name[de]" being another key) in a group, with its
    /// string escapes undone; nothing when the group or key is missing. A later duplicate wins.
    std::optional<std::string> value(std::string_view group, std::string_view key) const;

    /// Sets the value of a key in a group, escaping it; a new key goes after the group's last key and a new
    /// group at the end.
    void setValue(std::string_view group, std::string_view key, std::string_view value);

    /// Returns the text of the entry, every line ending in LF.
    std::string text() const;

    /// Returns one argument for an Exec value: in double quotes, with " ` $ \ escaped and % doubled.
    static std::string quotedExecArgument(std::string_view argument);

    /// Returns the argument words of an Exec value (as value() gives it): quoting undone, %% read as %,
    /// and field codes such as %f left in their words as written.
    static std::vector<std::string> execWords(std::string_view exec);

private:
    std::vector<std::string> m_lines;
};

} // namespace veskaro
