#include "platform/FileSettingsStore.h"

#include "platform/AsciiText.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"
#include "platform/Xdg.h"

#include <cstdio>
#include <filesystem>

namespace veskaro {

namespace {

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
    return text.size() == 8 ? hexNumber(text) : std::nullopt;
}

FileSettingsStore::Key& ensureKey(FileSettingsStore::Hive& hive, const std::string& path) {
    auto [entry, added] = hive.keys.try_emplace(asciiLower(path));
    if (added)
        entry->second.path = path;
    return entry->second;
}

// A key exists also when only a key below it is written down.
bool keyIn(const FileSettingsStore::Hive& hive, std::string_view key) {
    const std::string path = asciiLower(normalKeyPath(key));
    if (path.empty() || hive.keys.count(path) != 0)
        return true;
    const std::string below = path + '\\';
    const auto next = hive.keys.lower_bound(below);
    return next != hive.keys.end() && next->first.rfind(below, 0) == 0;
}

const FileSettingsStore::Value* valueIn(const FileSettingsStore::Hive& hive, std::string_view key,
                                        std::string_view name) {
    const auto entry = hive.keys.find(asciiLower(normalKeyPath(key)));
    if (entry == hive.keys.end())
        return nullptr;
    const std::string lowerName = asciiLower(name);
    for (const FileSettingsStore::Entry& line : entry->second.entries)
        if (const auto* value = std::get_if<FileSettingsStore::Value>(&line);
            value && asciiLower(value->name) == lowerName)
            return value;
    return nullptr;
}

// A value written again keeps its place; a later duplicate in the file overrides the earlier one the same way.
void putValue(FileSettingsStore::Key& key, FileSettingsStore::Value value) {
    const std::string lowerName = asciiLower(value.name);
    for (FileSettingsStore::Entry& line : key.entries) {
        if (auto* existing = std::get_if<FileSettingsStore::Value>(&line);
            existing && asciiLower(existing->name) == lowerName) {
            *existing = std::move(value);
            return;
        }
    }
    key.entries.emplace_back(std::move(value));
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

// A hand-edited file may hold a line this reader does not understand; it is passed over rather than the
// whole file, and kept so that the next write does not lose it. Comments are kept the same way.
FileSettingsStore::Hive parseHive(const std::vector<std::string>& lines) {
    FileSettingsStore::Hive hive;
    FileSettingsStore::Key* key = nullptr;
    bool belowBadHeader = false; // the values there belong to a key nobody can name
    auto keep = [&](const std::string& line) {
        if (!key)
            hive.preamble.push_back(line);
        else if (belowBadHeader)
            key->strayLines.push_back(line);
        else
            key->entries.emplace_back(line);
    };
    for (const auto& line : lines) {
        if (line.empty())
            continue;
        if (line.front() == '[') {
            belowBadHeader = line.size() < 2 || line.back() != ']';
            if (belowBadHeader)
                keep(line);
            else
                key = &ensureKey(hive, normalKeyPath(std::string_view(line).substr(1, line.size() - 2)));
            continue;
        }
        std::optional<FileSettingsStore::Value> value;
        if (key && !belowBadHeader && line.front() != ';')
            value = parseValue(line);
        if (value)
            putValue(*key, std::move(*value));
        else
            keep(line);
    }
    return hive;
}

std::string valueLine(const FileSettingsStore::Value& value) {
    std::string line = value.name.empty() ? "@=" : quotedText(value.name) + "=";
    if (!value.isDword)
        return line + quotedText(value.text);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.dword));
    return line + "dword:" + digits;
}

std::vector<std::string> hiveLines(const FileSettingsStore::Hive& hive) {
    std::vector<std::string> lines = hive.preamble;
    if (lines.empty())
        lines.emplace_back("; Veskaro settings");
    lines.emplace_back();
    for (const auto& [lowerPath, key] : hive.keys) {
        lines.push_back("[" + key.path + "]");
        for (const FileSettingsStore::Entry& entry : key.entries)
            lines.push_back(std::holds_alternative<FileSettingsStore::Value>(entry)
                                ? valueLine(std::get<FileSettingsStore::Value>(entry))
                                : std::get<std::string>(entry));
        lines.insert(lines.end(), key.strayLines.begin(), key.strayLines.end());
        lines.emplace_back();
    }
    return lines;
}

} // namespace

FileSettingsStore::FileSettingsStore(std::string userFile, std::string machineFile)
    : m_userFile(std::move(userFile)), m_machineFile(std::move(machineFile)) {}

std::unique_ptr<FileSettingsStore> FileSettingsStore::atStandardPlaces() {
    // Without a home the settings would land in /.config, shared by everyone or not writable at all.
    const std::string userConfig = xdg::configHome();
    if (userConfig.empty())
        throw VeskaroError("The settings folder cannot be found: set HOME or XDG_CONFIG_HOME.");
    return std::make_unique<FileSettingsStore>(userConfig + "/veskaro/user-settings.reg",
                                               xdg::configDirs().front() + "/veskaro/machine-settings.reg");
}

const std::string& FileSettingsStore::fileOf(SettingsRoot root) const {
    return root == SettingsRoot::CurrentUser ? m_userFile : m_machineFile;
}

std::optional<FileSettingsStore::Hive> FileSettingsStore::load(SettingsRoot root) const {
    std::error_code error;
    if (!std::filesystem::exists(fileOf(root), error))
        return error ? std::nullopt : std::optional<Hive>(Hive{});
    try {
        return parseHive(readTextLines(fileOf(root)));
    } catch (const VeskaroError&) {
        return std::nullopt;
    }
}

bool FileSettingsStore::store(const Hive& hive) {
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
    return keyIn(load(root).value_or(Hive{}), key);
}

// A file that exists but cannot be read is never written over: that would replace the user's settings
// with the few values of this one call.
bool FileSettingsStore::createKey(SettingsRoot root, std::string_view key) {
    if (root != SettingsRoot::CurrentUser)
        return false;
    std::optional<Hive> hive = load(root);
    if (!hive)
        return false;
    if (keyIn(*hive, key))
        return true;
    const std::string path = normalKeyPath(key);
    for (std::size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
        ensureKey(*hive, path.substr(0, end));
    ensureKey(*hive, path);
    return store(*hive);
}

bool FileSettingsStore::valueExists(SettingsRoot root, std::string_view key, std::string_view name) const {
    return valueIn(load(root).value_or(Hive{}), key, name) != nullptr;
}

template <typename T, typename Extract>
SettingsRead<T> FileSettingsStore::read(SettingsRoot root, std::string_view key, std::string_view name,
                                        Extract extract) const {
    const Hive hive = load(root).value_or(Hive{});
    if (!keyIn(hive, key))
        return {ReadStatus::NoKey, {}};
    const Value* value = valueIn(hive, key, name);
    if (!value)
        return {ReadStatus::Missing, {}};
    return extract(*value);
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
    if (root != SettingsRoot::CurrentUser)
        return false;
    std::optional<Hive> hive = load(root);
    if (!hive || !keyIn(*hive, key))
        return false;
    putValue(ensureKey(*hive, normalKeyPath(key)), std::move(value));
    return store(*hive);
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
