#include "phrase_editor_path.h"

#include "install_file_names.h"

std::optional<std::filesystem::path> PhraseEditorBeside(std::wstring_view ownPath,
                                                        std::uint32_t returnedLength) {
    if (returnedLength == 0 || returnedLength >= OwnPathBufferUnits) return std::nullopt;
    if (returnedLength > ownPath.size()) return std::nullopt;
    const std::filesystem::path program{std::wstring(ownPath.substr(0, returnedLength))};
    return program.parent_path() / InstallNames::PhraseEditorProgram;
}

std::wstring PhraseEditorCommandLine(const std::filesystem::path& editor) {
    return L"\"" + editor.wstring() + L"\"";
}
