#pragma once
// Every text the phrase editor shows in its status line.

#include <cstdint>
#include <string>

namespace StatusTexts {
inline constexpr wchar_t MainTableMissing[] = L"找不到主 CIN 表；請確認輸入法目錄中的檔案。";
inline constexpr wchar_t UserFileRejected[] =
    L"詞庫檔格式有誤或正在被其他程式寫入；請檢查每行是否為「字碼 空格 詞組」。";
inline constexpr wchar_t BadShape[] = L"請輸入 1～6 碼字碼與非空白詞組；詞組不可換行或含定位字元。";
inline constexpr wchar_t NotAsciiKey[] = L"字碼只接受 CIN 表中的 ASCII 按鍵。";
inline constexpr wchar_t UndefinedKey[] = L"字碼含有目前 CIN 表未定義的按鍵。";
inline constexpr wchar_t InvalidUnicode[] = L"詞組含有無效的 Unicode 字元。";
inline constexpr wchar_t WriteFailed[] =
    L"無法寫入詞庫；請檢查檔案是否被占用，以及所在目錄的寫入權限。";
inline constexpr wchar_t CreateFailed[] = L"無法建立詞庫檔；請檢查所在目錄的寫入權限。";
inline constexpr wchar_t EditorFailed[] = L"無法開啟文字編輯器；詞庫檔已建立，可用其他編輯器開啟。";
}  // namespace StatusTexts

// "已載入 N 筆自建詞組。…": the loader's phrase count after a successful listing.
std::wstring LoadedStatusText(std::uint64_t phraseCount);
