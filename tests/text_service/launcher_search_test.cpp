// Which candidate the companion-program search picks, as a rule over a set of paths
// that exist; and the existence test and command line it relies on.
#include <gtest/gtest.h>

#include <set>

#include "install_path_rules.h"
#include "launcher.h"
#include "test_files.h"

namespace {

using std::filesystem::path;

TEST(CompanionSearch, PicksTheFirstExistingCandidateOfTheLayout) {
    const struct {
        const char* layout;
        const wchar_t* library;
        std::set<path> existing;
        const wchar_t* expected;  // null: not found
    } cases[] = {
        {"beside the library", L"C:\\R\\x64\\Mo_Input_Ka_TSF.dll", {L"C:\\R\\x64\\mo_input_ka_settings.exe"},
         L"C:\\R\\x64\\mo_input_ka_settings.exe"},
        {"architecture folder", L"C:\\R\\x64\\Mo_Input_Ka_TSF.dll", {L"C:\\R\\mo_input_ka_settings.exe"},
         L"C:\\R\\mo_input_ka_settings.exe"},
        {"beside wins over above", L"C:\\R\\x64\\Mo_Input_Ka_TSF.dll",
         {L"C:\\R\\mo_input_ka_settings.exe", L"C:\\R\\x64\\mo_input_ka_settings.exe"},
         L"C:\\R\\x64\\mo_input_ka_settings.exe"},
        {"versioned layout", L"C:\\R\\versions\\1.2\\x64\\Mo_Input_Ka_TSF.dll", {L"C:\\R\\mo_input_ka_settings.exe"},
         L"C:\\R\\mo_input_ka_settings.exe"},
        {"versioned layout, forward slashes", L"C:/R/versions/1.2/x86/Mo_Input_Ka_TSF.dll",
         {L"C:/R/mo_input_ka_settings.exe"}, L"C:/R/mo_input_ka_settings.exe"},
        {"versioned layout prefers the version folder", L"C:\\R\\versions\\1.2\\x64\\Mo_Input_Ka_TSF.dll",
         {L"C:\\R\\mo_input_ka_settings.exe", L"C:\\R\\versions\\1.2\\mo_input_ka_settings.exe"},
         L"C:\\R\\versions\\1.2\\mo_input_ka_settings.exe"},
        {"capital V is not the versioned layout", L"C:\\R\\Versions\\1.2\\x64\\Mo_Input_Ka_TSF.dll",
         {L"C:\\R\\mo_input_ka_settings.exe"}, nullptr},
        {"versions must be two levels above the library's folder", L"C:\\R\\versions\\x64\\Mo_Input_Ka_TSF.dll",
         {L"C:\\mo_input_ka_settings.exe"}, nullptr},
        {"nothing installed", L"C:\\R\\x64\\Mo_Input_Ka_TSF.dll", {}, nullptr},
        {"library at a drive root", L"C:\\Mo_Input_Ka_TSF.dll", {L"C:\\mo_input_ka_settings.exe"},
         L"C:\\mo_input_ka_settings.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        std::vector<path> asked;
        const auto found = FindCompanionProgram(path(c.library), L"mo_input_ka_settings.exe", [&](const path& p) {
            asked.push_back(p);
            return c.existing.count(p) > 0;
        });
        if (c.expected) {
            ASSERT_TRUE(found);
            EXPECT_EQ(*found, path(c.expected)) << found->native();
        } else {
            EXPECT_FALSE(found) << found->native();
        }
        EXPECT_LE(asked.size(), 3u);
    }
}

TEST(CompanionSearch, AsksForTheCandidatesInOrderAndNoOthers) {
    std::vector<std::wstring> asked;
    FindCompanionProgram(path(L"C:\\R\\versions\\V\\x64\\Mo_Input_Ka_TSF.dll"), L"mo_input_ka_words.exe",
                         [&](const path& p) {
                             asked.push_back(p.native());
                             return false;
                         });
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\R\\versions\\V\\x64\\mo_input_ka_words.exe",
                                                L"C:\\R\\versions\\V\\mo_input_ka_words.exe",
                                                L"C:\\R\\mo_input_ka_words.exe"}));
}

TEST(CompanionSearch, CommandLineIsTheQuotedPathAlone) {
    EXPECT_EQ(CompanionCommandLine(path(L"C:\\Program Files\\Mo Input\\mo_input_ka_words.exe")),
              L"\"C:\\Program Files\\Mo Input\\mo_input_ka_words.exe\"");
}

TEST(CompanionSearch, WithTheRealFileSystemAFolderCountsAndAnUndecidableCandidateIsSkipped) {
    test_support::TempDir dir;
    // The library's folder is really a file, so asking about anything inside it fails
    // with an error rather than "not found"; the search must go on to the folder above.
    const path notAFolder = dir.Write("R/x64", "a file where a folder belongs");
    const path above = dir.Write("R/mo_input_ka_settings.exe", "MZ");
    const auto found = FindCompanionProgram(notAFolder / "Mo_Input_Ka_TSF.dll", L"mo_input_ka_settings.exe", FileExists);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, above);

    // A name no file system accepts, and one far beyond any length limit: absent.
    for (const path& library : {dir / "a<b>|" / "x64" / "Mo_Input_Ka_TSF.dll",
                               dir / std::wstring(40000, L'x') / "x64" / "Mo_Input_Ka_TSF.dll"}) {
        EXPECT_FALSE(FindCompanionProgram(library, L"mo_input_ka_settings.exe", FileExists));
    }

    // Any entry of the name counts, a folder too.
    std::filesystem::create_directories(dir / "S" / "x64" / "mo_input_ka_words.exe");
    EXPECT_TRUE(FindCompanionProgram(dir / "S" / "x64" / "Mo_Input_Ka_TSF.dll", L"mo_input_ka_words.exe", FileExists));
}

}  // namespace
