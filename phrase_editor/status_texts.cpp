#include "status_texts.h"

std::wstring LoadedStatusText(std::uint64_t phraseCount) {
    return L"已載入 " + std::to_wstring(phraseCount) +
           L" 筆自建詞組。輸入法下次組字會讀取最新內容。";
}
