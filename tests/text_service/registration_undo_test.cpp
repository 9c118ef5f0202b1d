// The order of the TSF registration calls and the undo after a failure, with recording
// doubles of the profiles object and the category manager; and the same undo against
// Wine's real profiles object.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "identifiers.h"
#include "registration.h"
#include "tsf_declarations.h"
#include "wine/registry_probe.h"

namespace {

constexpr HRESULT InjectedFailure = static_cast<HRESULT>(0x8004D00A);

// Every call of the doubles lands here; the calls named in `failures` answer their HRESULT.
struct CallLog {
    std::vector<std::string> calls;
    std::map<std::string, HRESULT> failures;
    std::wstring description;
    ULONG descriptionLength = 0;

    HRESULT Record(std::string call) {
        const auto failure = failures.find(call);
        calls.push_back(std::move(call));
        return failure == failures.end() ? S_OK : failure->second;
    }
};
CallLog* log = nullptr;

std::string CategoryName(REFGUID category) {
    if (IsEqualGUID(category, GUID_TFCAT_TIP_KEYBOARD)) return "TIP_KEYBOARD";
    if (IsEqualGUID(category, GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER)) return "DISPLAYATTRIBUTEPROVIDER";
    if (IsEqualGUID(category, GUID_TFCAT_TIPCAP_IMMERSIVESUPPORT)) return "IMMERSIVESUPPORT";
    if (IsEqualGUID(category, GUID_TFCAT_TIPCAP_SYSTRAYSUPPORT)) return "SYSTRAYSUPPORT";
    return "unknown category";
}

void ExpectOurs(REFCLSID clsid, LANGID language, REFGUID profile) {
    EXPECT_TRUE(IsEqualGUID(clsid, CLSID_TextService));
    EXPECT_EQ(language, 0x0404);
    EXPECT_TRUE(IsEqualGUID(profile, GUID_TextServiceProfile));
}

template <typename Interface>
class CountedDouble : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    std::atomic<ULONG> refs{1};  // the test's own reference; the double is never freed
};

class ProfilesDouble final : public CountedDouble<ITfInputProcessorProfiles> {
public:
    HRESULT STDMETHODCALLTYPE Register(REFCLSID clsid) override {
        EXPECT_TRUE(IsEqualGUID(clsid, CLSID_TextService));
        return log->Record("Register");
    }
    HRESULT STDMETHODCALLTYPE Unregister(REFCLSID clsid) override {
        EXPECT_TRUE(IsEqualGUID(clsid, CLSID_TextService));
        return log->Record("Unregister");
    }
    HRESULT STDMETHODCALLTYPE AddLanguageProfile(REFCLSID clsid, LANGID language, REFGUID profile,
                                                 const WCHAR* description, ULONG descriptionLength,
                                                 const WCHAR* iconFile, ULONG iconFileLength,
                                                 ULONG iconIndex) override {
        ExpectOurs(clsid, language, profile);
        log->description.assign(description, descriptionLength);
        log->descriptionLength = descriptionLength;
        EXPECT_STREQ(iconFile, L"");
        EXPECT_EQ(iconFileLength, 0u);
        EXPECT_EQ(iconIndex, 0u);
        return log->Record("AddLanguageProfile");
    }
    HRESULT STDMETHODCALLTYPE RemoveLanguageProfile(REFCLSID clsid, LANGID language, REFGUID profile) override {
        ExpectOurs(clsid, language, profile);
        return log->Record("RemoveLanguageProfile");
    }
    HRESULT STDMETHODCALLTYPE EnableLanguageProfile(REFCLSID clsid, LANGID language, REFGUID profile,
                                                    WINBOOL enable) override {
        ExpectOurs(clsid, language, profile);
        EXPECT_TRUE(enable);
        return log->Record("EnableLanguageProfile");
    }
    HRESULT STDMETHODCALLTYPE EnumInputProcessorInfo(IEnumGUID**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetDefaultLanguageProfile(LANGID, REFGUID, CLSID*, GUID*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE SetDefaultLanguageProfile(LANGID, REFCLSID, REFGUID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ActivateLanguageProfile(REFCLSID, LANGID, REFGUID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetActiveLanguageProfile(REFCLSID, LANGID*, GUID*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetLanguageProfileDescription(REFCLSID, LANGID, REFGUID, BSTR*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE GetCurrentLanguage(LANGID*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE ChangeCurrentLanguage(LANGID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetLanguageList(LANGID**, ULONG*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EnumLanguageProfiles(LANGID, IEnumTfLanguageProfiles**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE IsEnabledLanguageProfile(REFCLSID, LANGID, REFGUID, WINBOOL*) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE EnableLanguageProfileByDefault(REFCLSID, LANGID, REFGUID, WINBOOL) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE SubstituteKeyboardLayout(REFCLSID, LANGID, REFGUID, HKL) override { return Unexpected(); }

private:
    static HRESULT Unexpected() {
        ADD_FAILURE() << "registration made a profiles call it has no use for";
        return E_NOTIMPL;
    }
};

class CategoryMgrDouble final : public CountedDouble<ITfCategoryMgr> {
public:
    HRESULT STDMETHODCALLTYPE RegisterCategory(REFCLSID owner, REFGUID category, REFGUID item) override {
        ExpectOwnerAndItem(owner, item);
        return log->Record("RegisterCategory " + CategoryName(category));
    }
    HRESULT STDMETHODCALLTYPE UnregisterCategory(REFCLSID owner, REFGUID category, REFGUID item) override {
        ExpectOwnerAndItem(owner, item);
        return log->Record("UnregisterCategory " + CategoryName(category));
    }
    HRESULT STDMETHODCALLTYPE EnumCategoriesInItem(REFGUID, IEnumGUID**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE EnumItemsInCategory(REFGUID, IEnumGUID**) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE FindClosestCategory(REFGUID, GUID*, const GUID**, ULONG) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE RegisterGUIDDescription(REFCLSID, REFGUID, const WCHAR*, ULONG) override {
        return Unexpected();
    }
    HRESULT STDMETHODCALLTYPE UnregisterGUIDDescription(REFCLSID, REFGUID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetGUIDDescription(REFGUID, BSTR*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE RegisterGUIDDWORD(REFCLSID, REFGUID, DWORD) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE UnregisterGUIDDWORD(REFCLSID, REFGUID) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetGUIDDWORD(REFGUID, DWORD*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE RegisterGUID(REFGUID, TfGuidAtom*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE GetGUID(TfGuidAtom, GUID*) override { return Unexpected(); }
    HRESULT STDMETHODCALLTYPE IsEqualTfGuidAtom(TfGuidAtom, REFGUID, WINBOOL*) override { return Unexpected(); }

private:
    static void ExpectOwnerAndItem(REFCLSID owner, REFGUID item) {
        EXPECT_TRUE(IsEqualGUID(owner, CLSID_TextService));
        EXPECT_TRUE(IsEqualGUID(item, CLSID_TextService));
    }
    static HRESULT Unexpected() {
        ADD_FAILURE() << "registration made a category call it has no use for";
        return E_NOTIMPL;
    }
};

ProfilesDouble* profilesDouble = nullptr;
CategoryMgrDouble* categoryMgrDouble = nullptr;

template <typename Interface, typename Double>
HRESULT HandOut(const char* call, Double* source, Interface** out) {
    *out = nullptr;
    const HRESULT hr = log->Record(call);
    if (FAILED(hr)) return hr;
    source->AddRef();
    *out = source;
    return S_OK;
}

const TsfObjectSource Doubles = {
    [](ITfInputProcessorProfiles** out) { return HandOut("CreateProfiles", profilesDouble, out); },
    [](ITfCategoryMgr** out) { return HandOut("CreateCategoryMgr", categoryMgrDouble, out); },
};

// A real profiles object of Wine's TSF, with the category manager still a double.
const TsfObjectSource WineProfilesAndCategoryDouble = {
    SystemTsfObjects().createProfiles,
    [](ITfCategoryMgr** out) { return HandOut("CreateCategoryMgr", categoryMgrDouble, out); },
};

const std::vector<std::string> RegistrationCalls = {
    "CreateProfiles",
    "Register",
    "AddLanguageProfile",
    "EnableLanguageProfile",
    "CreateCategoryMgr",
    "RegisterCategory TIP_KEYBOARD",
    "RegisterCategory DISPLAYATTRIBUTEPROVIDER",
    "RegisterCategory IMMERSIVESUPPORT",
    "RegisterCategory SYSTRAYSUPPORT",
};
const std::vector<std::string> CategoryUndo = {
    "UnregisterCategory SYSTRAYSUPPORT",
    "UnregisterCategory IMMERSIVESUPPORT",
    "UnregisterCategory DISPLAYATTRIBUTEPROVIDER",
    "UnregisterCategory TIP_KEYBOARD",
};
const std::vector<std::string> ProfileUndo = {"RemoveLanguageProfile", "Unregister"};

// The registration calls up to and including `last`, then the given undo steps.
std::vector<std::string> CallsUpTo(const std::string& last, std::vector<std::vector<std::string>> undo) {
    std::vector<std::string> calls;
    for (const auto& call : RegistrationCalls) {
        calls.push_back(call);
        if (call == last) break;
    }
    for (const auto& steps : undo) calls.insert(calls.end(), steps.begin(), steps.end());
    return calls;
}

class TsfRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        log = &calls;
        profilesDouble = &profiles;
        categoryMgrDouble = &categoryMgr;
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RegisterComServer(), S_OK);
    }
    void TearDown() override {
        EXPECT_EQ(profiles.refs, 1u) << "profiles object not released";
        EXPECT_EQ(categoryMgr.refs, 1u) << "category manager not released";
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClsidKeyPath().c_str());
        CoUninitialize();
        log = nullptr;
    }

    CallLog calls;
    ProfilesDouble profiles;
    CategoryMgrDouble categoryMgr;
};

TEST_F(TsfRegistration, RegistersProcessorProfileAndFourCategoriesInOrder) {
    EXPECT_EQ(RegisterWithTsf(Doubles), S_OK);
    EXPECT_EQ(calls.calls, RegistrationCalls);
    EXPECT_EQ(calls.description, L"悠然輸入法-啟明星 (Mo_Input_Ka)");
    EXPECT_EQ(calls.descriptionLength, 23u);
    EXPECT_TRUE(registry_probe::MachineKeyExists(ClsidKeyPath()));
}

TEST_F(TsfRegistration, AFailureUndoesEverythingAndIsReturned) {
    const struct {
        std::string failAt;
        std::vector<std::string> expected;
    } cases[] = {
        {"CreateProfiles", CallsUpTo("CreateProfiles", {})},
        {"Register", CallsUpTo("Register", {ProfileUndo})},
        {"AddLanguageProfile", CallsUpTo("AddLanguageProfile", {ProfileUndo})},
        {"EnableLanguageProfile", CallsUpTo("EnableLanguageProfile", {ProfileUndo})},
        {"CreateCategoryMgr", CallsUpTo("CreateCategoryMgr", {ProfileUndo})},
        {"RegisterCategory TIP_KEYBOARD", CallsUpTo("RegisterCategory TIP_KEYBOARD", {CategoryUndo, ProfileUndo})},
        // The usual case: every category is unregistered, also those never registered.
        {"RegisterCategory IMMERSIVESUPPORT",
         CallsUpTo("RegisterCategory IMMERSIVESUPPORT", {CategoryUndo, ProfileUndo})},
        {"RegisterCategory SYSTRAYSUPPORT", CallsUpTo("RegisterCategory SYSTRAYSUPPORT", {CategoryUndo, ProfileUndo})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failAt);
        calls.calls.clear();
        calls.failures = {{c.failAt, InjectedFailure}};
        ASSERT_EQ(RegisterComServer(), S_OK);

        EXPECT_EQ(RegisterWithTsf(Doubles), InjectedFailure);
        EXPECT_EQ(calls.calls, c.expected);
        EXPECT_FALSE(registry_probe::MachineKeyExists(ClsidKeyPath())) << "COM class tree left behind";
    }
}

TEST_F(TsfRegistration, UndoFailuresAreIgnored) {
    // Every undo call fails too: the undo still runs to its end and the registration's
    // own failure is the one returned.
    calls.failures = {{"RegisterCategory IMMERSIVESUPPORT", InjectedFailure}};
    for (const auto& call : CategoryUndo) calls.failures[call] = E_FAIL;
    for (const auto& call : ProfileUndo) calls.failures[call] = E_NOTIMPL;
    EXPECT_EQ(RegisterWithTsf(Doubles), InjectedFailure);
    EXPECT_EQ(calls.calls, CallsUpTo("RegisterCategory IMMERSIVESUPPORT", {CategoryUndo, ProfileUndo}));
}

TEST_F(TsfRegistration, UnregistrationRemovesCategoriesThenProfileAndProcessor) {
    UnregisterFromTsf(Doubles);
    std::vector<std::string> expected = {"CreateCategoryMgr"};
    expected.insert(expected.end(), CategoryUndo.begin(), CategoryUndo.end());
    expected.push_back("CreateProfiles");
    expected.insert(expected.end(), ProfileUndo.begin(), ProfileUndo.end());
    EXPECT_EQ(calls.calls, expected);
}

TEST_F(TsfRegistration, UnregistrationGoesOnWhenTheObjectsCannotBeMade) {
    calls.failures = {{"CreateCategoryMgr", InjectedFailure}};
    UnregisterFromTsf(Doubles);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"CreateCategoryMgr", "CreateProfiles", "RemoveLanguageProfile",
                                                     "Unregister"}));

    calls.calls.clear();
    calls.failures = {{"CreateProfiles", InjectedFailure}};
    UnregisterFromTsf(Doubles);
    std::vector<std::string> expected = {"CreateCategoryMgr"};
    expected.insert(expected.end(), CategoryUndo.begin(), CategoryUndo.end());
    expected.push_back("CreateProfiles");
    EXPECT_EQ(calls.calls, expected);
}

TEST_F(TsfRegistration, UndoAgainstWinesProfilesLeavesNoTrace) {
    const std::wstring tipKey = registry_probe::TipKeyPath(CLSID_TextService);
    calls.failures = {{"RegisterCategory IMMERSIVESUPPORT", InjectedFailure}};

    EXPECT_EQ(RegisterWithTsf(WineProfilesAndCategoryDouble), InjectedFailure);
    EXPECT_EQ(calls.calls, (std::vector<std::string>{
                               "CreateCategoryMgr",
                               "RegisterCategory TIP_KEYBOARD",
                               "RegisterCategory DISPLAYATTRIBUTEPROVIDER",
                               "RegisterCategory IMMERSIVESUPPORT",
                               "UnregisterCategory SYSTRAYSUPPORT",
                               "UnregisterCategory IMMERSIVESUPPORT",
                               "UnregisterCategory DISPLAYATTRIBUTEPROVIDER",
                               "UnregisterCategory TIP_KEYBOARD",
                           }));
    EXPECT_FALSE(registry_probe::MachineKeyExists(tipKey)) << "Wine still lists the input processor";
    EXPECT_FALSE(registry_probe::MachineKeyExists(ClsidKeyPath()));
}

}  // namespace
