#pragma once
// The rows the phrase list shows for the user-phrase file's bytes.

#include <string_view>
#include <vector>

struct PhraseRow {
    std::string_view code;    // as written in the file
    std::string_view phrase;  // from the first non-blank after the code; trailing blanks kept
};

// Lines end at LF only (a lone CR ends none); each line loses one final CR and one
// leading byte-order mark; lines without a code, blanks and a phrase are not listed.
std::vector<PhraseRow> ListPhraseRows(std::string_view content);
