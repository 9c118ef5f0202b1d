#include "guarded_file_read.h"

#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

bool HoldsNulCharacter(const std::filesystem::path& file) {
    return file.native().find(std::filesystem::path::value_type{}) !=
           std::filesystem::path::string_type::npos;
}

#ifdef _WIN32

// The C runtime behind std::filesystem reports whole seconds; the file system keeps
// 100-ns ticks, and a file saved twice within one second must still look changed.
// Opened without denying anyone anything, and following links as a read would.
std::optional<FileStamp> QueryFileStamp(const std::filesystem::path& file) {
    if (HoldsNulCharacter(file)) return std::nullopt;
    HANDLE handle = CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!read || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
        info.ftLastWriteTime.dwLowDateTime;
    return FileStamp{size, static_cast<FileTime>(ticks)};
}

#else

std::optional<FileStamp> QueryFileStamp(const std::filesystem::path& file) {
    if (HoldsNulCharacter(file)) return std::nullopt;
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    auto time = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(size),
                     static_cast<FileTime>(time.time_since_epoch().count())};
}

#endif

Presence ClassifyPresence(bool exists, std::error_code error) {
    if (!error) return exists ? Presence::Present : Presence::Absent;
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
        error == std::errc::invalid_argument || error == std::errc::filename_too_long) {
        return Presence::Absent;
    }
    return Presence::Unknown;
}

Presence QueryPresence(const std::filesystem::path& file) {
    if (HoldsNulCharacter(file)) return Presence::Absent;
    std::error_code error;
    bool exists = std::filesystem::exists(file, error);
    return ClassifyPresence(exists, error);
}

namespace {

// Reads to the end of the stream, starting with room for the expected size plus one byte
// so that a file of the expected size ends the loop without growing the buffer.
bool ReadToEnd(std::ifstream& in, std::size_t expected, FileContent& content) {
    std::size_t capacity = expected + 1;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]);
    if (!buffer) return false;
    std::size_t used = 0;
    for (;;) {
        in.read(buffer.get() + used, static_cast<std::streamsize>(capacity - used));
        used += static_cast<std::size_t>(in.gcount());
        if (!in) break;
        // The file grew while being read; the stamp check will reject it, but the read
        // still runs to the end as asked.
        if (capacity > SIZE_MAX / 2) return false;
        std::unique_ptr<char[]> larger(new (std::nothrow) char[capacity * 2]);
        if (!larger) return false;
        std::memcpy(larger.get(), buffer.get(), used);
        buffer = std::move(larger);
        capacity *= 2;
    }
    if (in.bad()) return false;
    content.bytes = std::move(buffer);
    content.size = used;
    return true;
}

}  // namespace

std::optional<FileContent> ReadFileGuarded(const std::filesystem::path& file,
                                           std::uint64_t sizeLimit) {
    // Checked here too, not only by the stamp query: the stream must never open the
    // part of the name before a NUL, which names another file.
    if (HoldsNulCharacter(file)) return std::nullopt;
    std::optional<FileStamp> before = QueryFileStamp(file);
    if (!before || before->size > sizeLimit || before->size >= SIZE_MAX) return std::nullopt;
    std::ifstream in(file, std::ios::in | std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    FileContent content;
    if (!ReadToEnd(in, static_cast<std::size_t>(before->size), content)) return std::nullopt;
    in.close();
    std::optional<FileStamp> after = QueryFileStamp(file);
    if (!after || *after != *before) return std::nullopt;
    content.stamp = *after;
    return content;
}
