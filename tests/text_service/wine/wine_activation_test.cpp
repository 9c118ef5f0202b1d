// Wine's own TSF activating the registered input method: ActivateLanguageProfile after
// the thread manager is active makes Wine create the text service through the registry
// and call its Activate. Runs with LC_ALL=zh_TW.UTF-8, without which Wine's current
// language is 0x0409 and it activates no profile for 0x0404. Under WOW64 the x86 library
// registers its COM class alone, so the test registers the profile as the x64 library does.
#include <gtest/gtest.h>
#include <msctf.h>
#include <windows.h>

#include "com_ptr.h"
#include "identifiers.h"
#include "install_file_names.h"
#include "running_under_wow64.h"
#include "test_files.h"
#include "tsf_library.h"
#include "x64_profile_registration.h"

namespace {

constexpr GUID MarkerBefore = {0x6D6F696B, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr GUID MarkerAfter = {0x6D6F696B, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};

template <typename Interface>
ComPtr<Interface> Create(REFCLSID clsid, REFIID iid) {
    ComPtr<Interface> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid()), S_OK);
    return object;
}

TEST(WineActivation, ActivateLanguageProfileRunsOurActivate) {
    ASSERT_EQ(RunRegsvr32(L""), 0);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    if (RunningUnderWow64()) {
        ASSERT_EQ(RegisterProfileAsTheX64LibraryDoes(), S_OK);
    }
    ASSERT_TRUE(SetEnvironmentVariableW(InstallNames::TablePathVariable,
                                        test_support::SourcePath("data/ZiRevod-Ka.cin").c_str()));
    {
        auto threadMgr = Create<ITfThreadMgr>(CLSID_TF_ThreadMgr, IID_ITfThreadMgr);
        auto profiles = Create<ITfInputProcessorProfiles>(CLSID_TF_InputProcessorProfiles,
                                                          IID_ITfInputProcessorProfiles);
        auto categoryMgr = Create<ITfCategoryMgr>(CLSID_TF_CategoryMgr, IID_ITfCategoryMgr);
        ASSERT_TRUE(threadMgr && profiles && categoryMgr);
        TfClientId clientId = 0;
        ASSERT_EQ(threadMgr->Activate(&clientId), S_OK);
        LANGID language = 0;
        ASSERT_EQ(profiles->GetCurrentLanguage(&language), S_OK);
        ASSERT_EQ(language, 0x0404) << "the test needs LC_ALL=zh_TW.UTF-8";

        // Atoms are handed out in order. Activate registers the reading's display
        // attribute, so its atom falls between a marker registered before the
        // activation and one registered after it exactly when Activate ran.
        TfGuidAtom before = 0;
        TfGuidAtom after = 0;
        TfGuidAtom reading = 0;
        ASSERT_EQ(categoryMgr->RegisterGUID(MarkerBefore, &before), S_OK);
        ASSERT_EQ(LoadedTsfModule(), nullptr);

        EXPECT_EQ(
            profiles->ActivateLanguageProfile(CLSID_TextService, 0x0404, GUID_TextServiceProfile),
            S_OK);

        ASSERT_EQ(categoryMgr->RegisterGUID(MarkerAfter, &after), S_OK);
        ASSERT_EQ(categoryMgr->RegisterGUID(GUID_ReadingDisplayAttribute, &reading), S_OK);
        EXPECT_NE(LoadedTsfModule(), nullptr)
            << "Wine did not load the library through the registry";
        EXPECT_GT(reading, before);
        EXPECT_LT(reading, after) << "Activate did not run inside ActivateLanguageProfile";

        GUID activeProfile = GUID_NULL;
        EXPECT_EQ(profiles->GetActiveLanguageProfile(CLSID_TextService, &language, &activeProfile),
                  S_OK);
        EXPECT_EQ(language, 0x0404);
        EXPECT_TRUE(IsEqualGUID(activeProfile, GUID_TextServiceProfile));

        // Wine's keystroke manager refuses AdviseKeyEventSink (E_INVALIDARG) inside
        // Activate, so Activate returns that failure; Wine swallows it (S_OK above) and
        // lets go of the object at once. Which table source Activate used is shown by
        // com_activation_wine_test, where the result of Activate can be seen.
        EXPECT_EQ(CallExport(LoadedTsfModule(), "DllCanUnloadNow"), S_OK)
            << "Wine kept the text service: the advise inside Activate succeeded";

        EXPECT_EQ(threadMgr->Deactivate(), S_OK);
    }
    SetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr);
    if (RunningUnderWow64()) {
        EXPECT_EQ(UnregisterProfileAsTheX64LibraryDoes(), S_OK);
    }
    CoUninitialize();
    EXPECT_EQ(RunRegsvr32(L"/u"), 0);
}

}  // namespace
