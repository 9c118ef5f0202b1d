#pragma once
// Helpers for the table tests: write bytes to a real file in a temp folder and load it.

#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "test_files.h"

namespace cin_test {

inline std::vector<std::string> Strings(std::initializer_list<const char*> items) {
    return std::vector<std::string>(items.begin(), items.end());
}

// Writes `bytes` as name in `dir` and loads it into `table`; the file's path is returned.
inline std::filesystem::path WriteAndLoad(const test_support::TempDir& dir, CinTable& table,
                                          std::string_view name, std::string_view bytes,
                                          bool* loaded = nullptr) {
    auto file = dir.Write(std::string(name), bytes);
    bool ok = table.Load(file);
    if (loaded != nullptr) *loaded = ok;
    return file;
}

// Moves a file's write time by a fixed step, so a change check sees a new time without
// sleeping and without changing the size.
inline void TouchForward(const std::filesystem::path& file) {
    std::error_code error;
    auto time = std::filesystem::last_write_time(file, error);
    std::filesystem::last_write_time(file, time + std::chrono::seconds(10), error);
}

}  // namespace cin_test
