#include "registration.h"

#include <iterator>

#include "boundary_guard.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "identifiers.h"
#include "text_service.h"  // CreateSystemCategoryMgr
#include "tsf_declarations.h"

namespace {

constexpr wchar_t DisplayName[] = L"悠然輸入法-啟明星";
constexpr wchar_t ProfileDescription[] = L"悠然輸入法-啟明星 (Mo_Input_Ka)";
constexpr ULONG ProfileDescriptionLength = 23;
static_assert(std::size(ProfileDescription) == ProfileDescriptionLength + 1);

constexpr wchar_t InprocServerKey[] = L"\\InprocServer32";
constexpr wchar_t ThreadingModelValue[] = L"ThreadingModel";
constexpr wchar_t ApartmentThreading[] = L"Apartment";

// Registration order; the undo walks it backwards.
const GUID* const TextServiceCategories[] = {
    &GUID_TFCAT_TIP_KEYBOARD,
    &GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER,
    &GUID_TFCAT_TIPCAP_IMMERSIVESUPPORT,
    &GUID_TFCAT_TIPCAP_SYSTRAYSUPPORT,
};

HRESULT FromWin32(LSTATUS status) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(status)); }

HKEY CreateMachineKey(const std::wstring& path, LSTATUS& status) {
    HKEY key = nullptr;
    status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_WRITE, nullptr, &key, nullptr);
    return status == ERROR_SUCCESS ? key : nullptr;
}

LSTATUS DeleteComClassTree() { return RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClsidKeyPath().c_str()); }

void UnregisterCategories(ITfCategoryMgr* categoryMgr) {
    for (auto it = std::rbegin(TextServiceCategories); it != std::rend(TextServiceCategories);
         ++it) {
        categoryMgr->UnregisterCategory(CLSID_TextService, **it, CLSID_TextService);
    }
}

void RemoveProfileAndProcessor(ITfInputProcessorProfiles* profiles) {
    profiles->RemoveLanguageProfile(CLSID_TextService, TextServiceLanguage,
                                    GUID_TextServiceProfile);
    profiles->Unregister(CLSID_TextService);
}

HRESULT CreateSystemProfiles(ITfInputProcessorProfiles** profiles) {
    return CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                            IID_ITfInputProcessorProfiles, reinterpret_cast<void**>(profiles));
}

// Balances a successful InitializeCom when the export returns, however it returns.
class ComApartmentScope {
  public:
    explicit ComApartmentScope(bool initialized) : owed(initialized) {}
    ~ComApartmentScope() {
        if (owed) CoUninitialize();
    }
    ComApartmentScope(const ComApartmentScope&) = delete;
    ComApartmentScope& operator=(const ComApartmentScope&) = delete;

  private:
    bool owed;
};

}  // namespace

std::wstring ClsidKeyPath() {
    wchar_t clsid[40] = {};
    StringFromGUID2(CLSID_TextService, clsid, static_cast<int>(std::size(clsid)));
    return std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
}

HRESULT SetRegistryString(HKEY key, const wchar_t* valueName, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return FromWin32(RegSetValueExW(key, valueName, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

HRESULT RegisterComServer() {
    const std::wstring classKeyPath = ClsidKeyPath();
    LSTATUS status = ERROR_SUCCESS;
    HKEY key = CreateMachineKey(classKeyPath, status);
    if (!key) return FromWin32(status);
    HRESULT hr = SetRegistryString(key, nullptr, DisplayName);
    RegCloseKey(key);
    if (FAILED(hr)) return hr;

    key = CreateMachineKey(classKeyPath + InprocServerKey, status);
    if (!key) return FromWin32(status);
    wchar_t libraryPath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(DllModule, libraryPath, MAX_PATH);
    // A full buffer holds a cut-off path, which COM could never load: refuse it rather
    // than register a wrong file.
    const DWORD readError = length == 0          ? GetLastError()
                            : length >= MAX_PATH ? ERROR_INSUFFICIENT_BUFFER
                                                 : 0;
    if (readError != 0) {
        RegCloseKey(key);
        return FromWin32(static_cast<LSTATUS>(readError));
    }
    hr = SetRegistryString(key, nullptr, libraryPath);
    if (SUCCEEDED(hr)) hr = SetRegistryString(key, ThreadingModelValue, ApartmentThreading);
    RegCloseKey(key);
    return hr;
}

HRESULT InitializeCom(bool& initialized) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialized = SUCCEEDED(hr);  // S_OK and S_FALSE both owe a CoUninitialize
    // A thread already in another apartment works on in it, without initialising.
    return hr == RPC_E_CHANGED_MODE ? S_OK : hr;
}

bool IsRunningUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

TsfObjectSource SystemTsfObjects() { return {CreateSystemProfiles, CreateSystemCategoryMgr}; }

HRESULT RegisterWithTsf(const TsfObjectSource& source) {
    ComPtr<ITfInputProcessorProfiles> profiles;
    ComPtr<ITfCategoryMgr> categoryMgr;  // declared last, so released first

    HRESULT hr = source.createProfiles(profiles.Put());
    if (SUCCEEDED(hr)) hr = profiles->Register(CLSID_TextService);
    if (SUCCEEDED(hr)) {
        hr = profiles->AddLanguageProfile(CLSID_TextService, TextServiceLanguage,
                                          GUID_TextServiceProfile, ProfileDescription,
                                          ProfileDescriptionLength, L"", 0, 0);
    }
    if (SUCCEEDED(hr)) {
        hr = profiles->EnableLanguageProfile(CLSID_TextService, TextServiceLanguage,
                                             GUID_TextServiceProfile, TRUE);
    }
    if (SUCCEEDED(hr)) hr = source.createCategoryMgr(categoryMgr.Put());
    for (const GUID* category : TextServiceCategories) {
        if (FAILED(hr)) break;
        hr = categoryMgr->RegisterCategory(CLSID_TextService, *category, CLSID_TextService);
    }

    if (FAILED(hr)) {
        if (categoryMgr) UnregisterCategories(categoryMgr.Get());
        if (profiles) RemoveProfileAndProcessor(profiles.Get());
        DeleteComClassTree();
    }
    return hr;
}

void UnregisterFromTsf(const TsfObjectSource& source) {
    ComPtr<ITfInputProcessorProfiles> profiles;
    ComPtr<ITfCategoryMgr> categoryMgr;
    if (SUCCEEDED(source.createCategoryMgr(categoryMgr.Put())) && categoryMgr) {
        UnregisterCategories(categoryMgr.Get());
    }
    if (SUCCEEDED(source.createProfiles(profiles.Put())) && profiles) {
        RemoveProfileAndProcessor(profiles.Get());
    }
}

HRESULT UnregistrationResult(LSTATUS deleteTreeStatus) {
    if (deleteTreeStatus == ERROR_SUCCESS || deleteTreeStatus == ERROR_FILE_NOT_FOUND) return S_OK;
    return FromWin32(deleteTreeStatus);
}

HRESULT RegisterServer(bool underWow64, const TsfObjectSource& tsf) {
    HRESULT hr = RegisterComServer();
    if (FAILED(hr)) return hr;
    if (underWow64) return S_OK;  // the x64 build registers the profile and categories

    bool initialized = false;
    hr = InitializeCom(initialized);
    if (FAILED(hr)) {
        DeleteComClassTree();
        return hr;
    }
    ComApartmentScope apartment(initialized);
    return RegisterWithTsf(tsf);
}

HRESULT UnregisterServer(bool underWow64, const TsfObjectSource& tsf) {
    if (underWow64) return UnregistrationResult(DeleteComClassTree());

    bool initialized = false;
    const HRESULT hr = InitializeCom(initialized);
    if (FAILED(hr)) return hr;
    ComApartmentScope apartment(initialized);
    UnregisterFromTsf(tsf);
    return UnregistrationResult(DeleteComClassTree());
}

STDAPI DllRegisterServer() {
    return GuardCom([] { return RegisterServer(IsRunningUnderWow64(), SystemTsfObjects()); });
}

STDAPI DllUnregisterServer() {
    return GuardCom([] { return UnregisterServer(IsRunningUnderWow64(), SystemTsfObjects()); });
}
