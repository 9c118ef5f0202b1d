#pragma once
// The CIN table: the main table file (key names, code-to-text entries, header
// settings) plus the user's own phrases, with lookups that accept wildcards.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "chardef_store.h"

// Result of the two change checks. Callers in the product ignore it; tests read it.
enum class ReloadResult : std::int32_t { Unchanged = 0, Reloaded = 1, Failed = 2 };

// Last-write time as a tick count; only compared for equality, 0 means "not taken".
using FileTime = std::int64_t;

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

// Copy with 'A'..'Z' lowered; every other byte (0x80 and above included) unchanged.
std::string ToLowerAscii(std::string_view text);

// Key = bytes before the first blank (space/tab); value = first to last non-blank after it.
KeyValue SplitKeyValue(std::string_view line);

// '?' matches one byte, '*' any run; greedy with one back-track point.
bool WildcardMatch(std::string_view pattern, std::string_view text);

// Strict UTF-8: no overlong forms, surrogates, values above U+10FFFF or cut sequences.
bool IsValidUtf8(std::string_view text);

class CinTable {
  public:
    CinTable();
    ~CinTable();
    CinTable(CinTable&&) noexcept;
    CinTable& operator=(CinTable&&) noexcept;
    CinTable(const CinTable&) = delete;
    CinTable& operator=(const CinTable&) = delete;

    // Main table. On any failure the table is left exactly as it was. Running out of memory
    // while building throws std::bad_alloc, again with the table as it was: callers must
    // expect it (a file near the 4 GiB limit needs several times its size).
    bool Load(const std::filesystem::path& path);
    ReloadResult ReloadIfChanged();

    // Results are owned copies: main-table values first, then user phrases.
    std::vector<std::string> Lookup(std::string_view code) const;
    std::string KeyName(std::string_view key) const;
    std::string HeaderValue(std::string_view name) const;

    // User phrases. A missing or empty file is valid; one bad line rejects the file.
    bool LoadUserPhrases(const std::filesystem::path& path);
    ReloadResult ReloadUserPhrasesIfChanged();
    std::uint64_t UserPhraseCount() const;

    // Read-only views of the load state, for callers that report it and for tests.
    const std::filesystem::path& Path() const { return path; }
    const std::filesystem::path& UserPath() const { return userPath; }

  private:
    void ParseMainText();

    // The whole main table file; every main-table value is a view into it. It is a heap
    // buffer of its own, so moving the table never relocates the bytes.
    std::unique_ptr<char[]> text;
    std::size_t textSize = 0;
    std::filesystem::path path;
    ChardefStore chardefs;  // lower-cased code -> values (in place or in `text`) in file order
    std::unordered_map<std::string, std::string_view> keyNames;
    std::unordered_map<std::string, std::string_view> headers;
    std::filesystem::path userPath;
    std::unordered_map<std::string, std::vector<std::string>> userPhrases;
    std::uint64_t userPhraseCount = 0;
    bool userFileExists = false;
    FileTime userFileWriteTime = 0;
    std::uint64_t userFileSize = 0;
    FileTime fileWriteTime = 0;
    std::uint64_t fileSize = 0;
};
