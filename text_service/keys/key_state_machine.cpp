// The per-key state machine: the one place where a key changes the input method's state.
// It runs inside a KeyEditSession and decides, first match wins, whether the key is
// output directly, belongs to a typed command, goes to the composer, or acts on the
// candidate list.

#include "keys/candidate_paging.h"
#include "table_loads.h"
#include "text_service.h"

namespace {

bool IsCommandLetter(char ch) noexcept { return ch == 's' || ch == 'a' || ch == 'k' || ch == 'c'; }

}  // namespace

HRESULT TextService::HandleKey(TfEditCookie cookie, ITfContext* context, WPARAM vk, LPARAM lParam,
                               char directChar, char keyboardChar) {
    if (!chineseMode && (keyboardChar != 0 || vk == VK_SPACE)) {
        const HRESULT hr = EnsureComposition(cookie, context);
        if (FAILED(hr)) return hr;
        const char typed = keyboardChar != 0 ? keyboardChar : ' ';
        return CommitText(cookie, context, std::string_view(&typed, 1), true);
    }
    if (directChar != 0) {
        composer.Reset();
        commandBuffer.clear();
        const HRESULT hr = EnsureComposition(cookie, context);
        if (FAILED(hr)) return hr;
        return CommitText(cookie, context, std::string_view(&directChar, 1), true);
    }

    const char keyChar = keyboardChar != 0 ? keyboardChar : KeyToAsciiChar(vk, lParam);
    if (!commandBuffer.empty()) return TypedCommandKey(cookie, context, vk, keyChar);
    if (composer.Candidates().empty() && composer.Reading() == "mo" && IsCommandLetter(keyChar)) {
        return CaptureTypedCommand(cookie, context, keyChar);
    }
    if (!composer.Candidates().empty()) return HandleCandidateKey(cookie, context, vk, keyChar);

    switch (vk) {
        case VK_ESCAPE:
            return ApplyComposeResult(cookie, context, composer.Reset());
        case VK_BACK:
            return ApplyComposeResult(cookie, context, composer.Backspace());
        case VK_RETURN:
        case VK_SPACE:
            // A phrase the editor just appended is found at once.
            ReloadUserPhrasesSafely(table);
            return ApplyComposeResult(cookie, context, composer.Convert());
        default:
            if (keyChar == 0) return S_OK;
            return ApplyComposeResult(cookie, context, composer.AddKey(keyChar));
    }
}

// A key while the candidate list is shown.
HRESULT TextService::HandleCandidateKey(TfEditCookie cookie, ITfContext* context, WPARAM vk,
                                        char keyChar) {
    if (vk == VK_ESCAPE) return ApplyComposeResult(cookie, context, composer.Reset());
    if (vk == VK_BACK) return ApplyComposeResult(cookie, context, composer.Backspace());

    const std::size_t count = composer.Candidates().size();
    const CandidateCursor cursor{candidatePage, candidateRow};
    if (vk == VK_UP || vk == VK_DOWN) {
        const CandidateCursor moved = MoveHighlight(cursor, count, vk == VK_UP);
        candidatePage = moved.page;
        candidateRow = moved.row;
        // From a page past the list the cursor went back to the first page: show it.
        if (RowsOnPage(count, cursor.page) != 0) {
            RepaintCandidateWindow();
        } else {
            ShowCandidates(cookie, context);
        }
        return S_OK;
    }
    if (vk == VK_LEFT || vk == VK_PRIOR || vk == VK_RIGHT || vk == VK_NEXT ||
        (vk == VK_SPACE && count > CandidatePageSize)) {
        const CandidateCursor turned = TurnPage(cursor, count, vk == VK_LEFT || vk == VK_PRIOR);
        candidatePage = turned.page;
        candidateRow = turned.row;
        ShowCandidates(cookie, context);
        return S_OK;
    }
    return ChooseCandidate(cookie, context, vk, keyChar);
}

// Enter, Space on a short list, a selection key or any other character: choose a row.
// A character that is not a selection key chooses the highlighted row and then starts
// the next reading with itself.
HRESULT TextService::ChooseCandidate(TfEditCookie cookie, ITfContext* context, WPARAM vk,
                                     char keyChar) {
    const std::string selection = SelectionKeys();
    const std::size_t index =
        ChosenIndex(CandidateCursor{candidatePage, candidateRow}, selection, keyChar);
    if (index >= composer.Candidates().size()) return S_OK;
    const bool selectionKey = keyChar != 0 && selection.find(keyChar) != std::string::npos;

    const ComposeResult chosen = composer.Select(index);
    candidatePage = 0;
    candidateRow = 0;
    const HRESULT hr = ApplyComposeResult(cookie, context, chosen);
    if (SUCCEEDED(hr) && keyChar != 0 && !selectionKey && vk != VK_SPACE && vk != VK_RETURN) {
        return ApplyComposeResult(cookie, context, composer.AddKey(keyChar));
    }
    return hr;
}
