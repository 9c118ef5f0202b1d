// Carrying out what the composer answers, re-feeding typed text, and the output
// conversion of committed candidates.

#include "table_loads.h"
#include "text_conversion.h"
#include "text_service.h"

namespace {

// A result that changes the document by itself: a commit, a list, an end.
bool IsConversionResult(ComposeAction action) noexcept {
    return action != ComposeAction::PassThrough && action != ComposeAction::UpdateReading;
}

}  // namespace

HRESULT TextService::ApplyComposeResult(TfEditCookie cookie, ITfContext* context,
                                        const ComposeResult& result) {
    switch (result.action) {
        case ComposeAction::PassThrough:
            return S_OK;
        case ComposeAction::UpdateReading:
            DestroyCandidateWindow();
            return SetCompositionText(cookie, context, std::wstring());
        case ComposeAction::ShowCandidates:
            candidatePage = 0;
            candidateRow = 0;
            ShowCandidates(cookie, context);
            return S_OK;
        case ComposeAction::Commit:
            return CommitText(cookie, context, result.text, false);
        case ComposeAction::EndComposition:
        case ComposeAction::Reject:
            return CommitText(cookie, context, std::string_view(), false);
    }
    return E_FAIL;
}

// The text is fed as if typed. A byte in the table's end-key set converts on the spot;
// its result (a commit, a list, a rejection) is carried out at once, so no committed
// candidate is lost and the composition always shows what the composer holds. A byte
// that arrives while a list is shown chooses from it as a typed key would.
HRESULT TextService::FeedText(TfEditCookie cookie, ITfContext* context, std::string_view text,
                              bool convert) {
    composer.Reset();
    ComposeResult pending{ComposeAction::PassThrough, {}};
    for (const char key : text) {
        if (!composer.Candidates().empty()) {
            const HRESULT hr = ChooseCandidate(cookie, context, 0, key);
            if (FAILED(hr)) return hr;
            pending = ComposeResult{ComposeAction::PassThrough, {}};
            continue;
        }
        ComposeResult result = composer.AddKey(key);
        if (!IsConversionResult(result.action)) {
            if (result.action == ComposeAction::UpdateReading) pending = std::move(result);
            continue;
        }
        // A list is shown under the reading it came from.
        if (result.action == ComposeAction::ShowCandidates &&
            pending.action == ComposeAction::UpdateReading) {
            const HRESULT shown = ApplyComposeResult(cookie, context, pending);
            if (FAILED(shown)) return shown;
        }
        pending = ComposeResult{ComposeAction::PassThrough, {}};
        const HRESULT hr = ApplyComposeResult(cookie, context, result);
        if (FAILED(hr)) return hr;
    }
    if (convert && composer.Candidates().empty() && !composer.Reading().empty()) {
        ReloadUserPhrasesSafely(table);
        const ComposeResult result = composer.Convert();
        if (result.action == ComposeAction::ShowCandidates &&
            pending.action == ComposeAction::UpdateReading) {
            const HRESULT shown = ApplyComposeResult(cookie, context, pending);
            if (FAILED(shown)) return shown;
        }
        return ApplyComposeResult(cookie, context, result);
    }
    return ApplyComposeResult(cookie, context, pending);
}

std::wstring TextService::ConvertOutput(std::string_view text) const {
    return ToSimplified(Utf8ToWide(text), simplifiedOutput);
}
