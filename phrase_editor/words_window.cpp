#include "words_window.h"

#include <commctrl.h>

#include "boundary_guard.h"
#include "install_path_rules.h"
#include "main_table_search.h"
#include "phrase_actions.h"
#include "status_texts.h"
#include "words_globals.h"

namespace {

constexpr wchar_t WindowTitle[] = L"悠然輸入法-啟明星 自建詞組";
constexpr wchar_t FontFace[] = L"Microsoft JhengHei UI";
constexpr int WindowWidth = 760;
constexpr int WindowHeight = 590;

constexpr COLORREF ClientColor = 0xFAF8F3;
constexpr COLORREF HeaderColor = 0x2D1D0C;
constexpr COLORREF AccentColor = 0xD3BC1C;
constexpr COLORREF TitleTextColor = 0xFFFBF3;
constexpr int HeaderBottom = 86;
constexpr int AccentTop = 82;

// The status messages run to two lines at the body font; the line is as tall as two
// lines need, growing upwards into the gap below the list.
constexpr int StatusTop = 499;
constexpr int StatusHeight = 52;

HFONT CreateUiFont(int height, int weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, FontFace);
}

// Every child of the window: visible, with the body font.
class CreateChildControl {
  public:
    explicit CreateChildControl(const HWND& parentWindow) : parent(parentWindow) {}
    HWND operator()(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                    int width, int height, int id) const {
        HWND child = CreateWindowExW(
            0, className, text, style | WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(g_bodyFont), TRUE);
        return child;
    }

  private:
    const HWND& parent;
};

void InsertColumn(int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    SendMessageW(g_listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void CreateControls(HWND window) {
    const CreateChildControl create(window);
    create(L"STATIC", L"字碼（1～6 碼）", 0, 30, 145, 225, 28, 0);
    create(L"STATIC", L"詞組", 0, 261, 145, 455, 28, 0);
    g_codeEdit = create(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL, 29, 177, 215, 33, IDC_CODE);
    g_phraseEdit = create(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL, 260, 177, 455, 33, IDC_PHRASE);
    SendMessageW(g_codeEdit, EM_LIMITTEXT, 6, 0);
    SendMessageW(g_phraseEdit, EM_LIMITTEXT, 200, 0);
    create(L"BUTTON", L"加入詞庫", BS_DEFPUSHBUTTON, 590, 223, 125, 35, IDC_ADD);
    create(L"BUTTON", L"開啟純文字檔", BS_PUSHBUTTON, 29, 512, 157, 35, IDC_OPEN_TEXT);
    create(L"BUTTON", L"重新讀取", BS_PUSHBUTTON, 198, 512, 120, 35, IDC_RELOAD);
    g_listView = create(WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT | LVS_SINGLESEL, 29, 270, 686,
                        227, IDC_LIST);
    SendMessageW(g_listView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    InsertColumn(0, L"字碼", 160);
    InsertColumn(1, L"詞組", 500);
    g_statusLabel = create(L"STATIC", L"", 0, 340, StatusTop, 375, StatusHeight, IDC_STATUS);
    create(L"STATIC", g_userPhrasePath.c_str(), SS_PATHELLIPSIS, 30, 103, 685, 30, 0);
}

LRESULT OnCreate(HWND window) {
    g_bodyFont = CreateUiFont(-18, FW_NORMAL);
    g_titleFont = CreateUiFont(-25, FW_SEMIBOLD);
    CreateControls(window);
    if (g_table.Load(FindMainTablePath())) {
        ReloadUserPhrases();
    } else {
        SetStatusText(StatusTexts::MainTableMissing);
    }
    SetFocus(g_codeEdit);
    return 0;
}

void FillSolid(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolid(dc, client, ClientColor);
    FillSolid(dc, RECT{0, 0, client.right, HeaderBottom}, HeaderColor);
    FillSolid(dc, RECT{0, AccentTop, client.right, HeaderBottom}, AccentColor);

    HGDIOBJ oldFont = SelectObject(dc, g_titleFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TitleTextColor);
    RECT titleArea{28, 16, 600, 58};
    DrawTextW(dc, L"自建詞組", -1, &titleArea, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

void OnCommand(int id) {
    switch (id) {
        case IDC_ADD:
            OnAddPhrase();
            break;
        case IDC_OPEN_TEXT:
            OnOpenPlainText();
            break;
        case IDC_RELOAD:
            ReloadUserPhrases();
            break;
        default:
            break;
    }
}

void OnDestroy() {
    DeleteObject(g_bodyFont);
    DeleteObject(g_titleFont);
    g_bodyFont = nullptr;
    g_titleFont = nullptr;
    PostQuitMessage(0);
}

}  // namespace

std::filesystem::path FindMainTablePath() {
    return ChooseMainTablePath(g_userPhrasePath.parent_path(), FileExists);
}

LRESULT CALLBACK WordsWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardWindow(0, [&]() -> LRESULT {
        switch (message) {
            case WM_CREATE:
                return OnCreate(window);
            case WM_PAINT:
                OnPaint(window);
                return 0;
            case WM_COMMAND:
                OnCommand(LOWORD(wParam));
                return 0;
            case WM_DESTROY:
                OnDestroy();
                return 0;
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    });
}

bool RegisterWordsWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = WordsWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = WordsWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateWordsWindow(HINSTANCE instance) {
    return CreateWindowExW(0, WordsWindowClass, WindowTitle, WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                           CW_USEDEFAULT, WindowWidth, WindowHeight, nullptr, nullptr, instance,
                           nullptr);
}
