#include "phrase_actions.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string_view>

#include "append_user_phrase_line.h"
#include "phrase_checks.h"
#include "phrase_listing.h"
#include "plain_text_file.h"
#include "status_texts.h"
#include "text_conversion.h"
#include "words_globals.h"

namespace {

// The whole file, read with full sharing; empty when it cannot be opened or read.
std::string ReadListingBytes(const std::filesystem::path& file) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[64 * 1024];
    DWORD read = 0;
    while (ReadFile(handle, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(handle);
    return bytes;
}

void AppendListRow(int index, const std::wstring& code, const std::wstring& phrase) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(code.c_str());
    const auto row = SendMessageW(g_listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<wchar_t*>(phrase.c_str());
    SendMessageW(g_listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&sub));
}

bool KeyDefined(char key) { return !g_table.KeyName(std::string_view(&key, 1)).empty(); }

}  // namespace

void SetStatusText(const std::wstring& text) { SetWindowTextW(g_statusLabel, text.c_str()); }

std::wstring GetControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool ReloadUserPhrases() {
    if (!g_table.LoadUserPhrases(g_userPhrasePath)) {
        SetStatusText(StatusTexts::UserFileRejected);
        return false;
    }
    SendMessageW(g_listView, LVM_DELETEALLITEMS, 0, 0);
    const std::string content = ReadListingBytes(g_userPhrasePath);
    int index = 0;
    for (const PhraseRow& row : ListPhraseRows(content)) {
        AppendListRow(index++, Utf8ToWide(row.code), Utf8ToWide(row.phrase));
    }
    SetStatusText(LoadedStatusText(g_table.UserPhraseCount()));
    return true;
}

void OnAddPhrase() {
    if (!ReloadUserPhrases()) return;
    const std::wstring code = GetControlText(g_codeEdit);
    const std::wstring phrase = GetControlText(g_phraseEdit);
    const CheckedPhrase checked = CheckNewPhrase(code, phrase, KeyDefined, WideToUtf8);
    if (checked.check != PhraseCheck::Accepted) {
        SetStatusText(CheckStatusText(checked.check));
        return;
    }
    if (!AppendUserPhraseLine(g_userPhrasePath, checked.code, checked.phrase)) {
        SetStatusText(StatusTexts::WriteFailed);
        return;
    }
    SetWindowTextW(g_codeEdit, L"");
    SetWindowTextW(g_phraseEdit, L"");
    ReloadUserPhrases();
    SetFocus(g_codeEdit);
}

void OnOpenPlainText() {
    if (!EnsureUserPhraseFile(g_userPhrasePath)) {
        SetStatusText(StatusTexts::CreateFailed);
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", g_userPhrasePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) SetStatusText(StatusTexts::EditorFailed);
}
