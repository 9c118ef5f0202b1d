#include "settings_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SettingsMessageFor, TextAndIconOfEveryBox) {
    const struct {
        SettingsMessage message;
        const wchar_t* text;
        bool isError;
    } cases[] = {
        {SettingsMessage::Saved, L"已儲存。重新選用輸入法後，候選窗配色與按鍵設定就會生效。",
         false},
        {SettingsMessage::SaveFailed, L"無法儲存設定。", true},
        {SettingsMessage::ProfileAdded, L"已加入目前使用者的輸入法列表。", false},
        {SettingsMessage::ProfileRemoved, L"已從目前使用者的輸入法列表移除。", false},
        {SettingsMessage::ProfileChangeFailed, L"無法更新輸入法列表。請先確認輸入法已註冊。", true},
        {SettingsMessage::PhraseEditorFailed, L"無法開啟自建詞組管理程式。", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(std::wstring(SettingsMessageFor(c.message).text), c.text);
        EXPECT_EQ(SettingsMessageFor(c.message).isError, c.isError);
    }
    EXPECT_EQ(std::wstring(SettingsMessageCaption), L"悠然輸入法-啟明星");
}

}  // namespace
