// The phrase editor may hold the user-phrase file open for writing while the text service
// reads it, and an editor may hold the table open: both loads must still succeed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "cin_table.h"
#include "test_files.h"

namespace {

// Another process's handle: write access, sharing everything.
class WriterHandle {
  public:
    explicit WriterHandle(const std::filesystem::path& file)
        : handle(CreateFileW(file.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~WriterHandle() {
        if (IsOpen()) CloseHandle(handle);
    }
    WriterHandle(const WriterHandle&) = delete;
    WriterHandle& operator=(const WriterHandle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    bool Append(std::string_view bytes) {
        DWORD written = 0;
        return SetFilePointer(handle, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
               WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }

  private:
    HANDLE handle;
};

}  // namespace

TEST(TableFileSharing, LoadsWhileAnotherHandleHoldsTheFilesOpenForWriting) {
    test_support::TempDir dir;
    auto tableFile = dir.Write("table.cin",
                               "%keyname begin\na A\n%keyname end\n"
                               "%chardef begin\na one\n");
    auto userFile = dir.Write("user.txt", "a mine\r\n");
    WriterHandle tableWriter(tableFile);
    WriterHandle userWriter(userFile);
    ASSERT_TRUE(tableWriter.IsOpen());
    ASSERT_TRUE(userWriter.IsOpen());

    // Share modes are enforced: a reader that would deny the writer cannot open the file.
    HANDLE denying = CreateFileW(tableFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(denying, INVALID_HANDLE_VALUE);
    if (denying != INVALID_HANDLE_VALUE) CloseHandle(denying);

    CinTable table;
    ASSERT_TRUE(table.Load(tableFile));
    ASSERT_TRUE(table.LoadUserPhrases(userFile));
    EXPECT_EQ(table.Lookup("a"), (std::vector<std::string>{"one", "mine"}));

    // The writers append; the next checks read the files again through their handles.
    ASSERT_TRUE(tableWriter.Append("a two\n"));
    ASSERT_TRUE(userWriter.Append("a more\r\n"));
    EXPECT_EQ(table.ReloadIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.ReloadUserPhrasesIfChanged(), ReloadResult::Reloaded);
    EXPECT_EQ(table.Lookup("a"), (std::vector<std::string>{"one", "two", "mine", "more"}));
}
