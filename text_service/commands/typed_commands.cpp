// Typed commands: captured after "mo", held in the command buffer instead of the
// composer, and handed back to the composer as typed when they turn out to be no command.

#include "commands/typed_commands.h"

#include <algorithm>
#include <string>

#include "install_file_names.h"
#include "text_conversion.h"
#include "text_service.h"

bool IsTypedCommandPrefix(std::string_view text) noexcept {
    return std::any_of(TypedCommandWords.begin(), TypedCommandWords.end(),
                       CommandPrefixMatcher(text));
}

HRESULT TextService::CaptureTypedCommand(TfEditCookie cookie, ITfContext* context, char keyChar) {
    composer.Reset();
    commandBuffer = "mo";
    commandBuffer.push_back(keyChar);
    return SetCompositionText(cookie, context, Utf8ToWide(commandBuffer));
}

HRESULT TextService::TypedCommandKey(TfEditCookie cookie, ITfContext* context, WPARAM vk,
                                     char keyChar) {
    if (vk == VK_ESCAPE) {
        commandBuffer.clear();
        return CommitText(cookie, context, std::string_view(), false);
    }
    if (vk == VK_BACK) {
        commandBuffer.pop_back();
        if (commandBuffer.empty()) return CommitText(cookie, context, std::string_view(), false);
        return SetCompositionText(cookie, context, Utf8ToWide(commandBuffer));
    }
    if (vk == VK_RETURN || vk == VK_SPACE) {
        const std::string typed = std::move(commandBuffer);
        commandBuffer.clear();
        const auto word = std::find(TypedCommandWords.begin(), TypedCommandWords.end(), typed);
        if (word == TypedCommandWords.end()) return FeedText(cookie, context, typed, true);

        const HRESULT hr = CommitText(cookie, context, std::string_view(), false);
        if (FAILED(hr)) return hr;
        if (*word == "moset") {
            launchProgram(InstallNames::SettingsProgram);
        } else if (*word == "moadd") {
            launchProgram(InstallNames::PhraseEditorProgram);
        } else if (*word == "mokey") {
            ToggleKeyboard();
        } else {
            simplifiedOutput = *word == "mochs" ? 1 : 0;
            WriteSimplifiedOutput(simplifiedOutput);
            RepaintCandidateWindow();
        }
        return hr;
    }
    if (keyChar == 0) return S_OK;
    std::string extended = commandBuffer + keyChar;
    if (IsTypedCommandPrefix(extended)) {
        commandBuffer = std::move(extended);
        return SetCompositionText(cookie, context, Utf8ToWide(commandBuffer));
    }
    commandBuffer.clear();
    return FeedText(cookie, context, extended, false);
}
