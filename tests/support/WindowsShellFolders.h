#pragma once

#ifdef _WIN32

#include <windows.h>

#include <optional>
#include <string>

namespace veskaro::test {

/// Points one of the user's shell folders ("AppData", "Personal") at another folder for as long as it
/// lives, through the registry the shell reads them from; then restores it. The test's own programs and
/// those it starts see the new folder, as Linux programs see a changed XDG variable. Tests that move a
/// folder share CTest's resource lock "shell-folders".
class MovedShellFolder {
public:
    MovedShellFolder(const wchar_t* name, const std::wstring& folder) : m_name(name) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
        wchar_t old[MAX_PATH] = {};
        DWORD size = sizeof old;
        if (RegQueryValueExW(m_key, m_name, nullptr, &m_type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS)
            m_old = old;
        set(REG_EXPAND_SZ, folder);
    }
    ~MovedShellFolder() {
        if (m_old)
            set(m_type, *m_old);
        else
            RegDeleteValueW(m_key, m_name);
        RegCloseKey(m_key);
    }
    MovedShellFolder(const MovedShellFolder&) = delete;
    MovedShellFolder& operator=(const MovedShellFolder&) = delete;

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    void set(DWORD type, const std::wstring& value) {
        RegSetValueExW(m_key, m_name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    const wchar_t* m_name;
    HKEY m_key = nullptr;
    DWORD m_type = REG_EXPAND_SZ;
    std::optional<std::wstring> m_old;
};

} // namespace veskaro::test

#endif
