// A file rewritten with the same size within one second (an editor saving twice, the
// phrase editor fixing a typo) must still look changed to both change checks. Each file
// is stamped at a whole second, loaded, rewritten and stamped half a second later.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "guarded_file_read.h"
#include "test_files.h"

namespace {

using Strings = std::vector<std::string>;

constexpr std::uint64_t TicksPerSecond = 10'000'000;
// 2024-01-01 00:00:00 UTC in 100-ns ticks since 1601: a whole second.
constexpr std::uint64_t WholeSecond = 133'485'408'000'000'000;
static_assert(WholeSecond % TicksPerSecond == 0);

bool SetWriteTicks(const std::filesystem::path& file, std::uint64_t ticks) {
    HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(handle, nullptr, nullptr, &time) != 0;
    CloseHandle(handle);
    return set;
}

class FileChangeTicks : public testing::Test {
  protected:
    // Writes `bytes` and gives the file the write time `ticks`.
    std::filesystem::path WriteAt(const char* name, std::string_view bytes, std::uint64_t ticks) {
        std::filesystem::path file = dir.Write(name, bytes);
        EXPECT_TRUE(SetWriteTicks(file, ticks));
        return file;
    }

    test_support::TempDir dir;
    CinTable table;
};

TEST_F(FileChangeTicks, StampKeepsTheFileSystemsTicks) {
    const std::uint64_t ticks = WholeSecond + TicksPerSecond / 2 + 1;
    const auto file = WriteAt("f.txt", "12345", ticks);
    const auto stamp = QueryFileStamp(file);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->size, 5u);
    EXPECT_EQ(static_cast<std::uint64_t>(stamp->writeTime), ticks);
    EXPECT_FALSE(QueryFileStamp(dir.Path())) << "a folder has no file stamp";
}

TEST_F(FileChangeTicks, MainTableRewrittenWithinOneSecondIsReloaded) {
    const auto file = WriteAt("main.cin", "%chardef begin\nab old\n", WholeSecond);
    ASSERT_TRUE(table.Load(file));
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Unchanged);

    WriteAt("main.cin", "%chardef begin\nab new\n", WholeSecond + TicksPerSecond / 2);
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("ab"), Strings({"new"}));
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Unchanged);
}

TEST_F(FileChangeTicks, UserPhrasesRewrittenWithinOneSecondAreReloaded) {
    ASSERT_TRUE(table.Load(dir.Write("main.cin",
                                     "%keyname begin\na A\nb B\n%keyname end\n"
                                     "%chardef begin\nab main\n")));
    const auto user = WriteAt("user.txt", "ab typo\n", WholeSecond);
    ASSERT_TRUE(table.LoadUserPhrases(user));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);

    WriteAt("user.txt", "ab type\n", WholeSecond + TicksPerSecond / 2);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("ab"), Strings({"main", "type"}));
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Unchanged);
}

}  // namespace
