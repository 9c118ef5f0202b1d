#pragma once
// The user-phrase file for a text editor: created empty when absent, never truncated.

#include <filesystem>

// True when the file exists afterwards (it was there or it was created empty). An
// existing file is opened and closed without a byte or its write time changing.
bool EnsureUserPhraseFile(const std::filesystem::path& file);
