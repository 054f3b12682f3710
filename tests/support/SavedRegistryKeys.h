#pragma once

#ifdef _WIN32

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veskaro::test {

/// Keeps what some keys below root (the current user's unless told) hold, their values and sub-keys or that
/// they are missing, and puts it back when it ends, so that a test writing there leaves the registry as it
/// found it.
class SavedRegistryKeys {
public:
    explicit SavedRegistryKeys(std::vector<std::wstring> paths, HKEY root = HKEY_CURRENT_USER) : m_root(root) {
        for (std::wstring& path : paths) {
            std::optional<Snapshot> kept = snapshotOf(m_root, path);
            m_saved.emplace_back(std::move(path), std::move(kept));
        }
    }
    ~SavedRegistryKeys() {
        for (const auto& [path, kept] : m_saved) {
            RegDeleteTreeW(m_root, path.c_str());
            RegDeleteKeyW(m_root, path.c_str());
            if (kept)
                restore(m_root, path, *kept);
        }
    }
    SavedRegistryKeys(const SavedRegistryKeys&) = delete;
    SavedRegistryKeys& operator=(const SavedRegistryKeys&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Snapshot {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Snapshot>> keys;
    };

    static std::optional<Snapshot> snapshotOf(HKEY parent, const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        Snapshot snapshot;
        for (DWORD index = 0;; ++index) {
            wchar_t name[16384];
            DWORD nameSize = 16384;
            DWORD type = 0;
            DWORD size = 0;
            if (RegEnumValueW(key, index, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            Value value{name, type, std::vector<BYTE>(size)};
            nameSize = 16384;
            RegEnumValueW(key, index, name, &nameSize, nullptr, &type, value.data.data(), &size);
            value.data.resize(size);
            snapshot.values.push_back(std::move(value));
        }
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameSize = 256;
            if (RegEnumKeyExW(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (std::optional<Snapshot> sub = snapshotOf(key, name))
                snapshot.keys.emplace_back(name, std::move(*sub));
        }
        RegCloseKey(key);
        return snapshot;
    }

    static void restore(HKEY parent, const std::wstring& path, const Snapshot& snapshot) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const Value& value : snapshot.values)
            RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        for (const auto& [name, sub] : snapshot.keys)
            restore(key, name, sub);
        RegCloseKey(key);
    }

    HKEY m_root;
    std::vector<std::pair<std::wstring, std::optional<Snapshot>>> m_saved;
};

} // namespace veskaro::test

#endif
