#ifdef _WIN32

#include "platform/WindowsRegistryStore.h"

#include <windows.h>

#include <vector>

namespace veskaro {

namespace {

HKEY rootKey(SettingsRoot root) { return root == SettingsRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::string subKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    return std::string(key);
}

class OpenKey {
public:
    OpenKey(SettingsRoot root, std::string_view key, REGSAM access, bool create) {
        const std::string path = subKey(key);
        const LSTATUS status =
            create ? RegCreateKeyExA(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                     nullptr, &m_key, nullptr)
                   : RegOpenKeyExA(rootKey(root), path.c_str(), 0, access, &m_key);
        if (status != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

bool WindowsRegistryStore::keyExists(SettingsRoot root, std::string_view key) const {
    return OpenKey(root, key, KEY_READ, false).get() != nullptr;
}

bool WindowsRegistryStore::createKey(SettingsRoot root, std::string_view key) {
    return OpenKey(root, key, KEY_WRITE, true).get() != nullptr;
}

bool WindowsRegistryStore::valueExists(SettingsRoot root, std::string_view key, std::string_view name) const {
    OpenKey open(root, key, KEY_READ, false);
    const std::string valueName(name);
    return open.get() && RegQueryValueExA(open.get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                             ERROR_SUCCESS;
}

SettingsRead<std::uint32_t> WindowsRegistryStore::readDword(SettingsRoot root, std::string_view key,
                                                            std::string_view name) const {
    OpenKey open(root, key, KEY_READ, false);
    if (!open.get())
        return {ReadStatus::NoKey, 0};
    const std::string valueName(name);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(open.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return {type == 0 ? ReadStatus::Missing : ReadStatus::WrongType, 0};
    if (type != REG_DWORD)
        return {ReadStatus::WrongType, 0};
    return {ReadStatus::Ok, value};
}

SettingsRead<std::string> WindowsRegistryStore::readString(SettingsRoot root, std::string_view key,
                                                           std::string_view name) const {
    OpenKey open(root, key, KEY_READ, false);
    if (!open.get())
        return {ReadStatus::NoKey, {}};
    const std::string valueName(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(open.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {ReadStatus::Missing, {}};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return {ReadStatus::WrongType, {}};
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(open.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return {ReadStatus::Missing, {}};
    return {ReadStatus::Ok, std::string(buffer.data())};
}

bool WindowsRegistryStore::writeDword(SettingsRoot root, std::string_view key, std::string_view name,
                                      std::uint32_t value) {
    OpenKey open(root, key, KEY_WRITE, false);
    const std::string valueName(name);
    const DWORD data = value;
    return open.get() && RegSetValueExA(open.get(), valueName.c_str(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool WindowsRegistryStore::writeString(SettingsRoot root, std::string_view key, std::string_view name,
                                       std::string_view value) {
    OpenKey open(root, key, KEY_WRITE, false);
    const std::string valueName(name);
    const std::string data(value);
    return open.get() && RegSetValueExA(open.get(), valueName.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(data.c_str()),
                                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

} // namespace veskaro

#endif
