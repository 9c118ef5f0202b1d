#pragma once
// Whole-file reads that notice a file being rewritten meanwhile: the size and write time
// are taken before and after the read and must agree. The file is opened without denying
// other processes reading or writing, since the phrase editor may be appending to it.
// No file-system or stream failure throws; a failure is an empty optional.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "cin_table.h"

struct FileStamp {
    std::uint64_t size = 0;
    FileTime writeTime = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// A name holding a NUL character names no file. The system would stop reading it at the
// NUL and find another file, so every query treats such a name as invalid.
bool HoldsNulCharacter(const std::filesystem::path& file);

// The size and the last-write time, empty when either cannot be read (a folder, a missing
// file, an invalid name). On Windows the time is in the file system's 100-ns ticks, so a
// rewrite within the same second is seen; elsewhere it is std::filesystem's clock.
std::optional<FileStamp> QueryFileStamp(const std::filesystem::path& file);

enum class Presence { Present, Absent, Unknown };

// Whether a file exists, where a missing folder on the way or an invalid name (one holding
// a NUL character included) counts as absence and any other failed query (access refused, for
// instance) as unknown.
Presence ClassifyPresence(bool exists, std::error_code error);
Presence QueryPresence(const std::filesystem::path& file);

struct FileContent {
    std::unique_ptr<char[]> bytes;  // separately allocated: views into it survive moves
    std::size_t size = 0;
    FileStamp stamp;  // as taken before and confirmed after the read
};

// Reads the whole file. Fails when a stamp query fails, the file cannot be opened or
// buffered, the stream ends in its hard-error state, or the stamp changed meanwhile.
// `sizeLimit` refuses larger files before anything is allocated.
std::optional<FileContent> ReadFileGuarded(const std::filesystem::path& file,
                                           std::uint64_t sizeLimit);
