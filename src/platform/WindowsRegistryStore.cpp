#ifdef _WIN32

#include "platform/WindowsRegistryStore.h"

#include "platform/PathText.h"

#include <windows.h>

#include <vector>

namespace veskaro {

namespace {

// Names and texts are UTF-8 in the program and UTF-16 in the registry: the wide calls, so that a program
// path beyond the narrow code page reaches the file association whole.

HKEY rootKey(SettingsRoot root) {
    return root == SettingsRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::wstring subKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    return wideText(key);
}

class OpenKey {
public:
    OpenKey(SettingsRoot root, std::string_view key, REGSAM access, bool create) {
        const std::wstring path = subKey(key);
        const LSTATUS status = create ? RegCreateKeyExW(rootKey(root), path.c_str(), 0, nullptr,
                                                        REG_OPTION_NON_VOLATILE, access, nullptr, &m_key, nullptr)
                                      : RegOpenKeyExW(rootKey(root), path.c_str(), 0, access, &m_key);
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
    const std::wstring valueName = wideText(name);
    return open.get() &&
           RegQueryValueExW(open.get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

SettingsRead<std::uint32_t> WindowsRegistryStore::readDword(SettingsRoot root, std::string_view key,
                                                            std::string_view name) const {
    OpenKey open(root, key, KEY_READ, false);
    if (!open.get())
        return {ReadStatus::NoKey, 0};
    const std::wstring valueName = wideText(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {ReadStatus::Missing, 0};
    DWORD value = 0;
    if (type != REG_DWORD || size != sizeof value)
        return {ReadStatus::WrongType, 0};
    if (RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return {ReadStatus::Missing, 0};
    return {ReadStatus::Ok, value};
}

SettingsRead<std::string> WindowsRegistryStore::readString(SettingsRoot root, std::string_view key,
                                                           std::string_view name) const {
    OpenKey open(root, key, KEY_READ, false);
    if (!open.get())
        return {ReadStatus::NoKey, {}};
    const std::wstring valueName = wideText(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {ReadStatus::Missing, {}};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return {ReadStatus::WrongType, {}};
    // One character more than the size says, for a value stored without its terminating zero.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(open.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return {ReadStatus::Missing, {}};
    return {ReadStatus::Ok, utf8Text(buffer.data())};
}

bool WindowsRegistryStore::writeDword(SettingsRoot root, std::string_view key, std::string_view name,
                                      std::uint32_t value) {
    OpenKey open(root, key, KEY_WRITE, false);
    const std::wstring valueName = wideText(name);
    const DWORD data = value;
    return open.get() && RegSetValueExW(open.get(), valueName.c_str(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool WindowsRegistryStore::writeString(SettingsRoot root, std::string_view key, std::string_view name,
                                       std::string_view value) {
    OpenKey open(root, key, KEY_WRITE, false);
    const std::wstring valueName = wideText(name);
    const std::wstring data = wideText(value);
    return open.get() &&
           RegSetValueExW(open.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace veskaro

#endif
