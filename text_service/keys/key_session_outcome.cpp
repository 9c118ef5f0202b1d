// What one key's session leaves behind when its document step fails. A key that is not
// eaten is typed by the application, and a queued key reported eaten is typed by nobody:
// either way the composer and the command buffer must keep nothing the document does not
// show, or the key would stand in two places (typed and composed) or come back later.

#include <string>
#include <utility>

#include "boundary_guard.h"
#include "com_ptr.h"
#include "text_service.h"

HRESULT TextService::RunKeySession(TfEditCookie cookie, ITfContext* context, WPARAM vk,
                                   LPARAM lParam, char directChar, char keyboardChar) {
    Composer composerBefore = composer;
    std::string commandBefore = commandBuffer;
    const std::size_t pageBefore = candidatePage;
    const std::size_t rowBefore = candidateRow;
    // Held, so that no new composition can take the address of one that ended meanwhile.
    const ComPtr<ITfComposition> heldBefore = composition;
    const ComPtr<ITfContext> heldContextBefore = compositionContext;

    const HRESULT hr =
        GuardCom([&] { return HandleKey(cookie, context, vk, lParam, directChar, keyboardChar); });
    if (SUCCEEDED(hr)) return hr;

    // Every step that fails before the document is written leaves the composition as it
    // was; once the composition is another, the document shows nothing of what the
    // composer or the command buffer held.
    if (composition.Get() == heldBefore.Get() &&
        compositionContext.Get() == heldContextBefore.Get()) {
        composer = std::move(composerBefore);
        commandBuffer = std::move(commandBefore);
        candidatePage = pageBefore;
        candidateRow = rowBefore;
        if (!composer.Candidates().empty()) ShowCandidates(cookie, context);
    } else {
        GuardVoid([&] { composer.Reset(); });
        commandBuffer.clear();
        DestroyCandidateWindow();
    }
    return hr;
}
