#pragma once

#ifdef _WIN32

#include "platform/SettingsStore.h"

namespace veskaro {

/// The settings store over the Windows registry.
class WindowsRegistryStore : public SettingsStore {
public:
    bool keyExists(SettingsRoot root, std::string_view key) const override;
    bool createKey(SettingsRoot root, std::string_view key) override;
    bool valueExists(SettingsRoot root, std::string_view key, std::string_view name) const override;
    SettingsRead<std::uint32_t> readDword(SettingsRoot root, std::string_view key,
                                          std::string_view name) const override;
    SettingsRead<std::string> readString(SettingsRoot root, std::string_view key,
                                         std::string_view name) const override;
    bool writeDword(SettingsRoot root, std::string_view key, std::string_view name, std::uint32_t value) override;
    bool writeString(SettingsRoot root, std::string_view key, std::string_view name, std::string_view value) override;
};

} // namespace veskaro

#endif
