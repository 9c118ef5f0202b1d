#include "phrase_listing.h"

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

void AddRow(std::string_view line, std::vector<PhraseRow>& rows) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 3 && line.substr(0, 3) == ByteOrderMark) line.remove_prefix(3);
    const auto blank = line.find_first_of(" \t");
    if (blank == std::string_view::npos) return;
    const auto phrase = line.find_first_not_of(" \t", blank);
    if (phrase == std::string_view::npos) return;
    rows.push_back({line.substr(0, blank), line.substr(phrase)});
}

}  // namespace

std::vector<PhraseRow> ListPhraseRows(std::string_view content) {
    std::vector<PhraseRow> rows;
    while (!content.empty()) {
        const auto end = content.find('\n');
        if (end == std::string_view::npos) {
            AddRow(content, rows);
            break;
        }
        AddRow(content.substr(0, end), rows);
        content.remove_prefix(end + 1);
    }
    return rows;
}
