#pragma once
// Reads back what registration left in the registry (HKEY_LOCAL_MACHINE).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace registry_probe {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;

    // The UTF-16 text without the terminator the data carries.
    std::wstring Text() const {
        std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
};

inline std::optional<Value> ReadMachineValue(const std::wstring& keyPath, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    Value value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

inline bool MachineKeyExists(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// Where Wine's (and Windows') TSF keeps an input processor's registration.
inline std::wstring TipKeyPath(const GUID& clsid) { return L"Software\\Microsoft\\CTF\\TIP\\" + GuidText(clsid); }

}  // namespace registry_probe
