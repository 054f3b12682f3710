#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <string>

namespace veskaro {

/// Keeps each root of the settings in one human-readable file in the registry export style:
///     [Software\KVL\Veskaro\1.0\Web Browsers]
///     "UseDefaultBrowser"=dword:00000001
///     "SpecifiedBrowserExePath"="C:\\Browsers\\web.exe"
///     @="Veskaro.Document"
/// Every call reads the file anew; every write replaces it atomically. A file that cannot be parsed
/// counts as empty. The machine root is read-only.
class FileSettingsStore : public SettingsStore {
public:
    FileSettingsStore(std::string userFile, std::string machineFile);

    /// Returns the store at the XDG places: the user's config home and the first system config folder.
    static std::unique_ptr<FileSettingsStore> atStandardPlaces();

    bool keyExists(SettingsRoot root, std::string_view key) const override;
    bool createKey(SettingsRoot root, std::string_view key) override;
    bool valueExists(SettingsRoot root, std::string_view key, std::string_view name) const override;
    SettingsRead<std::uint32_t> readDword(SettingsRoot root, std::string_view key,
                                          std::string_view name) const override;
    SettingsRead<std::string> readString(SettingsRoot root, std::string_view key,
                                         std::string_view name) const override;
    bool writeDword(SettingsRoot root, std::string_view key, std::string_view name, std::uint32_t value) override;
    bool writeString(SettingsRoot root, std::string_view key, std::string_view name, std::string_view value) override;

    struct Value {
        std::string name;
        bool isDword = false;
        std::uint32_t dword = 0;
        std::string text;
    };
    struct Key {
        std::string path;
        std::map<std::string, Value> values; // by lower-case name
    };
    using Hive = std::map<std::string, Key>; // by lower-case path

private:
    const std::string& fileOf(SettingsRoot root) const;
    Hive load(SettingsRoot root) const;
    bool store(SettingsRoot root, const Hive& hive);
    bool writeValue(SettingsRoot root, std::string_view key, Value value);
    template <typename T, typename Extract>
    SettingsRead<T> read(SettingsRoot root, std::string_view key, std::string_view name, Extract extract) const;

    std::string m_userFile;
    std::string m_machineFile;
};

} // namespace veskaro
