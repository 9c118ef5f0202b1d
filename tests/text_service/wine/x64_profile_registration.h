#pragma once
// Under WOW64 the x86 library registers its COM class alone: the language profile comes
// from the x64 library's registration, which a test of the x86 build makes itself here.

#include <msctf.h>
#include <windows.h>

#include "com_ptr.h"
#include "identifiers.h"

inline ComPtr<ITfInputProcessorProfiles> CreateProfiles() {
    ComPtr<ITfInputProcessorProfiles> profiles;
    CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                     IID_ITfInputProcessorProfiles, profiles.PutVoid());
    return profiles;
}

// The input processor and its profile for 0x0404, as the x64 library registers them.
inline HRESULT RegisterProfileAsTheX64LibraryDoes() {
    ComPtr<ITfInputProcessorProfiles> profiles = CreateProfiles();
    if (!profiles) return E_FAIL;
    static constexpr wchar_t description[] = L"悠然輸入法-啟明星 (Mo_Input_Ka)";
    HRESULT hr = profiles->Register(CLSID_TextService);
    if (SUCCEEDED(hr)) {
        hr = profiles->AddLanguageProfile(CLSID_TextService, 0x0404, GUID_TextServiceProfile,
                                          description, ARRAYSIZE(description) - 1, L"", 0, 0);
    }
    if (SUCCEEDED(hr)) {
        hr = profiles->EnableLanguageProfile(CLSID_TextService, 0x0404, GUID_TextServiceProfile,
                                             TRUE);
    }
    return hr;
}

inline HRESULT UnregisterProfileAsTheX64LibraryDoes() {
    ComPtr<ITfInputProcessorProfiles> profiles = CreateProfiles();
    return profiles ? profiles->Unregister(CLSID_TextService) : E_FAIL;
}
