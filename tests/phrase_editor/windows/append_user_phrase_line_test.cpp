// The writer on real files: what each file ends up holding, and that a failure at any
// point of the write leaves the file exactly as it was.
#include "append_user_phrase_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "test_files.h"

namespace {

using std::filesystem::path;

std::string Bytes(const path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(AppendUserPhraseLine, AppendsTheLineAfterWhatTheFileHolds) {
    struct Case {
        const char* name;
        std::string before;  // "-" for no file
        std::string after;
    };
    const Case cases[] = {
        {"missing file", "-", "ab \xE5\xB1\xB1\r\n"},
        {"empty file", "", "ab \xE5\xB1\xB1\r\n"},
        {"ends in CR LF", "a x\r\n", "a x\r\nab \xE5\xB1\xB1\r\n"},
        {"ends in LF", "a x\n", "a x\nab \xE5\xB1\xB1\r\n"},
        {"ends in CR", "a x\r", "a x\rab \xE5\xB1\xB1\r\n"},
        {"open last line", "a x", "a x\r\nab \xE5\xB1\xB1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        const path file = dir / "Mo_Input_Ka_User.txt";
        if (c.before != "-") dir.Write("Mo_Input_Ka_User.txt", c.before);
        EXPECT_TRUE(AppendUserPhraseLine(file, "ab", "\xE5\xB1\xB1"));
        EXPECT_EQ(Bytes(file), c.after);
    }
}

// Writes the first half of the bytes for real, then fails as a full disk would.
BOOL WriteHalfThenFail(HANDLE file, const void* bytes, DWORD length, DWORD* written) {
    DWORD half = 0;
    WriteFile(file, bytes, length / 2, &half, nullptr);
    *written = half;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Reports success with fewer bytes than asked.
BOOL WriteShort(HANDLE file, const void* bytes, DWORD length, DWORD* written) {
    return WriteFile(file, bytes, length - 1, written, nullptr);
}

BOOL WriteAll(HANDLE file, const void* bytes, DWORD length, DWORD* written) {
    return WriteFile(file, bytes, length, written, nullptr);
}

BOOL FlushOk(HANDLE file) { return FlushFileBuffers(file); }
BOOL FlushFails(HANDLE) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST(AppendUserPhraseLine, AFailedWriteCutsTheFileBackToItsOldLength) {
    struct Case {
        const char* name;
        AppendFileCalls calls;
    };
    const Case cases[] = {
        {"fails halfway", {WriteHalfThenFail, FlushOk}},
        {"writes short", {WriteShort, FlushOk}},
        {"flush fails after the whole line", {WriteAll, FlushFails}},
    };
    for (const char* before : {"a x\r\nb y", ""}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " after \"" + before + "\"");
            test_support::TempDir dir;
            const path file = dir.Write("Mo_Input_Ka_User.txt", before);
            EXPECT_FALSE(AppendUserPhraseLine(file, "ab", "\xE5\xB1\xB1", c.calls));
            EXPECT_EQ(Bytes(file), before);
        }
    }
}

TEST(AppendUserPhraseLine, RefusesAFileItCannotHoldForWriting) {
    test_support::TempDir dir;
    const std::string before = "a x\r\n";

    // Another program writing the file: the append must not interleave with it.
    const path busy = dir.Write("busy.txt", before);
    HANDLE writer = CreateFileW(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(AppendUserPhraseLine(busy, "ab", "y"));
    CloseHandle(writer);
    EXPECT_EQ(Bytes(busy), before);

    EXPECT_FALSE(AppendUserPhraseLine(dir / "no_such_folder" / "Mo_Input_Ka_User.txt", "ab", "y"));
}

TEST(AppendUserPhraseLine, ReadersMayKeepTheFileOpenMeanwhile) {
    test_support::TempDir dir;
    const path file = dir.Write("Mo_Input_Ka_User.txt", "a x\r\n");
    HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(AppendUserPhraseLine(file, "ab", "y"));
    CloseHandle(reader);
    EXPECT_EQ(Bytes(file), "a x\r\nab y\r\n");
}

}  // namespace
