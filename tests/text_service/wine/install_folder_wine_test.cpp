// The install folder as a user gets it: copied into place, registered with regsvr32,
// created through the registry and activated with no TablePath setting and no table
// variable, so the library must find the table the folder keeps at its root.
//
// The folder is the one MOIK_INSTALL_FOLDER names (a Unix path): under ctest, this build
// tree installed stripped as scripts/build.sh installs the release trees; by hand, also
// dist/Mo_Input_Ka itself. Without the variable it is assembled from the built library
// and the sample table as the install rules lay them out: R\ZiRevod-Ka.cin and
// R\x64\Mo_Input_Ka_TSF.dll (R\x86 for the x86 library). The x64 build installs the
// table, so a folder from the x86 build tree gets the sample table as the x64 one would
// put it there.
#include <gtest/gtest.h>
#include <msctf.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cin_table.h"
#include "com_ptr.h"
#include "identifiers.h"
#include "install_file_names.h"
#include "install_path_rules.h"
#include "running_under_wine.h"
#include "settings_names.h"
#include "test_files.h"
#include "tsf_declarations.h"
#include "tsf_library.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t LibraryName[] = L"Mo_Input_Ka_TSF.dll";

// The folder of this build's library in the install folder.
const wchar_t* const ArchitectureFolder =
    sizeof(void*) == 8 ? InstallNames::X64Folder : InstallNames::X86Folder;

// Lays out the install folder at `root` with the library in R\x64 or R\x86.
void PlaceInstallFolder(const fs::path& root) {
    if (const char* built = std::getenv("MOIK_INSTALL_FOLDER"); built && *built) {
        fs::copy(WinePathOf(built), root, fs::copy_options::recursive);
    } else {
        fs::create_directories(root / ArchitectureFolder);
        fs::copy_file(TsfLibraryPath(), root / ArchitectureFolder / LibraryName);
    }
    if (!fs::exists(root / InstallNames::MainTable)) {
        fs::copy_file(test_support::SourcePath("data/ZiRevod-Ka.cin"),
                      root / InstallNames::MainTable);
    }
}

fs::path LoadedModulePath(const fs::path& library) {
    const HMODULE module = GetModuleHandleW(library.c_str());
    if (module == nullptr) return {};
    wchar_t name[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? fs::path() : fs::path(name);
}

class InstallFolder : public ::testing::TestWithParam<const wchar_t*> {
  protected:
    void SetUp() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingNames::KeyPath, SettingNames::TablePath);
        ASSERT_TRUE(SetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr) ||
                    GetLastError() == ERROR_ENVVAR_NOT_FOUND);
        ASSERT_EQ(GetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr, 0), 0u);

        ASSERT_NO_FATAL_FAILURE(PlaceInstallFolder(root));
        const fs::path libraryFolder = root / GetParam() / ArchitectureFolder;
        if (libraryFolder != root / ArchitectureFolder) {
            fs::create_directories(libraryFolder.parent_path());
            fs::rename(root / ArchitectureFolder, libraryFolder);
        }
        library = libraryFolder / LibraryName;
        ASSERT_TRUE(fs::exists(library));
        ASSERT_TRUE(fs::exists(root / InstallNames::MainTable));

        ASSERT_EQ(RunRegsvr32(L"", library), 0);
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITfThreadMgr, threadMgr.PutVoid()),
                  S_OK);
        ASSERT_EQ(threadMgr->Activate(&clientId), S_OK);
    }
    void TearDown() override {
        if (threadMgr) {
            EXPECT_EQ(threadMgr->Deactivate(), S_OK);
        }
        threadMgr.Reset();
        CoUninitialize();
        EXPECT_EQ(RunRegsvr32(L"/u", library), 0);
    }

    // Creates the service through the registry and activates it by hand. Wine's keystroke
    // manager refuses the key sink's advise (E_INVALIDARG), which Activate reaches only
    // once the table has loaded; a table that does not load ends it with E_FAIL first.
    HRESULT CreateAndActivate() {
        ComPtr<ITfTextInputProcessorEx> processor;
        HRESULT hr = CoCreateInstance(CLSID_TextService, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ITfTextInputProcessorEx, processor.PutVoid());
        EXPECT_EQ(hr, S_OK);
        if (FAILED(hr)) return hr;
        EXPECT_EQ(LoadedModulePath(library), library) << "COM loaded another copy";
        hr = processor->Activate(threadMgr.Get(), clientId);
        EXPECT_EQ(processor->Deactivate(), S_OK);
        return hr;
    }

    test_support::TempDir temp;
    const fs::path root = temp / "Mo_Input_Ka";
    fs::path library;
    ComPtr<ITfThreadMgr> threadMgr;
    TfClientId clientId = 0;
};

TEST_P(InstallFolder, ActivatesWithTheTableAtTheInstallRoot) {
    const HRESULT tableLoaded = RunningUnderWine() ? E_INVALIDARG : S_OK;
    EXPECT_EQ(CreateAndActivate(), tableLoaded);

    // The table the library found is the root's, and a code of the sample table gives
    // its value from it.
    const fs::path table = root / InstallNames::MainTable;
    EXPECT_EQ(ChooseTablePath(L"", L"", LoadedModulePath(library), FileExists), table);
    CinTable loaded;
    ASSERT_TRUE(loaded.Load(table));
    EXPECT_EQ(loaded.Lookup("aa"), std::vector<std::string>{"出"});

    // Without that file nothing else stands in for it.
    fs::rename(table, root / "put-aside.cin");
    EXPECT_EQ(CreateAndActivate(), E_FAIL);
    fs::rename(root / "put-aside.cin", table);
    EXPECT_EQ(CreateAndActivate(), tableLoaded);
}

// Where the architecture folder stands: at the root, or under a version folder.
INSTANTIATE_TEST_SUITE_P(Layouts, InstallFolder, ::testing::Values(L"", L"versions\\2.0"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& layout) {
                             return layout.index == 0
                                        ? std::string("LibraryInItsArchitectureFolder")
                                        : std::string("LibraryInAVersionFolder");
                         });

}  // namespace
