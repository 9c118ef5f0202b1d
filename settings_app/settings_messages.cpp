#include "settings_messages.h"

SettingsMessageContent SettingsMessageFor(SettingsMessage message) {
    switch (message) {
        case SettingsMessage::Saved:
            return {L"已儲存。重新選用輸入法後，候選窗配色與按鍵設定就會生效。", false};
        case SettingsMessage::SaveFailed:
            return {L"無法儲存設定。", true};
        case SettingsMessage::ProfileAdded:
            return {L"已加入目前使用者的輸入法列表。", false};
        case SettingsMessage::ProfileRemoved:
            return {L"已從目前使用者的輸入法列表移除。", false};
        case SettingsMessage::ProfileChangeFailed:
            return {L"無法更新輸入法列表。請先確認輸入法已註冊。", true};
        case SettingsMessage::PhraseEditorFailed:
            return {L"無法開啟自建詞組管理程式。", true};
    }
    return {L"", true};
}
