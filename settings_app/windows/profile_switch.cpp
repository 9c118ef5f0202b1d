#include "profile_switch.h"

#include <windows.h>

#include "identifiers.h"
#include "tsf_declarations.h"

constinit const ProfileString TextServiceProfileString =
    MakeProfileString(TextServiceLanguage, CLSID_TextService, GUID_TextServiceProfile);

bool SetInputProfileEnabled(bool enable) {
    // The system directory only: never a same-named library beside the program.
    HMODULE input = LoadLibraryExW(L"input.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!input) return false;
    const auto install = reinterpret_cast<InstallLayoutOrTipFunction>(
        reinterpret_cast<void*>(GetProcAddress(input, "InstallLayoutOrTip")));
    bool changed = false;
    if (install) {
        changed = install(TextServiceProfileString.data(), enable ? 0 : ILOT_UNINSTALL) != FALSE;
    }
    FreeLibrary(input);
    return changed;
}
