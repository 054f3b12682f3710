#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace veskaro {

/// The two roots the program keeps settings under, named as in the Windows registry.
enum class SettingsRoot { CurrentUser, LocalMachine };

/// How a read ended; the cases stay apart so callers can follow the registry's rules exactly.
enum class ReadStatus { Ok, NoKey, Missing, WrongType };

template <typename T> struct SettingsRead {
    ReadStatus status = ReadStatus::Missing;
    T value{};
    bool ok() const { return status == ReadStatus::Ok; }
};

/// Per-user and machine settings with the registry's contract: keys are paths of names separated by
/// backslashes (a leading backslash is allowed, letter case does not matter), a value has a name (empty
/// for the key's default value) and is either a DWORD or a string. No operation throws.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// Tells whether the key exists, without creating it.
    virtual bool keyExists(SettingsRoot root, std::string_view key) const = 0;
    /// Opens the key with creation: makes it and every missing key above it; false when that fails.
    virtual bool createKey(SettingsRoot root, std::string_view key) = 0;
    /// Tells whether the key exists and holds a value of that name, of any type.
    virtual bool valueExists(SettingsRoot root, std::string_view key, std::string_view name) const = 0;
    virtual SettingsRead<std::uint32_t> readDword(SettingsRoot root, std::string_view key,
                                                  std::string_view name) const = 0;
    virtual SettingsRead<std::string> readString(SettingsRoot root, std::string_view key,
                                                 std::string_view name) const = 0;
    /// Writes into an existing key (open without creation); false when the key is missing or the write fails.
    virtual bool writeDword(SettingsRoot root, std::string_view key, std::string_view name, std::uint32_t value) = 0;
    virtual bool writeString(SettingsRoot root, std::string_view key, std::string_view name,
                             std::string_view value) = 0;
};

/// Opens the store of this system: the registry on Windows, the settings files elsewhere. Throws
/// VeskaroError when the settings files have no folder (neither XDG_CONFIG_HOME nor HOME is set).
std::unique_ptr<SettingsStore> openSystemSettingsStore();

} // namespace veskaro
