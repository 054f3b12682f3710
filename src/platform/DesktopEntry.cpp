#include "platform/DesktopEntry.h"

#include "platform/TextFile.h"

namespace veskaro {

namespace {

std::string_view withoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

std::string_view withoutBlanks(std::string_view text) {
    text = withoutLeadingBlanks(text);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A header must be the whole line; "[Desktop Entry" opens no group, so the keys below it belong to none
// rather than to the group above.
std::optional<std::string_view> headerGroup(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

struct KeyLine {
    std::string_view key;
    std::string_view rawValue;
};

// Blanks around '=' do not count, so a value that begins with a blank is written with \s; blanks at the
// end of the line are the value's own.
std::optional<KeyLine> keyLine(std::string_view line) {
    const std::string_view content = withoutLeadingBlanks(line);
    if (content.empty() || content.front() == '#' || content.front() == '[')
        return std::nullopt;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = withoutBlanks(content.substr(0, equals));
    if (key.empty())
        return std::nullopt;
    return KeyLine{key, withoutLeadingBlanks(content.substr(equals + 1))};
}

std::string unescaped(std::string_view raw) {
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            value += raw[i];
            continue;
        }
        switch (raw[++i]) {
        case 's':
            value += ' ';
            break;
        case 'n':
            value += '\n';
            break;
        case 't':
            value += '\t';
            break;
        case 'r':
            value += '\r';
            break;
        case '\\':
            value += '\\';
            break;
        default:
            // Escapes of other value types, such as \; in lists, are theirs to undo.
            value += '\\';
            value += raw[i];
        }
    }
    return value;
}

std::string escaped(std::string_view value) {
    std::string raw;
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
        case '\\':
            raw += "\\\\";
            break;
        case '\n':
            raw += "\\n";
            break;
        case '\t':
            raw += "\\t";
            break;
        case '\r':
            raw += "\\r";
            break;
        case ' ':
            raw += i == 0 ? "\\s" : " ";
            break;
        default:
            raw += value[i];
        }
    }
    return raw;
}

} // namespace

DesktopEntry DesktopEntry::fromText(std::string_view text) {
    DesktopEntry entry;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        entry.m_lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return entry;
}

DesktopEntry DesktopEntry::fromFile(const std::string& path) {
    DesktopEntry entry;
    entry.m_lines = readTextLines(path);
    return entry;
}

std::optional<std::string> DesktopEntry::value(std::string_view group, std::string_view key) const {
    std::optional<std::string_view> current;
    std::optional<std::string> found;
    for (const std::string& line : m_lines) {
        if (!line.empty() && line.front() == '[')
            current = headerGroup(line);
        else if (const std::optional<KeyLine> entry = keyLine(line); entry && current == group && entry->key == key)
            found = unescaped(entry->rawValue);
    }
    return found;
}

void DesktopEntry::setValue(std::string_view group, std::string_view key, std::string_view value) {
    const std::string line = std::string(key) + "=" + escaped(value);
    std::optional<std::string_view> current;
    std::optional<std::size_t> sameKey;
    std::optional<std::size_t> groupEnd; // the header or the group's last key
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (!m_lines[i].empty() && m_lines[i].front() == '[') {
            current = headerGroup(m_lines[i]);
            if (current == group)
                groupEnd = i;
        } else if (const std::optional<KeyLine> entry = keyLine(m_lines[i]); entry && current == group) {
            groupEnd = i;
            if (entry->key == key)
                sameKey = i;
        }
    }
    if (sameKey) {
        m_lines[*sameKey] = line;
    } else if (groupEnd) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*groupEnd + 1), line);
    } else {
        if (!m_lines.empty() && !withoutBlanks(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back("[" + std::string(group) + "]");
        m_lines.push_back(line);
    }
}

std::string DesktopEntry::text() const {
    std::string text;
    for (const std::string& line : m_lines)
        text += line + '\n';
    return text;
}

std::string DesktopEntry::quotedExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        else if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

std::vector<std::string> DesktopEntry::execWords(std::string_view exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        const char next = i + 1 < exec.size() ? exec[i + 1] : '\0';
        if (c == '%' && next == '%') {
            word += '%';
            inWord = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (quoted && c == '\\' && next != '\0' &&
                   std::string_view("\"`$\\").find(next) != std::string_view::npos) {
            word += next;
            ++i;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace veskaro
