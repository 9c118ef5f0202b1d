// What the on-screen keyboard types: clicks on its keys become keys of the service.

#include "boundary_guard.h"
#include "com_ptr.h"
#include "text_service.h"
#include "windows/keyboard_layout.h"

namespace {

// A real key press through the system's input, so the application sees Space or Backspace
// as if typed (and the service's key sink sees it like any other key).
void SendKeyPress(WORD vk) {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = vk;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = vk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

void TextService::OnKeyboardClick(HWND window, int x, int y) noexcept {
    RECT client{};
    if (!GetClientRect(window, &client)) return;
    const KeyboardClick click =
        KeyboardClickAt(KeyboardLayoutFor(client.right, client.bottom), x, y);
    switch (click.kind) {
        case KeyboardClick::Kind::Close:
            DestroyKeyboard();
            break;
        case KeyboardClick::Kind::Key:
            OnKeyboardKey(click.vk, click.ch);
            break;
        case KeyboardClick::Kind::Nothing:
            break;
    }
}

void TextService::OnKeyboardKey(WPARAM vk, char ch) noexcept {
    if (!threadMgr) return;
    const bool nothingPending =
        composer.Reading().empty() && composer.Candidates().empty() && commandBuffer.empty();
    if (ch == 0 && (vk == VK_SPACE || vk == VK_BACK) && nothingPending) {
        SendKeyPress(static_cast<WORD>(vk));
        return;
    }
    ComPtr<ITfDocumentMgr> document;
    if (FAILED(threadMgr->GetFocus(document.Put())) || !document) return;
    ComPtr<ITfContext> context;
    if (FAILED(document->GetTop(context.Put())) || !context) return;
    HRESULT sessionResult = E_FAIL;
    // The outcome is not looked at: the click has no one to report to.
    RequestKeySession(context.Get(), vk, 0, 0, ch, TF_ES_ASYNC | TF_ES_READWRITE, &sessionResult);
}
