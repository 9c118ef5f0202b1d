#pragma once
// Loads of the main table and the user phrases inside the host application: running out
// of memory while building a table is a failed load (the loaded table stays), never an
// exception that reaches the host.

#include <filesystem>

#include "cin_table.h"

bool LoadTableSafely(CinTable& table, const std::filesystem::path& path) noexcept;
bool LoadUserPhrasesSafely(CinTable& table, const std::filesystem::path& path) noexcept;
ReloadResult ReloadTableSafely(CinTable& table) noexcept;
ReloadResult ReloadUserPhrasesSafely(CinTable& table) noexcept;
