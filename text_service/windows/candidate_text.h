#pragma once
// The texts the candidate window shows: the header with its page numbers and one row.

#include <cstddef>
#include <string>
#include <string_view>

// "【悠然Ka】 " with "page/pages" (page counted from 1) while candidates exist, else the
// product name alone.
std::wstring CandidateHeaderText(std::size_t candidateCount, std::size_t page);

// The label of page row `row`: that byte of the selection keys, or "?" past their end.
wchar_t CandidateRowLabel(std::string_view selectionKeys, std::size_t row);

// The label, ".  " and the candidate as it will be committed.
std::wstring CandidateRowText(std::string_view selectionKeys, std::size_t row,
                              const std::wstring& convertedCandidate);
