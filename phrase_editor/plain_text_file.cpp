#include "plain_text_file.h"

#include <windows.h>

bool EnsureUserPhraseFile(const std::filesystem::path& file) {
    // OPEN_ALWAYS, never CREATE_ALWAYS: an existing file holds the user's phrases.
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}
