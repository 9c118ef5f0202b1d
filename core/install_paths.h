#pragma once
// Where the input method's files are, worked out from the running module's location.

#include <windows.h>

#include <filesystem>

#include "install_file_names.h"

// The main CIN table: TablePath setting, then the environment variable, then the files
// beside `module`, then the install root's table. Never fails.
std::filesystem::path ResolveTablePath(HMODULE module);

// The user-phrase file in the install root; empty when the module's name can't be read.
// A null module means the running program's own executable.
std::filesystem::path UserPhrasePath(HMODULE module);
