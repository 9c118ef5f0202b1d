#pragma once
// The install-layout rules behind ResolveTablePath and UserPhrasePath, as plain functions
// of a module's file name, the two overrides and an existence test.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

using ExistenceTest = std::function<bool(const std::filesystem::path&)>;

// True only when the file is known to exist. A state that cannot be determined (access
// denied, a malformed or over-long name, a name holding a NUL character) counts as absent,
// so the search moves on.
bool FileExists(const std::filesystem::path& path);

// The environment override fits the 32,768-unit buffer: 1..32,767 units were returned.
bool EnvironmentLengthUsable(std::uint32_t returnedLength);

// `setting` and `variable` are empty when they give no path. Then the two tables beside
// the module, then the install root's main table, untested: the root is the module's
// folder without an "x64"/"x86" folder and then without a "versions\V" pair, as for the
// user-phrase file. An empty `moduleFile` (its name could not be read) gives an empty path
// rather than names relative to the host's current folder.
std::filesystem::path ChooseTablePath(std::wstring_view setting, std::wstring_view variable,
                                      const std::filesystem::path& moduleFile,
                                      const ExistenceTest& exists);

// The install root's user-phrase file for a module at `moduleFile`; empty when it is empty.
std::filesystem::path UserPhrasePathFor(const std::filesystem::path& moduleFile);
