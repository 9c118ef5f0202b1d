// Activation and deactivation of the text service.

#include "boundary_guard.h"
#include "dll_globals.h"
#include "identifiers.h"
#include "install_paths.h"
#include "settings_names.h"
#include "table_loads.h"
#include "text_service.h"

HRESULT CreateSystemCategoryMgr(ITfCategoryMgr** out) noexcept {
    return CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                            reinterpret_cast<void**>(out));
}

HRESULT STDMETHODCALLTYPE TextService::Activate(ITfThreadMgr* manager, TfClientId id) {
    return GuardCom([&] { return ActivateSteps(manager, id); });
}

HRESULT STDMETHODCALLTYPE TextService::ActivateEx(ITfThreadMgr* manager, TfClientId id,
                                                  DWORD /*flags*/) {
    return Activate(manager, id);
}

HRESULT STDMETHODCALLTYPE TextService::Deactivate() {
    Shutdown();
    return S_OK;
}

HRESULT TextService::ActivateSteps(ITfThreadMgr* manager, TfClientId id) {
    if (manager == nullptr) return E_INVALIDARG;
    ++activation;
    threadMgr = ComPtr<ITfThreadMgr>(manager);
    clientId = id;

    ReadSettings();
    RegisterReadingAttribute();

    // A table that cannot be loaded leaves the previous one in place, but the service
    // takes no keys in this thread.
    if (!LoadTableSafely(table, ResolveTablePath(DllModule))) return E_FAIL;
    LoadUserPhrasesSafely(table, UserPhrasePath(DllModule));

    HRESULT hr = threadMgr.As(IID_ITfKeystrokeMgr, keystrokeMgr);
    if (FAILED(hr)) return hr;
    return keystrokeMgr->AdviseKeyEventSink(clientId, static_cast<ITfKeyEventSink*>(this), TRUE);
}

void TextService::ReadSettings() {
    toggleKeyIsCapsLock = ReadToggleKey();
    letterSelection = ReadLetterSelection();
    persistentToolbar = ReadPersistentToolbar();
    toolbarFollowMode = ReadToolbarFollowMode();
    toolbarOffset.x = ReadDwordSetting(SettingNames::ToolbarOffsetX, 0);
    toolbarOffset.y = ReadDwordSetting(SettingNames::ToolbarOffsetY, 0);
    toolbarPosition.x = ReadDwordSetting(SettingNames::ToolbarX, ToolbarPositionNotSet);
    toolbarPosition.y = ReadDwordSetting(SettingNames::ToolbarY, ToolbarPositionNotSet);
    theme = ReadThemeColors();
    candidateFontSize = ReadCandidateFontSize();
    simplifiedOutput = ReadSimplifiedOutput() != 0 ? 1 : 0;
    fullwidthOutput = ReadFullwidthOutput();
}

// Without an atom the reading is shown without its underline; activation goes on.
void TextService::RegisterReadingAttribute() noexcept {
    ComPtr<ITfCategoryMgr> categoryMgr;
    if (createCategoryMgr == nullptr || FAILED(createCategoryMgr(categoryMgr.Put())) ||
        !categoryMgr) {
        return;
    }
    TfGuidAtom atom = 0;
    if (SUCCEEDED(categoryMgr->RegisterGUID(GUID_ReadingDisplayAttribute, &atom))) {
        readingAtom = atom;
    }
}

void TextService::Shutdown() noexcept {
    if (keystrokeMgr) keystrokeMgr->UnadviseKeyEventSink(clientId);
    keystrokeMgr.Reset();
    threadMgr.Reset();

    // Released, not ended: ending needs an edit session, which this path has none of.
    composition.Reset();
    compositionContext.Reset();

    DestroyCandidateWindow();
    DestroyKeyboard();
    if (candidateFont != nullptr) {
        DeleteObject(candidateFont);
        candidateFont = nullptr;
    }

    GuardVoid([&] { composer.Reset(); });
    commandBuffer.clear();
    togglePending = false;
}
