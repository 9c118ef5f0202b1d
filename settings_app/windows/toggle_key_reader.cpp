#include <windows.h>

#include <cwchar>

#include "profile_switch.h"
#include "settings_names.h"

bool ReadToggleKeyIsCapsLock() {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    const LSTATUS status =
        RegGetValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::ToggleKey,
                     RRF_RT_REG_SZ, nullptr, text, &size);
    return status == ERROR_SUCCESS && std::wcscmp(text, L"CapsLock") == 0;
}
