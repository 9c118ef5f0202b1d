// The phrase editor's own search for the main table.
#include "main_table_search.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using std::filesystem::path;

TEST(MainTableSearch, BesideTheUserFileThenX64ThenThreeFoldersUpUntested) {
    const path root = path("R") / "versions" / "V" / "app";
    const path beside = root / "ZiRevod-Ka.cin";
    const path inX64 = root / "x64" / "ZiRevod-Ka.cin";
    const path threeUp = path("R") / "ZiRevod-Ka.cin";
    struct Case {
        const char* name;
        std::set<path> existing;
        path expected;
    };
    const Case cases[] = {
        {"both present", {beside, inX64}, beside},
        {"only in x64", {inX64}, inX64},
        {"neither", {}, threeUp},
        {"three up is not asked", {threeUp}, threeUp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::set<path> asked;
        const auto exists = [&](const path& p) {
            asked.insert(p);
            return c.existing.count(p) != 0;
        };
        EXPECT_EQ(ChooseMainTablePath(root, exists), c.expected);
        EXPECT_EQ(asked.count(threeUp), 0u);
    }
}

TEST(MainTableSearch, ParentsStopAtTheRoot) {
    const path root = path("/") / "R";
    EXPECT_EQ(ChooseMainTablePath(root, [](const path&) { return false; }),
              path("/") / "ZiRevod-Ka.cin");
}

}  // namespace
