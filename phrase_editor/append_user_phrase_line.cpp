#include "append_user_phrase_line.h"

#include <limits>
#include <optional>
#include <string>

#include "user_phrase_line.h"

namespace {

BOOL PlatformWrite(HANDLE file, const void* bytes, DWORD length, DWORD* written) {
    return WriteFile(file, bytes, length, written, nullptr);
}

BOOL PlatformFlush(HANDLE file) { return FlushFileBuffers(file); }

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle; }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle;
};

bool MoveTo(HANDLE file, LONGLONG offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

// Exactly one byte read at `offset`, or nothing.
std::optional<char> ReadByteAt(HANDLE file, LONGLONG offset) {
    if (!MoveTo(file, offset)) return std::nullopt;
    char byte = 0;
    DWORD read = 0;
    if (!ReadFile(file, &byte, 1, &read, nullptr) || read != 1) return std::nullopt;
    return byte;
}

bool WriteAt(HANDLE file, LONGLONG offset, const std::string& bytes, const AppendFileCalls& calls) {
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    const auto length = static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    return MoveTo(file, offset) && calls.write(file, bytes.data(), length, &written) &&
           written == length && calls.flush(file);
}

}  // namespace

const AppendFileCalls& PlatformAppendFileCalls() {
    static const AppendFileCalls calls{PlatformWrite, PlatformFlush};
    return calls;
}

bool AppendUserPhraseLine(const std::filesystem::path& path, std::string_view code,
                          std::string_view phrase, const AppendFileCalls& calls) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return false;

    std::optional<char> lastByte;
    if (size.QuadPart > 0) {
        lastByte = ReadByteAt(file.Get(), size.QuadPart - 1);
        if (!lastByte) return false;
    }

    const std::string bytes = BuildUserPhraseLine(code, phrase, lastByte);
    if (WriteAt(file.Get(), size.QuadPart, bytes, calls)) return true;

    // A part of the line may have reached the file: cut it back to what it was.
    if (MoveTo(file.Get(), size.QuadPart)) SetEndOfFile(file.Get());
    return false;
}
