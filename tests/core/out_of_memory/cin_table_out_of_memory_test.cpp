// A load that runs out of memory anywhere leaves the loaded table as it was. This program
// replaces the global allocation functions so that the test can make the nth allocation
// fail; it is a program of its own so that no other test runs with them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "cin_table.h"
#include "test_files.h"

namespace {

long allocationsBeforeFailure = -1;  // -1: never fail
bool failureInjected = false;

void* Allocate(std::size_t size) noexcept {
    if (allocationsBeforeFailure == 0) {
        failureInjected = true;
        return nullptr;
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = Allocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// What the table answers, as one comparable text.
std::string Answers(const CinTable& table) {
    std::string out = table.Path().string() + "\n";
    for (const char* code : {"a", "ab", "abcdefghij", "zz", "a*", "??", "**"}) {
        out += std::string("[") + code + "]";
        for (const std::string& value : table.Lookup(code)) out += " " + value;
        out += "\n";
    }
    out += "key a=" + table.KeyName("a") + " selkey=" + table.HeaderValue("selkey") + "\n";
    return out;
}

}  // namespace

TEST(CinTableOutOfMemory, EveryFailedAllocationOfALoadLeavesTheOldTable) {
    test_support::TempDir dir;
    auto oldFile = dir.Write("old.cin",
                             "%selkey 12\n%keyname begin\na Old\n%keyname end\n"
                             "%chardef begin\na old-a\nzz old-zz\n");
    // Out of code order, with a long code and many lines, so that sorting and every array
    // of the build run.
    std::string newText = "%selkey 345\n%keyname begin\na New\n%keyname end\n%chardef begin\n";
    for (int i = 0; i < 200; ++i) newText += "ab new-ab" + std::to_string(i) + "\na new-a\n";
    newText += "abcdefghij new-long\nAB new-AB\n";
    auto newFile = dir.Write("new.cin", newText);
    auto userFile = dir.Write("user.txt", "a user-a\n");  // keys the key names define

    CinTable expectedNew;
    ASSERT_TRUE(expectedNew.Load(newFile));
    ASSERT_TRUE(expectedNew.LoadUserPhrases(userFile));
    const std::string newAnswers = Answers(expectedNew);

    int thrown = 0;
    for (long failAt = 0;; ++failAt) {
        CinTable table;
        ASSERT_TRUE(table.Load(oldFile));
        ASSERT_TRUE(table.LoadUserPhrases(userFile));
        const std::string oldAnswers = Answers(table);

        bool loaded = false;
        bool threw = false;
        allocationsBeforeFailure = failAt;
        failureInjected = false;
        try {
            loaded = table.Load(newFile);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        allocationsBeforeFailure = -1;
        if (!failureInjected) {  // the load got every allocation it asked for
            EXPECT_TRUE(loaded);
            EXPECT_EQ(Answers(table), newAnswers);
            break;
        }
        thrown += threw ? 1 : 0;
        // A failure that a step absorbed may still end in a complete load; otherwise the
        // table, its user phrases included, answers exactly as before.
        EXPECT_EQ(Answers(table), loaded ? newAnswers : oldAnswers) << "allocation " << failAt;
        ASSERT_LT(failAt, 100000);
    }
    EXPECT_GT(thrown, 0);  // the build's own allocations did throw
}
