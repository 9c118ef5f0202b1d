#pragma once
// Where the settings program looks for the phrase editor: beside itself, nowhere else.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// The program's own path is read into a buffer of this many UTF-16 units.
inline constexpr std::uint32_t OwnPathBufferUnits = 260;

// `ownPath` as the buffer holds it and the length the platform returned. Nothing when the
// path could not be read (0) or did not fit (the buffer was filled: the text is cut off and
// its folder is not the program's).
std::optional<std::filesystem::path> PhraseEditorBeside(std::wstring_view ownPath,
                                                        std::uint32_t returnedLength);

// The editor's path in double quotes, nothing else.
std::wstring PhraseEditorCommandLine(const std::filesystem::path& editor);
