#include "windows/candidate_text.h"

#include <cstdint>

#include "windows/candidate_geometry.h"

std::wstring CandidateHeaderText(std::size_t candidateCount, std::size_t page) {
    std::wstring text = L"\u3010\u60a0\u7136Ka\u3011";
    if (candidateCount == 0) return text;
    text += L' ';
    text += std::to_wstring(page + 1);
    text += L'/';
    text += std::to_wstring(CandidatePageCount(candidateCount));
    return text;
}

wchar_t CandidateRowLabel(std::string_view selectionKeys, std::size_t row) {
    if (row >= selectionKeys.size()) return L'?';
    // A byte above 0x7F is sign-extended to one 16-bit code, as a signed char widens.
    const auto widened = static_cast<std::int16_t>(static_cast<signed char>(selectionKeys[row]));
    return static_cast<wchar_t>(static_cast<std::uint16_t>(widened));
}

std::wstring CandidateRowText(std::string_view selectionKeys, std::size_t row,
                              const std::wstring& convertedCandidate) {
    std::wstring text(1, CandidateRowLabel(selectionKeys, row));
    text += L".  ";
    text += convertedCandidate;
    return text;
}
