// The built library registered and unregistered by Wine's regsvr32 and through its own
// exports; what Wine's registry and TSF recorded is read back. The x64 library registers
// its COM class, the language profile and the categories; the x86 library under WOW64
// registers and removes its COM class alone, and leaves TSF to the x64 one.
#include <gtest/gtest.h>
#include <msctf.h>
#include <windows.h>

#include <thread>

#include "identifiers.h"
#include "registry_probe.h"
#include "running_under_wow64.h"
#include "test_files.h"
#include "tsf_declarations.h"
#include "tsf_library.h"
#include "x64_profile_registration.h"

namespace {

using registry_probe::GuidText;
using registry_probe::MachineKeyExists;
using registry_probe::ReadMachineValue;

const std::wstring ClassKey = L"Software\\Classes\\CLSID\\" + GuidText(CLSID_TextService);
const std::wstring TipKey = registry_probe::TipKeyPath(CLSID_TextService);

const GUID* const Categories[] = {&GUID_TFCAT_TIP_KEYBOARD, &GUID_TFCAT_DISPLAYATTRIBUTEPROVIDER,
                                  &GUID_TFCAT_TIPCAP_IMMERSIVESUPPORT,
                                  &GUID_TFCAT_TIPCAP_SYSTRAYSUPPORT};

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void ExpectNothingRegistered() {
    EXPECT_FALSE(MachineKeyExists(ClassKey)) << "COM class left behind";
    EXPECT_FALSE(MachineKeyExists(TipKey)) << "TSF still lists the input processor";
}

void ExpectTheComClass() {
    const auto name = ReadMachineValue(ClassKey, nullptr);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(name->Text(), L"悠然輸入法-啟明星");
    const auto server = ReadMachineValue(ClassKey + L"\\InprocServer32", nullptr);
    ASSERT_TRUE(server);
    EXPECT_TRUE(SamePath(server->Text(), TsfLibraryPath().native())) << server->Text();
    EXPECT_EQ(server->bytes.size(), 2 * (server->Text().size() + 1));
    const auto threading = ReadMachineValue(ClassKey + L"\\InprocServer32", L"ThreadingModel");
    ASSERT_TRUE(threading);
    EXPECT_EQ(threading->Text(), L"Apartment");
}

const std::wstring ProfileKey =
    TipKey + L"\\LanguageProfile\\0x00000404\\" + GuidText(GUID_TextServiceProfile);

void ExpectTheProfileAndTheCategories() {
    const auto description = ReadMachineValue(ProfileKey, L"Description");
    ASSERT_TRUE(description) << "no language profile for 0x0404";
    EXPECT_EQ(description->Text(), L"悠然輸入法-啟明星 (Mo_Input_Ka)");
    for (const GUID* category : Categories) {
        SCOPED_TRACE(GuidText(*category).c_str());
        EXPECT_TRUE(MachineKeyExists(TipKey + L"\\Category\\Category\\" + GuidText(*category) +
                                     L"\\" + GuidText(CLSID_TextService)));
        EXPECT_TRUE(MachineKeyExists(TipKey + L"\\Category\\Item\\" + GuidText(CLSID_TextService) +
                                     L"\\" + GuidText(*category)));
    }
}

// What one registration leaves behind, by the library's architecture.
void ExpectOneRegistration() {
    ExpectTheComClass();
    if (RunningUnderWow64()) {
        EXPECT_FALSE(MachineKeyExists(TipKey)) << "the x86 library made a TSF registration";
    } else {
        ExpectTheProfileAndTheCategories();
    }
}

TEST(Regsvr32, RegistersTheComClassAndOnlyOnX64TheProfileAndTheCategories) {
    ASSERT_EQ(RunRegsvr32(L""), 0);
    ExpectOneRegistration();
    EXPECT_EQ(RunRegsvr32(L"/u"), 0);
    ExpectNothingRegistered();
}

TEST(Regsvr32, RegisteringTwiceKeepsOneRegistration) {
    ASSERT_EQ(RunRegsvr32(L""), 0);
    ASSERT_EQ(RunRegsvr32(L""), 0);
    ExpectOneRegistration();
    EXPECT_EQ(RunRegsvr32(L"/u"), 0);
    ExpectNothingRegistered();
}

// The x64 library's profile stays when the x86 library is removed under WOW64.
TEST(Regsvr32, UnderWow64UnregisteringRemovesTheComClassAlone) {
    if (!RunningUnderWow64()) GTEST_SKIP() << "an x86 program under WOW64 only";
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    ASSERT_EQ(RegisterProfileAsTheX64LibraryDoes(), S_OK);
    ASSERT_TRUE(MachineKeyExists(ProfileKey));
    ASSERT_EQ(RunRegsvr32(L""), 0);

    EXPECT_EQ(RunRegsvr32(L"/u"), 0);
    EXPECT_FALSE(MachineKeyExists(ClassKey));
    EXPECT_TRUE(MachineKeyExists(ProfileKey)) << "the x86 library removed the x64 one's profile";

    EXPECT_EQ(UnregisterProfileAsTheX64LibraryDoes(), S_OK);
    CoUninitialize();
}

TEST(UnregisterExport, AnswersSuccessWhenNothingIsLeftToRemove) {
    ASSERT_EQ(RunRegsvr32(L""), 0);
    LoadedTsfLibrary library;
    ASSERT_TRUE(library);
    EXPECT_EQ(library.Call("DllUnregisterServer"), S_OK);
    ExpectNothingRegistered();
    EXPECT_EQ(library.Call("DllUnregisterServer"), S_OK);
}

TEST(RegisterExport, AFailingTsfStepUndoesTheWholeRegistration) {
    // Wine's TSF objects, 32-bit and 64-bit alike, are apartment-bound and cannot be created
    // from a multithreaded apartment, so registration on such a thread fails at its first
    // TSF step. The x86 library under WOW64 makes no TSF step: there the same registration
    // writes its COM class and succeeds.
    LoadedTsfLibrary library;
    ASSERT_TRUE(library);
    std::thread([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        if (RunningUnderWow64()) {
            EXPECT_EQ(library.Call("DllRegisterServer"), S_OK);
            ExpectOneRegistration();
            EXPECT_EQ(library.Call("DllUnregisterServer"), S_OK);
        } else {
            EXPECT_EQ(library.Call("DllRegisterServer"), E_NOINTERFACE);
        }
        CoUninitialize();
    }).join();
    ExpectNothingRegistered();
}

TEST(RegisterExport, RefusesALibraryPathTooLongToBeRecordedWhole) {
    // A path beyond the 260 units GetModuleFileNameW is given comes back cut off;
    // registering that would point COM at a file that does not exist.
    test_support::TempDir temp;
    std::filesystem::path folder = temp.Path();
    for (int level = 0; level < 4; ++level)
        folder /= std::wstring(70, static_cast<wchar_t>(L'a' + level));
    std::filesystem::create_directories(folder);
    const std::filesystem::path copy = folder / L"Mo_Input_Ka_TSF.dll";
    std::filesystem::copy_file(TsfLibraryPath(), copy);
    ASSERT_GT(copy.native().size(), static_cast<std::size_t>(MAX_PATH));

    {
        LoadedTsfLibrary library(copy);
        ASSERT_TRUE(library) << "Wine could not load the library from a long path";
        EXPECT_EQ(library.Call("DllRegisterServer"), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    }
    EXPECT_FALSE(ReadMachineValue(ClassKey + L"\\InprocServer32", nullptr))
        << "a cut-off path was registered";
    EXPECT_FALSE(MachineKeyExists(ClassKey)) << "a class naming no library was left behind";
    EXPECT_FALSE(MachineKeyExists(TipKey)) << "TSF registration went on";
}

}  // namespace
