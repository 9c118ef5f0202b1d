#pragma once
// The text input processor: one object per activation of the input method in a thread.
// It holds all per-thread state of the input method: the table, the composer, the TSF
// references, the windows and their font, the settings and the mode flags.

#include <msctf.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cin_table.h"
#include "com_object.h"
#include "com_ptr.h"
#include "composer.h"
#include "keys/keyboard_state.h"
#include "launcher.h"
#include "settings_store.h"
#include "theme_colors.h"
#include "tsf_declarations.h"

struct ScreenPair {
    std::int32_t x;
    std::int32_t y;
};

// How the service obtains the TSF category manager; tests can put a failing one in.
using CategoryMgrCreator = HRESULT (*)(ITfCategoryMgr** out);
HRESULT CreateSystemCategoryMgr(ITfCategoryMgr** out) noexcept;

// How the service starts a companion program; true when it started.
using ProgramLauncher = bool (*)(std::wstring_view fileName) noexcept;

class TextService final
    : public ComObject<TextService, ModuleCount::Counted, ITfTextInputProcessorEx, ITfKeyEventSink,
                       ITfCompositionSink, ITfDisplayAttributeProvider> {
  public:
    TextService();

    // ITfTextInputProcessor / ITfTextInputProcessorEx
    HRESULT STDMETHODCALLTYPE Activate(ITfThreadMgr* manager, TfClientId id) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr* manager, TfClientId id,
                                         DWORD flags) override;

    // ITfKeyEventSink
    HRESULT STDMETHODCALLTYPE OnSetFocus(BOOL foreground) override;
    HRESULT STDMETHODCALLTYPE OnTestKeyDown(ITfContext* context, WPARAM vk, LPARAM lParam,
                                            BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnTestKeyUp(ITfContext* context, WPARAM vk, LPARAM lParam,
                                          BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnKeyDown(ITfContext* context, WPARAM vk, LPARAM lParam,
                                        BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnKeyUp(ITfContext* context, WPARAM vk, LPARAM lParam,
                                      BOOL* eaten) override;
    HRESULT STDMETHODCALLTYPE OnPreservedKey(ITfContext* context, REFGUID key,
                                             BOOL* eaten) override;

    // ITfCompositionSink
    HRESULT STDMETHODCALLTYPE OnCompositionTerminated(TfEditCookie cookie,
                                                      ITfComposition* composition) override;

    // ITfDisplayAttributeProvider
    HRESULT STDMETHODCALLTYPE EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetDisplayAttributeInfo(REFGUID guid,
                                                      ITfDisplayAttributeInfo** out) override;

    void* FindInterface(REFIID iid) noexcept;

    // Releases what an activation took; safe to run any number of times.
    void Shutdown() noexcept;

    // Asks for a KeyEditSession carrying one key (keys/). Returns the request's own result;
    // the session's outcome goes to *sessionResult. The windows type through this too.
    HRESULT RequestKeySession(ITfContext* context, WPARAM vk, LPARAM lParam, char directChar,
                              char keyboardChar, DWORD flags, HRESULT* sessionResult) noexcept;

    // The candidate list and toolbar popup (windows/candidate_window.cpp and its peers).
    void ShowToolbar(bool fromKey) noexcept;
    void ShowCandidates(TfEditCookie cookie, ITfContext* context) noexcept;
    void DestroyCandidateWindow() noexcept;

    // The candidate window's own steps (windows/candidate_*.cpp).
    bool GetCaretScreenPoint(POINT& out) noexcept;
    void OnCandidateTimer() noexcept;
    void PaintCandidateWindow(HWND window) noexcept;
    // The candidate font at `dpi`, made when there is none; the stock GUI font while it
    // cannot be made.
    HGDIOBJ CandidateFontFor(int dpi) noexcept;
    // Row `row` of the current page as the window shows it.
    std::wstring CandidatePageRowText(std::size_t row) const;

    // The on-screen keyboard (windows/keyboard_window.cpp and its peers).
    void ToggleKeyboard() noexcept;
    void DestroyKeyboard() noexcept;

    // The on-screen keyboard's window procedure calls these on the service's thread.
    void OnKeyboardTimer() noexcept;
    void PaintKeyboard(HWND window) noexcept;
    // Types one key: vk 0 with the key's character, or VK_SPACE / VK_BACK with ch 0.
    void OnKeyboardKey(WPARAM vk, char ch) noexcept;
    void OnKeyboardClick(HWND window, int x, int y) noexcept;
    void StoreKeyboardPlace(HWND window) noexcept;
    // The window is being destroyed, by us or with its owner: forget its handle.
    void OnKeyboardDestroyed(HWND window) noexcept;

    // --- Keys (keys/): what a key means, read through the `keyboard` seam ---
    bool IsToggleKey(WPARAM vk) const noexcept;
    bool IsLaunchHotKey(WPARAM vk) const noexcept;
    bool IsSimplifiedHotKey(WPARAM vk) const noexcept;
    bool IsFullwidthHotKey(WPARAM vk) const noexcept;
    char KeyToAsciiChar(WPARAM vk, LPARAM lParam) const noexcept;
    char ShiftLetterForKey(WPARAM vk) const noexcept;
    char FullwidthCharForKey(WPARAM vk, LPARAM lParam) const;
    bool IsKeyForComposition(WPARAM vk, LPARAM lParam) const;
    std::string SelectionKeys() const;

    // True while the service is active in the activation `number`.
    bool IsActivation(std::uint32_t number) const noexcept {
        return threadMgr && number == activation;
    }
    // True while `held` is the composition held and the composer and the command buffer
    // are empty: nothing was typed since a focus loss emptied them.
    bool NothingTypedSince(ITfComposition* held) const noexcept;
    // A KeyEditSession's work: HandleKey, after whose failure the composer and the command
    // buffer hold only what the document shows.
    HRESULT RunKeySession(TfEditCookie cookie, ITfContext* context, WPARAM vk, LPARAM lParam,
                          char directChar, char keyboardChar);
    // The per-key state machine, run inside a KeyEditSession.
    HRESULT HandleKey(TfEditCookie cookie, ITfContext* context, WPARAM vk, LPARAM lParam,
                      char directChar, char keyboardChar);

    // --- Composition and commit (composition/) ---
    HRESULT EnsureComposition(TfEditCookie cookie, ITfContext* context);
    // Sets the reading attribute over `range`.
    void MarkReading(TfEditCookie cookie, ITfContext* context, ITfRange* range);
    // Empty text shows the reading through the key names.
    HRESULT SetCompositionText(TfEditCookie cookie, ITfContext* context, const std::wstring& text);
    HRESULT CommitText(TfEditCookie cookie, ITfContext* context, std::string_view text,
                       bool direct);
    HRESULT ApplyComposeResult(TfEditCookie cookie, ITfContext* context,
                               const ComposeResult& result);
    HRESULT FeedText(TfEditCookie cookie, ITfContext* context, std::string_view text, bool convert);
    std::wstring ConvertOutput(std::string_view text) const;

    // --- Typed commands (commands/) ---
    HRESULT CaptureTypedCommand(TfEditCookie cookie, ITfContext* context, char keyChar);
    HRESULT TypedCommandKey(TfEditCookie cookie, ITfContext* context, WPARAM vk, char keyChar);

    ComPtr<ITfThreadMgr> threadMgr;
    ComPtr<ITfKeystrokeMgr> keystrokeMgr;
    // Counts the activations; a session carries the one it was asked for in.
    std::uint32_t activation = 0;
    TfClientId clientId = 0;
    TfGuidAtom readingAtom = 0;
    CinTable table;
    Composer composer{&table};  // points into `table`, declared before it
    ComPtr<ITfComposition> composition;
    ComPtr<ITfContext> compositionContext;
    HWND candidateWindow = nullptr;
    HWND candidateOwner = nullptr;
    HWND keyboardWindow = nullptr;
    HWND keyboardOwner = nullptr;
    HFONT candidateFont = nullptr;
    std::size_t candidatePage = 0;
    std::size_t candidateRow = 0;
    ToggleKeyChoice toggleKeyIsCapsLock = ToggleKeyChoice::Shift;
    bool letterSelection = false;
    bool persistentToolbar = true;
    bool dragging = false;
    POINT dragStartCursor{0, 0};
    POINT dragStartWindow{0, 0};
    ScreenPair toolbarOffset{0, 0};
    ScreenPair toolbarPosition{ToolbarPositionNotSet, ToolbarPositionNotSet};
    std::int32_t toolbarFollowMode = 1;
    DWORD followUntil = 0;
    ThemeColors theme = ThemePresets[0];
    std::int32_t candidateFontSize = 16;
    int simplifiedOutput = 0;
    bool fullwidthOutput = false;
    bool chineseMode = true;
    bool togglePending = false;
    std::string commandBuffer;

    // Not part of the service's state: the seam through which Activate reaches the
    // category manager.
    CategoryMgrCreator createCategoryMgr = &CreateSystemCategoryMgr;

    // Seams of the key path: where the key state comes from and how a companion
    // program is started.
    const KeyboardState* keyboard = &SystemKeyboardState();
    ProgramLauncher launchProgram = &LaunchCompanionProgram;

  private:
    ~TextService() override;

    HRESULT ActivateSteps(ITfThreadMgr* manager, TfClientId id);
    void ReadSettings();
    void RegisterReadingAttribute() noexcept;

    // The key path's own steps (keys/, composition/).
    HRESULT ChooseCandidate(TfEditCookie cookie, ITfContext* context, WPARAM vk, char keyChar);
    HRESULT HandleCandidateKey(TfEditCookie cookie, ITfContext* context, WPARAM vk, char keyChar);
    HRESULT RequestEscapeSession(ITfContext* context) noexcept;
    void RequestFocusLossEscape() noexcept;
    // Sets the reading attribute over the held composition again.
    void MarkHeldReading(TfEditCookie cookie);
    void ToggleOutputSetting(bool simplified, LPARAM lParam) noexcept;
    bool HoldsCompositionIn(ITfContext* context) const noexcept;
    void RepaintCandidateWindow() noexcept;
};
