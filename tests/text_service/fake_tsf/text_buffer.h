#pragma once
// The document text of the fake context, with anchors that follow edits the way TSF's
// do: a range's start anchor keeps to the text before an insertion at its place, its end
// anchor to the text after it, so a range grows when text is inserted at its end.
// The selection is an application's, not a range: neither of its anchors moves for text
// inserted at its place, so only a service's SetSelection puts the caret after new text.

#include <memory>
#include <string>
#include <vector>

namespace fake_tsf {

enum class Gravity {
    Range,      // start backward, end forward
    Selection,  // both backward: the caret stays before text inserted at it
};

struct Span {
    long start = 0;
    long end = 0;
    Gravity gravity = Gravity::Range;
};

class TextBuffer {
  public:
    const std::wstring& Text() const { return text; }
    long Length() const { return static_cast<long>(text.size()); }

    // A span over [start, end), clamped to the text, that follows later edits.
    std::shared_ptr<Span> Track(long start, long end, Gravity gravity = Gravity::Range);

    // Replaces the span's text; the span then covers exactly the new text.
    void Replace(Span& span, const std::wstring& replacement);

    std::wstring TextOf(const Span& span) const;
    long Clamp(long position) const;

  private:
    std::wstring text;
    std::vector<std::weak_ptr<Span>> spans;
};

}  // namespace fake_tsf
