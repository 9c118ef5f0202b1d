// The phrase editor program: mo_input_ka_words.exe. Its command line is ignored.
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include "install_paths.h"
#include "message_loop.h"
#include "shell_com.h"
#include "words_globals.h"
#include "words_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showMode) {
    g_userPhrasePath = UserPhrasePath(nullptr);
    const ShellComScope com;

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    if (!RegisterWordsWindowClass(instance)) return WordsExitCode::ClassRegistrationFailed;
    HWND window = CreateWordsWindow(instance);
    if (window == nullptr) return WordsExitCode::WindowCreationFailed;
    ShowWindow(window, showMode);
    return RunMessageLoop();
}
