#include "typing_host_window.h"

#include <algorithm>
#include <fstream>

#include "com_object.h"
#include "text_service.h"

namespace typing_host {

namespace {

constexpr TfClientId HostClient = 1;
constexpr int EditLeft = 16;
constexpr int EditTop = 24;
constexpr int CellWidth = 28;
constexpr int CellHeight = 36;
constexpr COLORREF Paper = RGB(255, 255, 255);
constexpr COLORREF Ink = RGB(20, 20, 20);
constexpr COLORREF CompositionLine = RGB(30, 90, 200);

}  // namespace

TypingHostWindow::TypingHostWindow()
    : threadMgr(fake_tsf::Make<fake_tsf::FakeThreadMgr>()),
      documentMgr(fake_tsf::Make<fake_tsf::FakeDocumentMgr>()),
      document(fake_tsf::Make<fake_tsf::FakeContext>()) {
    documentMgr->Push(document.Get());
}

TypingHostWindow::~TypingHostWindow() {
    Stop();
    if (window != nullptr) DestroyWindow(window);
    if (font != nullptr) DeleteObject(font);
}

bool TypingHostWindow::Create(HINSTANCE instance, int x, int y) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TypingHostWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32513));  // IDC_IBEAM
    windowClass.lpszClassName = WindowClass;
    RegisterClassExW(&windowClass);
    window = CreateWindowExW(0, WindowClass, WindowTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                             640, 140, nullptr, nullptr, instance, this);
    if (window == nullptr) return false;
    font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                       L"Microsoft JhengHei UI");
    document->View().window = window;
    UpdateLayout();

    service = NewComObject<TextService>();
    if (service == nullptr) return false;
    if (FAILED(service->Activate(threadMgr.Get(), HostClient))) return false;
    threadMgr->SetFocus(documentMgr.Get());
    threadMgr->ServiceFocus(true);
    SetForegroundWindow(window);
    SetFocus(window);
    return true;
}

void TypingHostWindow::Stop() {
    if (service == nullptr) return;
    threadMgr->ServiceFocus(false);
    threadMgr->SetFocus(nullptr);
    service->Deactivate();
    static_cast<ITfTextInputProcessorEx*>(service)->Release();
    service = nullptr;
}

void TypingHostWindow::UpdateLayout() {
    if (window == nullptr) return;
    POINT origin{EditLeft, EditTop};
    ClientToScreen(window, &origin);
    fake_tsf::TextLayout& layout = document->View().layout;
    layout.origin = origin;
    layout.cellWidth = CellWidth;
    layout.cellHeight = CellHeight;
}

void TypingHostWindow::Dispatch(const MSG& message) {
    bool eaten = false;
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            UpdateLayout();
            eaten = fake_tsf::DeliverKeyDown(threadMgr.Get(), message.wParam, message.lParam).eaten;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            eaten = fake_tsf::DeliverKeyUp(threadMgr.Get(), message.wParam, message.lParam).eaten;
            break;
        default:
            break;
    }
    if (!eaten) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The application grants the locks the service asked for once the message is done.
    if (document->PendingSessions() > 0) document->RunPendingSessions();
    if (eaten && window != nullptr) InvalidateRect(window, nullptr, TRUE);
}

int TypingHostWindow::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

bool TypingHostWindow::SaveDocument(const std::wstring& path) const {
    const std::wstring& text = document->Text();
    std::string utf8;
    if (!text.empty()) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                            size, nullptr, nullptr);
    }
    const std::wstring temporary = path + L".tmp";
    {
        std::ofstream out(temporary.c_str(), std::ios::binary | std::ios::trunc);
        out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
        if (!out) return false;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

// The application's own typing, for keys the service left to it: at the selection,
// with the caret after the new text.
void TypingHostWindow::TypeCharacter(wchar_t character) {
    document->TypeAtSelection(std::wstring(1, character));
}

LRESULT CALLBACK TypingHostWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TypingHostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->window != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TypingHostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_MOVE:
        case WM_SIZE:
            UpdateLayout();
            break;
        case WM_KEYDOWN:
            if (wParam == QuitKey) {
                DestroyWindow(window);
                return 0;
            }
            // Enter and the caret keys act as in an edit control; characters come as
            // WM_CHAR.
            if (wParam == VK_RETURN || (wParam >= VK_END && wParam <= VK_DOWN)) {
                document->ApplicationKey(wParam, L'\0');
                InvalidateRect(window, nullptr, TRUE);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\b' || (wParam >= 0x20 && wParam != 0x7F)) {
                TypeCharacter(static_cast<wchar_t>(wParam));
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_DESTROY:
            window = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TypingHostWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH paper = CreateSolidBrush(Paper);
    FillRect(dc, &client, paper);
    DeleteObject(paper);

    const std::wstring& text = document->Text();
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ink);
    for (std::size_t i = 0; i < text.size(); ++i) {
        RECT cell{EditLeft + static_cast<int>(i) * CellWidth, EditTop,
                  EditLeft + static_cast<int>(i + 1) * CellWidth, EditTop + CellHeight};
        DrawTextW(dc, &text[i], 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);

    // The composition is underlined, as an application shows it.
    HPEN underline = CreatePen(PS_SOLID, 2, CompositionLine);
    HGDIOBJ oldPen = SelectObject(dc, underline);
    for (const auto& composition : document->Compositions()) {
        const fake_tsf::Span& span = composition->Position();
        const int left = EditLeft + static_cast<int>(span.start) * CellWidth + 2;
        const int right = EditLeft + static_cast<int>(span.end) * CellWidth - 2;
        if (right <= left) continue;
        MoveToEx(dc, left, EditTop + CellHeight - 2, nullptr);
        LineTo(dc, right, EditTop + CellHeight - 2);
    }
    SelectObject(dc, oldPen);
    DeleteObject(underline);

    // The caret, where the service's SetSelection left it.
    const int caretX = EditLeft + static_cast<int>(document->Selection().end) * CellWidth;
    HPEN caretPen = CreatePen(PS_SOLID, 2, Ink);
    oldPen = SelectObject(dc, caretPen);
    MoveToEx(dc, caretX, EditTop + 2, nullptr);
    LineTo(dc, caretX, EditTop + CellHeight - 4);
    SelectObject(dc, oldPen);
    DeleteObject(caretPen);
}

}  // namespace typing_host
