#include "install_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "settings_store.h"
#include "test_files.h"

// The functions read the real module name, registry and environment of the test process.
// A library in an install layout is a copy of this test program mapped without running it.
namespace {

namespace fs = std::filesystem;

fs::path ThisProgram() {
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

class MappedModule {
  public:
    explicit MappedModule(const fs::path& file) {
        fs::create_directories(file.parent_path());
        fs::copy_file(ThisProgram(), file, fs::copy_options::overwrite_existing);
        module = LoadLibraryExW(file.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    }
    ~MappedModule() {
        if (module) FreeLibrary(module);
    }
    MappedModule(const MappedModule&) = delete;
    MappedModule& operator=(const MappedModule&) = delete;
    HMODULE Handle() const { return module; }

  private:
    HMODULE module = nullptr;
};

class InstallPaths : public ::testing::Test {
  protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingNames::KeyPath);
        SetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr);
    }
    static void SetTablePathSetting(const std::wstring& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SettingNames::KeyPath, 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, SettingNames::TablePath, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    test_support::TempDir temp;
};

TEST_F(InstallPaths, VersionedLibraryFindsRootFiles) {
    MappedModule library(temp / "R" / "versions" / "V" / "x64" / "lib.dll");
    ASSERT_NE(library.Handle(), nullptr);
    EXPECT_EQ(UserPhrasePath(library.Handle()), temp / "R" / "Mo_Input_Ka_User.txt");
    EXPECT_EQ(ResolveTablePath(library.Handle()), temp / "R" / "ZiRevod-Ka.cin");

    temp.Write("R/versions/V/x64/ZiRevod-2017-Phrase.cin", "");
    EXPECT_EQ(ResolveTablePath(library.Handle()),
              temp / "R" / "versions" / "V" / "x64" / "ZiRevod-2017-Phrase.cin");
}

// The layout the install folder ships in: the table at R, the library in R\x64.
TEST_F(InstallPaths, LibraryInProcessorFolderFindsTheRootTable) {
    MappedModule library(temp / "R" / "x64" / "lib.dll");
    ASSERT_NE(library.Handle(), nullptr);
    temp.Write("R/ZiRevod-Ka.cin", "");
    EXPECT_EQ(ResolveTablePath(library.Handle()), temp / "R" / "ZiRevod-Ka.cin");
    EXPECT_EQ(UserPhrasePath(library.Handle()), temp / "R" / "Mo_Input_Ka_User.txt");
}

TEST_F(InstallPaths, SettingThenVariableOverrideTheLayout) {
    MappedModule library(temp / "R" / "x64" / "lib.dll");
    ASSERT_NE(library.Handle(), nullptr);
    temp.Write("R/x64/ZiRevod-Ka.cin", "");

    SetEnvironmentVariableW(InstallNames::TablePathVariable, L"E:\\from-variable.cin");
    SetTablePathSetting(L"D:\\missing\\from-setting.cin");
    EXPECT_EQ(ResolveTablePath(library.Handle()), fs::path(L"D:\\missing\\from-setting.cin"));

    SetTablePathSetting(L"");
    EXPECT_EQ(ResolveTablePath(library.Handle()), fs::path(L"E:\\from-variable.cin"));

    SetEnvironmentVariableW(InstallNames::TablePathVariable, L"");
    EXPECT_EQ(ResolveTablePath(library.Handle()), temp / "R" / "x64" / "ZiRevod-Ka.cin");
}

TEST_F(InstallPaths, VariableTooLongForItsBufferIsSkipped) {
    MappedModule library(temp / "R" / "lib.dll");
    ASSERT_NE(library.Handle(), nullptr);
    temp.Write("R/ZiRevod-Ka.cin", "");
    const std::wstring tooLong(32768, L'v');
    SetEnvironmentVariableW(InstallNames::TablePathVariable, tooLong.c_str());
    // The size needed with the terminator; Wine cuts long values short when storing them.
    if (GetEnvironmentVariableW(InstallNames::TablePathVariable, nullptr, 0) <= 32768) {
        GTEST_SKIP() << "the platform did not store a value of 32768 units";
    }
    EXPECT_EQ(ResolveTablePath(library.Handle()), temp / "R" / "ZiRevod-Ka.cin");
}

TEST_F(InstallPaths, ProgramModuleAndUnreadableModule) {
    EXPECT_EQ(UserPhrasePath(nullptr), ThisProgram().parent_path() / "Mo_Input_Ka_User.txt");

    // A handle that names no module: no path at all, never one relative to the current folder.
    HMODULE bogus = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x10));
    EXPECT_EQ(UserPhrasePath(bogus), fs::path());
    EXPECT_EQ(ResolveTablePath(bogus), fs::path());
    SetTablePathSetting(L"D:\\t.cin");
    EXPECT_EQ(ResolveTablePath(bogus), fs::path(L"D:\\t.cin"));
}

}  // namespace
