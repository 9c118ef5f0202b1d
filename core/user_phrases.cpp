// The user-phrase file: one "code phrase" entry a line, no comments or blocks. One bad
// line rejects the whole file so that a half-edited file never replaces good phrases.
#include <array>
#include <utility>

#include "cin_lines.h"
#include "cin_table.h"
#include "guarded_file_read.h"
#include "user_phrase_rules.h"

bool CinTable::LoadUserPhrases(const std::filesystem::path& file) {
    Presence presence = QueryPresence(file);
    if (presence == Presence::Unknown) return false;

    std::unordered_map<std::string, std::vector<std::string>> phrases;
    std::uint64_t count = 0;
    FileStamp stamp;
    if (presence == Presence::Present) {
        std::optional<FileContent> content = ReadFileGuarded(file, UINT64_MAX);
        if (!content || content->size != content->stamp.size) return false;
        const UserCodeKeys keys = UserCodeKeysOf(keyNames);
        bool valid = true;
        ForEachCinLine(std::string_view(content->bytes.get(), content->size),
                       [&](std::string_view line) {
                           if (!valid) return;
                           std::optional<UserPhraseEntry> entry = ParseUserPhraseLine(line, keys);
                           if (!entry) {
                               valid = false;
                               return;
                           }
                           phrases[std::move(entry->code)].emplace_back(entry->phrase);
                           ++count;
                       });
        if (!valid) return false;
        stamp = content->stamp;
    }

    userPath = file;
    userPhrases = std::move(phrases);
    userPhraseCount = count;
    userFileExists = presence == Presence::Present;
    userFileWriteTime = stamp.writeTime;
    userFileSize = stamp.size;
    return true;
}

ReloadResult CinTable::ReloadUserPhrasesIfChanged() {
    if (userPath.empty()) return ReloadResult::Failed;
    Presence presence = QueryPresence(userPath);
    if (presence == Presence::Unknown) return ReloadResult::Failed;
    const bool existsNow = presence == Presence::Present;
    if (!existsNow && !userFileExists) return ReloadResult::Unchanged;
    if (existsNow && userFileExists) {
        std::optional<FileStamp> now = QueryFileStamp(userPath);
        if (!now) return ReloadResult::Failed;
        if (now->size == userFileSize && now->writeTime == userFileWriteTime) {
            return ReloadResult::Unchanged;
        }
    }
    return LoadUserPhrases(userPath) ? ReloadResult::Reloaded : ReloadResult::Failed;
}

std::uint64_t CinTable::UserPhraseCount() const { return userPhraseCount; }
