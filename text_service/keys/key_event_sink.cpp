// The key event and composition sinks: which keys the service takes, the hot keys and
// the toggle key, focus changes, and the end of our composition by the application.

#include "boundary_guard.h"
#include "install_file_names.h"
#include "keys/key_classification.h"
#include "keys/key_edit_session.h"
#include "table_loads.h"
#include "text_service.h"

namespace {

constexpr DWORD SyncReadWrite = TF_ES_SYNC | TF_ES_READWRITE;
constexpr DWORD AsyncReadWrite = TF_ES_ASYNC | TF_ES_READWRITE;

}  // namespace

HRESULT TextService::RequestEscapeSession(ITfContext* context) noexcept {
    HRESULT ignored = E_FAIL;
    return RequestKeySession(context, VK_ESCAPE, 0, 0, 0, SyncReadWrite, &ignored);
}

// Outside a key Windows may refuse the synchronous Escape. The reading would then stay in
// the document, underlined, with nothing in the service to end it: the same Escape is
// asked for to run later, for the composition held now.
void TextService::RequestFocusLossEscape() noexcept {
    ITfContext* context = compositionContext.Get();
    HRESULT sessionResult = E_FAIL;
    const HRESULT hr =
        RequestKeySession(context, VK_ESCAPE, 0, 0, 0, SyncReadWrite, &sessionResult);
    if (!SynchronousRefused(hr, sessionResult)) return;
    KeyEditSession* session =
        NewComObject<KeyEditSession>(this, context, WPARAM{VK_ESCAPE}, LPARAM{0}, char{0}, char{0});
    if (session == nullptr) return;
    session->OnlyWhileHeld(composition.Get());
    sessionResult = E_FAIL;
    context->RequestEditSession(clientId, session, AsyncReadWrite, &sessionResult);
    session->Release();
}

bool TextService::NothingTypedSince(ITfComposition* held) const noexcept {
    return held == composition.Get() && composer.Reading().empty() &&
           composer.Candidates().empty() && commandBuffer.empty();
}

void TextService::RepaintCandidateWindow() noexcept {
    if (candidateWindow != nullptr) InvalidateRect(candidateWindow, nullptr, FALSE);
}

// Ctrl+Alt+S and Shift+Space flip their output setting once per press; the repeats of a
// held key are eaten and change nothing.
void TextService::ToggleOutputSetting(bool simplified, LPARAM lParam) noexcept {
    togglePending = false;
    if (IsAutoRepeat(lParam)) return;
    if (simplified) {
        simplifiedOutput = simplifiedOutput == 0 ? 1 : 0;
        WriteSimplifiedOutput(simplifiedOutput);
    } else {
        fullwidthOutput = !fullwidthOutput;
        WriteFullwidthOutput(fullwidthOutput);
    }
    RepaintCandidateWindow();
}

HRESULT STDMETHODCALLTYPE TextService::OnSetFocus(BOOL foreground) {
    return GuardCom([&] {
        if (foreground) {
            ReloadTableSafely(table);
            ReloadUserPhrasesSafely(table);
            simplifiedOutput = ReadSimplifiedOutput() != 0 ? 1 : 0;
            fullwidthOutput = ReadFullwidthOutput();
            persistentToolbar = ReadPersistentToolbar();
            toolbarFollowMode = ReadToolbarFollowMode();
            if (persistentToolbar) {
                ShowToolbar(false);
            } else {
                DestroyCandidateWindow();
            }
            return S_OK;
        }
        if (compositionContext) RequestFocusLossEscape();
        composer.Reset();
        commandBuffer.clear();
        togglePending = false;
        DestroyCandidateWindow();
        if (keyboardWindow != nullptr) ShowWindow(keyboardWindow, SW_HIDE);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TextService::OnTestKeyDown(ITfContext* /*context*/, WPARAM vk,
                                                     LPARAM lParam, BOOL* eaten) {
    if (eaten == nullptr) return E_POINTER;
    *eaten = FALSE;
    return GuardKey(eaten, [&] {
        if (!IsToggleKey(vk)) togglePending = false;
        if (IsPassThroughKey(vk, lParam)) return S_OK;
        const bool wanted =
            IsToggleKey(vk) || IsLaunchHotKey(vk) || IsSimplifiedHotKey(vk) ||
            IsFullwidthHotKey(vk) || FullwidthCharForKey(vk, lParam) != 0 ||
            (chineseMode && (ShiftLetterForKey(vk) != 0 || IsKeyForComposition(vk, lParam)));
        *eaten = wanted ? TRUE : FALSE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TextService::OnKeyDown(ITfContext* context, WPARAM vk, LPARAM lParam,
                                                 BOOL* eaten) {
    if (eaten == nullptr) return E_POINTER;
    *eaten = FALSE;
    return GuardKey(eaten, [&]() -> HRESULT {
        if (IsPassThroughKey(vk, lParam)) {
            togglePending = false;
            return S_OK;
        }
        if (IsLaunchHotKey(vk)) {
            togglePending = false;
            const bool started =
                launchProgram(vk == HotKeySettings ? InstallNames::SettingsProgram
                                                   : InstallNames::PhraseEditorProgram);
            *eaten = started ? TRUE : FALSE;
            return S_OK;
        }
        if (IsSimplifiedHotKey(vk) || IsFullwidthHotKey(vk)) {
            ToggleOutputSetting(IsSimplifiedHotKey(vk), lParam);
            *eaten = TRUE;
            return S_OK;
        }
        if (IsToggleKey(vk)) {
            *eaten = TRUE;
            if (!IsAutoRepeat(lParam) && !AnyModifierDown(*keyboard)) togglePending = true;
            return S_OK;
        }
        togglePending = false;

        const char shifted = chineseMode ? ShiftLetterForKey(vk) : 0;
        const char directChar = shifted != 0 ? shifted : FullwidthCharForKey(vk, lParam);
        if (context == nullptr) return S_OK;
        if (directChar == 0 && !(chineseMode && IsKeyForComposition(vk, lParam))) return S_OK;

        KeyEditSession* session =
            NewComObject<KeyEditSession>(this, context, vk, lParam, directChar, char{0});
        if (session == nullptr) return E_OUTOFMEMORY;
        HRESULT sessionResult = E_FAIL;
        HRESULT hr = context->RequestEditSession(clientId, session, SyncReadWrite, &sessionResult);
        // Refused now, the key is typed later.
        if (SynchronousRefused(hr, sessionResult)) {
            sessionResult = E_FAIL;
            hr = context->RequestEditSession(clientId, session, AsyncReadWrite, &sessionResult);
        }
        session->Release();
        *eaten = SUCCEEDED(hr) && SUCCEEDED(sessionResult) ? TRUE : FALSE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TextService::OnTestKeyUp(ITfContext* /*context*/, WPARAM vk,
                                                   LPARAM /*lParam*/, BOOL* eaten) {
    if (eaten == nullptr) return E_POINTER;
    *eaten = IsToggleKey(vk) && togglePending ? TRUE : FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TextService::OnKeyUp(ITfContext* context, WPARAM vk, LPARAM /*lParam*/,
                                               BOOL* eaten) {
    if (eaten == nullptr) return E_POINTER;
    *eaten = FALSE;
    return GuardKey(eaten, [&] {
        if (!IsToggleKey(vk)) return S_OK;
        const bool pending = togglePending;
        togglePending = false;
        *eaten = pending ? TRUE : FALSE;
        if (!pending) return S_OK;
        // Pending input is cancelled while the old mode is still in force.
        const bool inputPending =
            !composer.Reading().empty() || !composer.Candidates().empty() || !commandBuffer.empty();
        if (context != nullptr && inputPending) RequestEscapeSession(context);
        chineseMode = !chineseMode;
        commandBuffer.clear();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TextService::OnPreservedKey(ITfContext* /*context*/, REFGUID /*key*/,
                                                      BOOL* eaten) {
    if (eaten == nullptr) return E_POINTER;
    *eaten = FALSE;
    return S_OK;
}

namespace {

// The ended composition's text stays in the document, so the reading's underline is taken
// off it; otherwise it would stay underlined for good.
void ClearReadingAttribute(TfEditCookie cookie, ITfComposition* ended) {
    ComPtr<ITfRange> range;
    ComPtr<ITfContext> context;
    ComPtr<ITfProperty> attribute;
    if (SUCCEEDED(ended->GetRange(range.Put())) && range &&
        SUCCEEDED(range->GetContext(context.Put())) && context &&
        SUCCEEDED(context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.Put())) && attribute) {
        attribute->Clear(cookie, range.Get());
    }
}

}  // namespace

void TextService::MarkHeldReading(TfEditCookie cookie) {
    ComPtr<ITfRange> range;
    if (composition && SUCCEEDED(composition->GetRange(range.Put())) && range) {
        MarkReading(cookie, compositionContext.Get(), range.Get());
    }
}

// The application ended a composition of ours. Only this sink hears it, so a composition
// we had already dropped (a key arrived in another document) still loses its underline;
// the service's state changes only for the one it holds.
HRESULT STDMETHODCALLTYPE TextService::OnCompositionTerminated(TfEditCookie cookie,
                                                               ITfComposition* ended) {
    return GuardCom([&] {
        if (ended == nullptr) return S_OK;
        ClearReadingAttribute(cookie, ended);
        if (ended != composition.Get()) {
            // The ended range grows with text written at its end, so it may cover the
            // reading held now: that keeps its underline.
            MarkHeldReading(cookie);
            return S_OK;
        }
        composition.Reset();
        compositionContext.Reset();
        composer.Reset();
        commandBuffer.clear();
        DestroyCandidateWindow();
        return S_OK;
    });
}
