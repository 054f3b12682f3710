#include "platform/FileSettingsStore.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace veskaro {

namespace {

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// "\Software\KVL\\Veskaro\" and "Software\KVL\Veskaro" name the same key.
std::string normalKeyPath(std::string_view key) {
    std::string path;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos)
            end = key.size();
        if (end > start) {
            if (!path.empty())
                path += '\\';
            path += key.substr(start, end - start);
        }
        start = end + 1;
    }
    return path;
}

std::string quotedText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out + '"';
}

// Reads a quoted text starting at pos; on success pos ends after the closing quote.
std::optional<std::string> unquoted(const std::string& line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return text;
        }
        if (c == '\\') {
            if (++i == line.size())
                return std::nullopt;
            switch (line[i]) {
            case '\\':
                c = '\\';
                break;
            case '"':
                c = '"';
                break;
            case 'r':
                c = '\r';
                break;
            case 'n':
                c = '\n';
                break;
            default:
                return std::nullopt;
            }
        }
        text += c;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> dwordText(std::string_view text) {
    if (text.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

FileSettingsStore::Key& ensureKey(FileSettingsStore::Hive& hive, const std::string& path) {
    auto [entry, added] = hive.try_emplace(lowerAscii(path));
    if (added)
        entry->second.path = path;
    return entry->second;
}

std::optional<FileSettingsStore::Value> parseValue(const std::string& line) {
    FileSettingsStore::Value value;
    std::size_t pos = 0;
    if (line.rfind("@=", 0) == 0) {
        pos = 1;
    } else {
        auto name = unquoted(line, pos);
        if (!name || pos >= line.size() || line[pos] != '=')
            return std::nullopt;
        value.name = *name;
    }
    ++pos;
    if (line.compare(pos, 6, "dword:") == 0) {
        auto dword = dwordText(std::string_view(line).substr(pos + 6));
        if (!dword)
            return std::nullopt;
        value.isDword = true;
        value.dword = *dword;
        return value;
    }
    auto text = unquoted(line, pos);
    if (!text || pos != line.size())
        return std::nullopt;
    value.text = *text;
    return value;
}

std::optional<FileSettingsStore::Hive> parseHive(const std::vector<std::string>& lines) {
    FileSettingsStore::Hive hive;
    FileSettingsStore::Key* key = nullptr;
    for (const auto& line : lines) {
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return std::nullopt;
            key = &ensureKey(hive, normalKeyPath(std::string_view(line).substr(1, line.size() - 2)));
            continue;
        }
        auto value = parseValue(line);
        if (!key || !value)
            return std::nullopt;
        key->values[lowerAscii(value->name)] = std::move(*value);
    }
    return hive;
}

std::vector<std::string> hiveLines(const FileSettingsStore::Hive& hive) {
    std::vector<std::string> lines{"; Veskaro settings", ""};
    for (const auto& [lowerPath, key] : hive) {
        lines.push_back("[" + key.path + "]");
        for (const auto& [lowerName, value] : key.values) {
            std::string line = value.name.empty() ? "@=" : quotedText(value.name) + "=";
            if (value.isDword) {
                char digits[9];
                std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.dword));
                line += std::string("dword:") + digits;
            } else {
                line += quotedText(value.text);
            }
            lines.push_back(std::move(line));
        }
        lines.emplace_back();
    }
    return lines;
}

std::string configFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string folder = value ? value : "";
    if (const auto colon = folder.find(':'); colon != std::string::npos)
        folder.resize(colon); // the first of a list of folders
    if (folder.empty() || folder.front() != '/')
        folder = fallback;
    return folder;
}

} // namespace

FileSettingsStore::FileSettingsStore(std::string userFile, std::string machineFile)
    : m_userFile(std::move(userFile)), m_machineFile(std::move(machineFile)) {}

std::unique_ptr<FileSettingsStore> FileSettingsStore::atStandardPlaces() {
    const char* home = std::getenv("HOME");
    const std::string userConfig = configFolder("XDG_CONFIG_HOME", (std::string(home ? home : "") + "/.config").c_str());
    const std::string systemConfig = configFolder("XDG_CONFIG_DIRS", "/etc/xdg");
    return std::make_unique<FileSettingsStore>(userConfig + "/veskaro/user-settings.reg",
                                               systemConfig + "/veskaro/machine-settings.reg");
}

const std::string& FileSettingsStore::fileOf(SettingsRoot root) const {
    return root == SettingsRoot::CurrentUser ? m_userFile : m_machineFile;
}

FileSettingsStore::Hive FileSettingsStore::load(SettingsRoot root) const {
    std::error_code error;
    if (!std::filesystem::exists(fileOf(root), error))
        return {};
    try {
        return parseHive(readTextLines(fileOf(root))).value_or(Hive{});
    } catch (const VeskaroError&) {
        return {};
    }
}

bool FileSettingsStore::store(SettingsRoot root, const Hive& hive) {
    if (root != SettingsRoot::CurrentUser)
        return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_userFile).parent_path(), error);
    try {
        writeTextFileAtomically(m_userFile, hiveLines(hive));
        return true;
    } catch (const VeskaroError&) {
        return false;
    }
}

bool FileSettingsStore::keyExists(SettingsRoot root, std::string_view key) const {
    const std::string path = lowerAscii(normalKeyPath(key));
    if (path.empty())
        return true;
    const Hive hive = load(root);
    if (hive.count(path) != 0)
        return true;
    // A key exists also when only a key below it is written down.
    const std::string below = path + '\\';
    const auto next = hive.lower_bound(below);
    return next != hive.end() && next->first.rfind(below, 0) == 0;
}

bool FileSettingsStore::createKey(SettingsRoot root, std::string_view key) {
    if (root != SettingsRoot::CurrentUser)
        return false;
    if (keyExists(root, key))
        return true;
    Hive hive = load(root);
    const std::string path = normalKeyPath(key);
    for (std::size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
        ensureKey(hive, path.substr(0, end));
    ensureKey(hive, path);
    return store(root, hive);
}

bool FileSettingsStore::valueExists(SettingsRoot root, std::string_view key, std::string_view name) const {
    const Hive hive = load(root);
    const auto entry = hive.find(lowerAscii(normalKeyPath(key)));
    return entry != hive.end() && entry->second.values.count(lowerAscii(name)) != 0;
}

template <typename T, typename Extract>
SettingsRead<T> FileSettingsStore::read(SettingsRoot root, std::string_view key, std::string_view name,
                                        Extract extract) const {
    if (!keyExists(root, key))
        return {ReadStatus::NoKey, {}};
    const Hive hive = load(root);
    const auto entry = hive.find(lowerAscii(normalKeyPath(key)));
    if (entry == hive.end())
        return {ReadStatus::Missing, {}};
    const auto value = entry->second.values.find(lowerAscii(name));
    if (value == entry->second.values.end())
        return {ReadStatus::Missing, {}};
    return extract(value->second);
}

SettingsRead<std::uint32_t> FileSettingsStore::readDword(SettingsRoot root, std::string_view key,
                                                         std::string_view name) const {
    return read<std::uint32_t>(root, key, name, [](const Value& value) {
        return value.isDword ? SettingsRead<std::uint32_t>{ReadStatus::Ok, value.dword}
                             : SettingsRead<std::uint32_t>{ReadStatus::WrongType, 0};
    });
}

SettingsRead<std::string> FileSettingsStore::readString(SettingsRoot root, std::string_view key,
                                                        std::string_view name) const {
    return read<std::string>(root, key, name, [](const Value& value) {
        return value.isDword ? SettingsRead<std::string>{ReadStatus::WrongType, {}}
                             : SettingsRead<std::string>{ReadStatus::Ok, value.text};
    });
}

bool FileSettingsStore::writeValue(SettingsRoot root, std::string_view key, Value value) {
    if (root != SettingsRoot::CurrentUser || !keyExists(root, key))
        return false;
    Hive hive = load(root);
    Key& entry = ensureKey(hive, normalKeyPath(key));
    entry.values[lowerAscii(value.name)] = std::move(value);
    return store(root, hive);
}

bool FileSettingsStore::writeDword(SettingsRoot root, std::string_view key, std::string_view name,
                                   std::uint32_t value) {
    return writeValue(root, key, Value{std::string(name), true, value, {}});
}

bool FileSettingsStore::writeString(SettingsRoot root, std::string_view key, std::string_view name,
                                    std::string_view value) {
    return writeValue(root, key, Value{std::string(name), false, 0, std::string(value)});
}

} // namespace veskaro
