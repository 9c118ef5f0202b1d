#pragma once
// Starts the settings program or the phrase editor found near the library's own file.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Searches near the library (DllModule) and starts the program without waiting for it.
// `fileName` is a bare name such as InstallNames::SettingsProgram. True when a process
// was started.
bool LaunchCompanionProgram(std::wstring_view fileName) noexcept;

// The same for a library at `libraryPath`.
bool LaunchCompanionProgramFor(const std::filesystem::path& libraryPath, std::wstring_view fileName) noexcept;

using PathExistsTest = std::function<bool(const std::filesystem::path&)>;

// The first candidate that exists: beside the library, one folder up, and, when the
// library sits in R\versions\V\<folder>, in R. Nothing when none exists. The product
// passes FileExists: any entry, file or folder, counts, and a path whose state cannot
// be determined counts as absent, so the search goes on to the next candidate.
std::optional<std::filesystem::path> FindCompanionProgram(const std::filesystem::path& libraryPath,
                                                          std::wstring_view fileName,
                                                          const PathExistsTest& exists);

// The program's path in double quotes, nothing else.
std::wstring CompanionCommandLine(const std::filesystem::path& program);
