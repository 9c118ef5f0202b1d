#pragma once
// Self-registration: the COM class keys under HKEY_LOCAL_MACHINE, the TSF input
// processor with its language profile for 0x0404, and its categories.

#include <windows.h>
#include <msctf.h>

#include <string>

// "Software\Classes\CLSID\{...}" of CLSID_TextService, below HKEY_LOCAL_MACHINE.
std::wstring ClsidKeyPath();

// Writes `text` as REG_SZ with its terminator counted; `valueName` null is the default value.
HRESULT SetRegistryString(HKEY key, const wchar_t* valueName, const std::wstring& text);

// The display name, the library path and the threading model of the COM class.
HRESULT RegisterComServer();

// What a CoInitializeEx result means for the two exports: whether a matching
// CoUninitialize is owed, and the result they go on with.
struct ComInitialization {
    bool initialized;
    HRESULT result;
};
ComInitialization InterpretComInitialization(HRESULT coInitializeResult);

// COM in the single-threaded apartment for the length of one export call.
HRESULT InitializeCom(bool& initialized);

// True only for the 32-bit build on 64-bit Windows.
bool IsRunningUnderWow64();

// How the TSF objects are obtained, so that a test can hand in doubles.
struct TsfObjectSource {
    HRESULT (*createProfiles)(ITfInputProcessorProfiles** profiles);
    HRESULT (*createCategoryMgr)(ITfCategoryMgr** categoryMgr);
};
TsfObjectSource SystemTsfObjects();

// Registers the input processor, its profile and its categories; on any failure undoes
// them and deletes the COM class tree, and returns the failing HRESULT.
HRESULT RegisterWithTsf(const TsfObjectSource& source);

// Removes the categories, the profile and the input processor; every result is ignored.
void UnregisterFromTsf(const TsfObjectSource& source);

// The result of unregistration from the status of deleting the COM class tree.
HRESULT UnregistrationResult(LSTATUS deleteTreeStatus);

STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
