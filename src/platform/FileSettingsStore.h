#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace veskaro {

/// Keeps each root of the settings in one human-readable file in the registry export style:
///     [Software\KVL\Veskaro\1.0\Web Browsers]
///     "UseDefaultBrowser"=dword:00000001
///     "SpecifiedBrowserExePath"="C:\\Browsers\\web.exe"
///     @="Veskaro.Document"
/// Every call reads the file anew, once; every write replaces it atomically. A line that cannot be read is
/// passed over, and written back as it was, in its place; a file that cannot be read at all counts as
/// empty and is never replaced. The machine root is read-only.
class FileSettingsStore : public SettingsStore {
public:
    FileSettingsStore(std::string userFile, std::string machineFile);

    /// Returns the store at the XDG places: the user's config home and the first system config folder.
    /// Throws VeskaroError when neither XDG_CONFIG_HOME nor HOME names the config home.
    static std::unique_ptr<FileSettingsStore> atStandardPlaces();

    bool keyExists(SettingsRoot root, std::string_view key) const override;
    bool createKey(SettingsRoot root, std::string_view key) override;
    bool valueExists(SettingsRoot root, std::string_view key, std::string_view name) const override;
    SettingsRead<std::uint32_t> readDword(SettingsRoot root, std::string_view key,
                                          std::string_view name) const override;
    SettingsRead<std::string> readString(SettingsRoot root, std::string_view key, std::string_view name) const override;
    bool writeDword(SettingsRoot root, std::string_view key, std::string_view name, std::uint32_t value) override;
    bool writeString(SettingsRoot root, std::string_view key, std::string_view name, std::string_view value) override;

    struct Value {
        std::string name;
        bool isDword = false;
        std::uint32_t dword = 0;
        std::string text;
    };
    /// A value, or a line of the file that could not be read, kept as it was.
    using Entry = std::variant<Value, std::string>;
    struct Key {
        std::string path;
        std::vector<Entry> entries; // in the order of the file; a new value goes last
        // Lines below a header that could not be read, up to the next key: no value of this key is
        // among them, so they stay behind its values.
        std::vector<std::string> strayLines;
    };
    struct Hive {
        std::vector<std::string> preamble; // the lines above the first key
        std::map<std::string, Key> keys;   // by lower-case path
    };

private:
    const std::string& fileOf(SettingsRoot root) const;
    std::optional<Hive> load(SettingsRoot root) const;
    bool store(const Hive& hive);
    bool writeValue(SettingsRoot root, std::string_view key, Value value);
    template <typename T, typename Extract>
    SettingsRead<T> read(SettingsRoot root, std::string_view key, std::string_view name, Extract extract) const;

    std::string m_userFile;
    std::string m_machineFile;
};

} // namespace veskaro
