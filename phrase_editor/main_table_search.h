#pragma once
// Where the phrase editor finds the main table: beside the user-phrase file, in its x64
// folder, else three folders up without looking.

#include <filesystem>
#include <functional>

using FileExistsTest = std::function<bool(const std::filesystem::path&)>;

std::filesystem::path ChooseMainTablePath(const std::filesystem::path& installRoot,
                                          const FileExistsTest& exists);
