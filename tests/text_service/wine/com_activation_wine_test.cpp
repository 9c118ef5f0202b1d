// After registration, COM finds the library through InprocServer32, loads it into this
// process and hands back a working text input processor; the library then answers
// that it may be unloaded once everything is released.
#include <gtest/gtest.h>

#include <windows.h>
#include <msctf.h>

#include "com_ptr.h"
#include "identifiers.h"
#include "install_file_names.h"
#include "running_under_wine.h"
#include "settings_names.h"
#include "test_files.h"
#include "tsf_declarations.h"
#include "tsf_library.h"

namespace {

class RegisteredLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunRegsvr32(L""), 0);
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        EXPECT_EQ(RunRegsvr32(L"/u"), 0);
    }

    static HRESULT CreateProcessor(ComPtr<ITfTextInputProcessorEx>& processor) {
        return CoCreateInstance(CLSID_TextService, nullptr, CLSCTX_INPROC_SERVER, IID_ITfTextInputProcessorEx,
                                processor.PutVoid());
    }
};

TEST_F(RegisteredLibrary, CoCreateInstanceLoadsItAndHandsBackTheProcessor) {
    ASSERT_EQ(LoadedTsfModule(), nullptr) << "loaded before COM was asked";

    ComPtr<ITfTextInputProcessorEx> processor;
    ASSERT_EQ(CreateProcessor(processor), S_OK);
    ASSERT_TRUE(processor);

    const HMODULE module = LoadedTsfModule();
    ASSERT_NE(module, nullptr);
    wchar_t loadedFrom[MAX_PATH] = {};
    GetModuleFileNameW(module, loadedFrom, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(loadedFrom, -1, TsfLibraryPath().c_str(), -1, TRUE), CSTR_EQUAL) << loadedFrom;

    // The same object answers as every interface TSF asks for.
    ComPtr<ITfTextInputProcessor> plain;
    ASSERT_EQ(processor.As(IID_ITfTextInputProcessor, plain), S_OK);
    EXPECT_EQ(static_cast<void*>(plain.Get()), static_cast<void*>(processor.Get()));
    ComPtr<ITfKeyEventSink> keySink;
    EXPECT_EQ(processor.As(IID_ITfKeyEventSink, keySink), S_OK);
    ComPtr<ITfDisplayAttributeProvider> attributes;
    EXPECT_EQ(processor.As(IID_ITfDisplayAttributeProvider, attributes), S_OK);

    EXPECT_EQ(processor->Activate(nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(processor->Deactivate(), S_OK);

    EXPECT_EQ(CallExport(module, "DllCanUnloadNow"), S_FALSE);
    keySink.Reset();
    attributes.Reset();
    plain.Reset();
    EXPECT_EQ(CallExport(module, "DllCanUnloadNow"), S_FALSE) << "one reference is still held";
    processor.Reset();
    EXPECT_EQ(CallExport(module, "DllCanUnloadNow"), S_OK);
}

void SetTablePathSetting(const std::wstring& value) {
    if (value.empty()) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::TablePath);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::TablePath, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Activated by hand with Wine's own thread manager. Whether the table loads shows in
// the result: a table that cannot be loaded ends activation with E_FAIL before the key
// sink is advised; a loaded one goes on to the advise, which Wine's keystroke manager
// refuses with E_INVALIDARG (Windows accepts it).
TEST_F(RegisteredLibrary, ActivationLoadsTheTableFromTheSettingBeforeTheVariable) {
    const std::wstring table = test_support::SourcePath("data/ZiRevod-Ka.cin").native();
    test_support::TempDir temp;
    const std::wstring missing = (temp / "no-such-table.cin").native();
    const HRESULT tableLoaded = RunningUnderWine() ? E_INVALIDARG : S_OK;

    ComPtr<ITfThreadMgr> threadMgr;
    ASSERT_EQ(CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                               threadMgr.PutVoid()),
              S_OK);
    TfClientId clientId = 0;
    ASSERT_EQ(threadMgr->Activate(&clientId), S_OK);

    const struct {
        const char* source;
        std::wstring setting;
        std::wstring variable;
        HRESULT expected;
    } cases[] = {
        {"setting names the table", table, L"", tableLoaded},
        {"setting names a missing file", missing, L"", E_FAIL},
        {"variable names the table", L"", table, tableLoaded},
        {"variable names a missing file", L"", missing, E_FAIL},
        {"the setting wins over the variable", missing, table, E_FAIL},
        {"the setting wins, the variable is not needed", table, missing, tableLoaded},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        SetTablePathSetting(c.setting);
        SetEnvironmentVariableW(InstallNames::TablePathVariable, c.variable.empty() ? nullptr : c.variable.c_str());

        ComPtr<ITfTextInputProcessorEx> processor;
        ASSERT_EQ(CreateProcessor(processor), S_OK);
        EXPECT_EQ(processor->Activate(threadMgr.Get(), clientId), c.expected);
        EXPECT_EQ(processor->Deactivate(), S_OK);
        processor.Reset();
        EXPECT_EQ(CallExport(LoadedTsfModule(), "DllCanUnloadNow"), S_OK);
    }

    SetTablePathSetting(L"");
    SetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr);
    EXPECT_EQ(threadMgr->Deactivate(), S_OK);
}

}  // namespace
