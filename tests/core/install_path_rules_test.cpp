#include "install_path_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

namespace fs = std::filesystem;

// Install layouts built for real in a temp folder R: where the module ("lib.dll") stands,
// relative to R, and the install root the rules must find for it.
struct Layout {
    const char* moduleFolder;
    const char* rootFolder;
};
constexpr Layout Layouts[] = {
    {".", "."},
    {"x64", "."},
    {"x86", "."},
    {"versions/V", "."},
    {"versions/V/x64", "."},
    {"versions/V/x86", "."},
    {"x64/versions/V", "x64"},  // the processor folder above a versioned install stays
    {"X64", "X64"},             // names compare with their case
    {"Versions/V", "Versions/V"},
    {"x64/x64", "x64"},  // only the module's own folder is skipped
    {"versions/V/deeper", "versions/V/deeper"},
};

TEST(UserPhrasePathRules, SkipsOneProcessorFolderThenOneVersionedInstall) {
    test_support::TempDir temp;
    const fs::path root = temp / "R";
    for (const Layout& c : Layouts) {
        fs::path module = temp.Write(fs::path("R") / c.moduleFolder / "lib.dll", "");
        fs::path expected = (root / c.rootFolder / "Mo_Input_Ka_User.txt").lexically_normal();
        EXPECT_EQ(UserPhrasePathFor(module).lexically_normal(), expected) << c.moduleFolder;
    }
}

TEST(UserPhrasePathRules, PhraseEditorInRootAgreesWithVersionedLibrary) {
    test_support::TempDir temp;
    fs::path editor = temp.Write("R/mo_input_ka_words.exe", "");
    fs::path library = temp.Write("R/versions/2.0/x86/lib.dll", "");
    EXPECT_EQ(UserPhrasePathFor(editor), UserPhrasePathFor(library));
    EXPECT_EQ(UserPhrasePathFor(fs::path()), fs::path());
}

TEST(TablePathRules, OverridesComeFirstAndAreNotTestedForExistence) {
    test_support::TempDir temp;
    fs::path module = temp.Write("R/lib.dll", "");
    temp.Write("R/ZiRevod-Ka.cin", "%gen_inp\n");
    const fs::path missing = temp / "nowhere" / "table.cin";
    std::vector<fs::path> asked;
    auto exists = [&](const fs::path& p) {
        asked.push_back(p);
        return FileExists(p);
    };

    EXPECT_EQ(ChooseTablePath(missing.wstring(), L"D:\\other.cin", module, exists), missing);
    EXPECT_EQ(ChooseTablePath(L"", missing.wstring(), module, exists), missing);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ChooseTablePath(L"", L"", module, exists), temp / "R" / "ZiRevod-Ka.cin");
}

// With nothing beside the library, the table is the install root's, found as the
// user-phrase file's folder is, and returned whether or not it exists.
TEST(TablePathRules, WithNothingBesideTheLibraryTheInstallRootsTable) {
    test_support::TempDir temp;
    const fs::path root = temp / "R";
    for (const Layout& c : Layouts) {
        fs::path module = temp.Write(fs::path("R") / c.moduleFolder / "lib.dll", "");
        fs::path expected = (root / c.rootFolder / "ZiRevod-Ka.cin").lexically_normal();
        ASSERT_FALSE(fs::exists(expected));
        EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists).lexically_normal(), expected)
            << c.moduleFolder;
        EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists).parent_path(),
                  UserPhrasePathFor(module).parent_path())
            << c.moduleFolder;
    }
}

TEST(TablePathRules, FilesBesideTheLibraryComeBeforeTheInstallRoot) {
    test_support::TempDir temp;
    fs::path module = temp.Write("R/x64/lib.dll", "");
    const fs::path folder = module.parent_path();
    temp.Write("R/ZiRevod-Ka.cin", "");

    EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists), temp / "R" / "ZiRevod-Ka.cin");
    temp.Write("R/x64/ZiRevod-2017-Phrase.cin", "");
    EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists), folder / "ZiRevod-2017-Phrase.cin");
    temp.Write("R/x64/ZiRevod-Ka.cin", "");
    EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists), folder / "ZiRevod-Ka.cin");
}

TEST(TablePathRules, ALibraryAtADriveRootStaysThere) {
    test_support::TempDir temp;
    const fs::path root = temp.Path().root_path();
    auto absent = [](const fs::path&) { return false; };
    EXPECT_EQ(ChooseTablePath(L"", L"", root / "lib.dll", absent), root / "ZiRevod-Ka.cin");
    EXPECT_EQ(ChooseTablePath(L"", L"", root / "x64" / "lib.dll", absent), root / "ZiRevod-Ka.cin");
}

TEST(TablePathRules, UnreadableModuleNameGivesNoPathInsteadOfARelativeOne) {
    bool asked = false;
    auto exists = [&](const fs::path&) { return asked = true; };
    EXPECT_EQ(ChooseTablePath(L"", L"", fs::path(), exists), fs::path());
    EXPECT_FALSE(asked);
    EXPECT_EQ(ChooseTablePath(L"", L"E:\\t.cin", fs::path(), exists), fs::path(L"E:\\t.cin"));
}

TEST(TablePathRules, EnvironmentValueMustFitItsBuffer) {
    EXPECT_FALSE(EnvironmentLengthUsable(0));
    EXPECT_TRUE(EnvironmentLengthUsable(1));
    EXPECT_TRUE(EnvironmentLengthUsable(32767));
    EXPECT_FALSE(EnvironmentLengthUsable(32768));
    EXPECT_FALSE(EnvironmentLengthUsable(70000));
}

// An existence test that cannot answer must not throw into the text service; it answers
// "absent" so the search goes on to the next rule.
TEST(TablePathRules, UndeterminableExistenceCountsAsAbsent) {
    test_support::TempDir temp;
    fs::path file = temp.Write("present.cin", "");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(temp / "absent.cin"));
    EXPECT_FALSE(FileExists(file / "below-a-file.cin"));
    const fs::path overLong = temp / std::string(400, 'n') / "ZiRevod-Ka.cin";
    EXPECT_FALSE(FileExists(overLong));

    fs::path module = temp / std::string(400, 'n') / "lib.dll";
    EXPECT_EQ(ChooseTablePath(L"", L"", module, FileExists),
              module.parent_path() / "ZiRevod-Ka.cin");
}

// The system would read such a name only up to the NUL, which names another file.
TEST(TablePathRules, ANameHoldingANulNamesNoFile) {
    test_support::TempDir temp;
    fs::path file = temp.Write("present.cin", "");
    fs::path::string_type withNul = file.native();
    withNul.push_back(fs::path::value_type{});
    withNul += fs::path("x").native();
    EXPECT_FALSE(FileExists(fs::path(withNul)));
    EXPECT_FALSE(FileExists(fs::path(withNul.substr(0, file.native().size() + 1))));
}

}  // namespace
