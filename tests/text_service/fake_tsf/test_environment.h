#pragma once
// What every text service test needs around the fakes: a COM apartment, a settings
// store in a known state and a main table named through the environment.

#include <windows.h>

#include <filesystem>
#include <string>

#include "install_file_names.h"
#include "settings_names.h"

namespace fake_tsf {

class ComApartment {
  public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT result;
};

// Removes every stored setting, so each reader falls back to its default.
inline void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath); }

inline void StoreSetting(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, REG_DWORD, &value,
                    sizeof(value));
}

inline void StoreSetting(const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The main table the service loads, unless a TablePath setting names another.
inline void UseTable(const std::filesystem::path& table) {
    SetEnvironmentVariableW(InstallNames::TablePathVariable, table.wstring().c_str());
}

}  // namespace fake_tsf
