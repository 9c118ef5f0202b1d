// Starting the companion programs from real install layouts: stand-in programs copied
// into a temp folder record how they were started.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "install_file_names.h"
#include "launcher.h"
#include "test_files.h"
#include "unix_path.h"

namespace {

using std::filesystem::path;

struct StartRecord {
    std::wstring programPath;
    std::wstring commandLine;
};

std::optional<StartRecord> ReadStartRecord(const path& program) {
    std::ifstream in(path(program.native() + L".ran"), std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const auto newline = text.find(L'\n');
    if (newline == std::wstring::npos) return std::nullopt;
    return StartRecord{text.substr(0, newline), text.substr(newline + 1)};
}

// The started program runs on its own; wait for its record (or give up after a while).
std::optional<StartRecord> AwaitStartRecord(const path& program) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        if (auto record = ReadStartRecord(program)) return record;
        Sleep(50);
    }
    return std::nullopt;
}

// An install layout in a temp folder: a library file and stand-ins at given places.
class InstallLayout {
public:
    path Library(const path& relative) {
        const path library = (dir / relative).make_preferred();  // as GetModuleFileNameW gives it
        dir.Write(relative, "not loaded; only its location matters");
        return library;
    }
    path Program(const path& relativeFolder, const wchar_t* fileName) {
        const path program = (dir / relativeFolder / fileName).make_preferred();
        std::filesystem::create_directories(program.parent_path());
        std::filesystem::copy_file(WinePathOf(MOIK_COMPANION_STAND_IN), program);
        return program;
    }

private:
    test_support::TempDir dir;
};

TEST(LaunchCompanionProgram, StartsTheProgramWithItsQuotedPathAsTheWholeCommandLine) {
    const struct {
        const char* layout;
        const char* library;
        const char* programFolder;
        const wchar_t* program;
    } cases[] = {
        {"architecture folder: one folder up", "R/x64/Mo_Input_Ka_TSF.dll", "R", InstallNames::SettingsProgram},
        {"versioned layout under folders with blanks",
         "Program Files/Mo Input/versions/2.0 beta/x64/Mo_Input_Ka_TSF.dll", "Program Files/Mo Input",
         InstallNames::PhraseEditorProgram},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        InstallLayout layout;
        const path library = layout.Library(c.library);
        const path program = layout.Program(c.programFolder, c.program);

        ASSERT_TRUE(LaunchCompanionProgramFor(library, c.program));
        const auto record = AwaitStartRecord(program);
        ASSERT_TRUE(record) << "the program never ran";
        EXPECT_TRUE(std::filesystem::equivalent(path(record->programPath), program));
        EXPECT_EQ(record->commandLine, L"\"" + program.native() + L"\"");
    }
}

TEST(LaunchCompanionProgram, PrefersTheProgramBesideTheLibrary) {
    InstallLayout layout;
    const path library = layout.Library("R/x64/Mo_Input_Ka_TSF.dll");
    const path beside = layout.Program("R/x64", InstallNames::SettingsProgram);
    const path above = layout.Program("R", InstallNames::SettingsProgram);

    ASSERT_TRUE(LaunchCompanionProgramFor(library, InstallNames::SettingsProgram));
    ASSERT_TRUE(AwaitStartRecord(beside));
    EXPECT_FALSE(ReadStartRecord(above));
}

TEST(LaunchCompanionProgram, StartsNothingWhenNoCandidateExists) {
    const struct {
        const char* layout;
        const char* library;
        const char* programFolder;
    } cases[] = {
        {"Versions with a capital V is not the versioned layout", "R/Versions/2.0/x64/Mo_Input_Ka_TSF.dll", "R"},
        {"programs two folders up without a versions folder", "R/other/2.0/x64/Mo_Input_Ka_TSF.dll", "R"},
        {"nothing installed", "R/x64/Mo_Input_Ka_TSF.dll", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        InstallLayout layout;
        const path library = layout.Library(c.library);
        if (c.programFolder) layout.Program(c.programFolder, InstallNames::SettingsProgram);
        EXPECT_FALSE(LaunchCompanionProgramFor(library, InstallNames::SettingsProgram));
    }
}

TEST(LaunchCompanionProgram, ReportsFalseWhenTheCandidateCannotBeStarted) {
    InstallLayout layout;
    const path library = layout.Library("R/x64/Mo_Input_Ka_TSF.dll");
    // A folder of the program's name exists but is no program.
    std::filesystem::create_directories(library.parent_path() / InstallNames::SettingsProgram);
    EXPECT_FALSE(LaunchCompanionProgramFor(library, InstallNames::SettingsProgram));
}

}  // namespace
