// The file handed to a text editor is created when absent and never touched when present.
#include "plain_text_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

#include "test_files.h"

namespace {

using std::filesystem::path;

std::string Bytes(const path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

FILETIME WriteTime(const path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

TEST(PlainTextFile, AMissingFileIsCreatedEmpty) {
    test_support::TempDir dir;
    const path file = dir / "Mo_Input_Ka_User.txt";
    EXPECT_TRUE(EnsureUserPhraseFile(file));
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(PlainTextFile, AnExistingFileKeepsEveryByteAndItsWriteTime) {
    test_support::TempDir dir;
    const std::string phrases = "a x\r\nab \xE5\xB1\xB1\r\nopen line";
    const path file = dir.Write("Mo_Input_Ka_User.txt", phrases);
    const FILETIME before = WriteTime(file);
    Sleep(20);
    EXPECT_TRUE(EnsureUserPhraseFile(file));
    EXPECT_EQ(Bytes(file), phrases);
    const FILETIME after = WriteTime(file);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST(PlainTextFile, AFolderThatDoesNotExistFails) {
    test_support::TempDir dir;
    EXPECT_FALSE(EnsureUserPhraseFile(dir / "missing" / "Mo_Input_Ka_User.txt"));
}

}  // namespace
