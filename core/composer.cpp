#include "composer.h"

#include <string_view>
#include <utility>

#include "cin_table.h"

namespace {

constexpr char SingleWildcard = '?';
constexpr char RunWildcard = '*';

bool IsWildcard(char key) { return key == SingleWildcard || key == RunWildcard; }

char LowerAsciiLetter(char key) {
    return key >= 'A' && key <= 'Z' ? static_cast<char>(key + ('a' - 'A')) : key;
}

ComposeResult Result(ComposeAction action, std::string text = {}) {
    return ComposeResult{action, std::move(text)};
}

}  // namespace

Composer::Composer(const CinTable* cinTable) : table(cinTable) {}

const std::vector<std::string>& Composer::Candidates() const {
    static const std::vector<std::string> none;
    return candidates ? *candidates : none;
}

ComposeResult Composer::AddKey(char key) {
    if (!Candidates().empty()) return Result(ComposeAction::Reject);

    key = LowerAsciiLetter(key);
    const std::string_view keyText(&key, 1);
    if (table->KeyName(keyText).empty() && !IsWildcard(key)) {
        return Result(ComposeAction::PassThrough);
    }
    // The limit comes first: a seventh key throws the reading away even when it is an end key.
    if (reading.size() >= MaxReadingKeys) {
        reading.clear();
        return Result(ComposeAction::Reject);
    }
    reading.push_back(key);

    // Compared as stored: a capital letter in the header never matches a folded key.
    const std::string endKeys = table->HeaderValue("endkey");
    if (endKeys.find(key) == std::string::npos) {
        return Result(ComposeAction::UpdateReading, ReadingText());
    }
    // A wildcard converts only a reading it starts; inside a reading it stays a wildcard.
    if (IsWildcard(key) && reading.size() > 1) {
        return Result(ComposeAction::UpdateReading, ReadingText());
    }
    return Convert();
}

ComposeResult Composer::Convert() {
    if (reading.empty()) return Result(ComposeAction::PassThrough);

    std::vector<std::string> found = table->Lookup(reading);
    if (found.empty()) {
        candidates.reset();
        reading.clear();
        return Result(ComposeAction::Reject);
    }
    if (found.size() == 1) {
        candidates.reset();
        reading.clear();
        return Result(ComposeAction::Commit, std::move(found.front()));
    }
    candidates = std::make_shared<const std::vector<std::string>>(std::move(found));
    return Result(ComposeAction::ShowCandidates);
}

ComposeResult Composer::Select(std::size_t index) {
    if (index >= Candidates().size()) return Result(ComposeAction::PassThrough);

    std::string chosen = (*candidates)[index];
    candidates.reset();
    reading.clear();
    return Result(ComposeAction::Commit, std::move(chosen));
}

ComposeResult Composer::Backspace() {
    candidates.reset();
    if (reading.empty()) return Result(ComposeAction::PassThrough);

    reading.pop_back();
    const ComposeAction action =
        reading.empty() ? ComposeAction::EndComposition : ComposeAction::UpdateReading;
    return Result(action, ReadingText());
}

ComposeResult Composer::Reset() {
    candidates.reset();
    reading.clear();
    return Result(ComposeAction::EndComposition);
}

std::string Composer::ReadingText() const {
    std::string text;
    for (const char& key : reading) {
        std::string name = table->KeyName(std::string_view(&key, 1));
        if (name.empty()) {
            text.push_back(key);
        } else {
            text += name;
        }
    }
    return text;
}
