#pragma once
// The document text of the fake context, with anchors that follow edits the way TSF's
// do: a start anchor keeps to the text before an insertion at its place, an end anchor
// to the text after it, so a range grows when text is inserted at its end. The
// selection moves on with text inserted at it, as an editor's caret does.

#include <memory>
#include <string>
#include <vector>

namespace fake_tsf {

struct Span {
    long start = 0;
    long end = 0;
    bool caret = false;  // both anchors keep to the text after an insertion at their place
};

class TextBuffer {
public:
    const std::wstring& Text() const { return text; }

    // A span over [start, end), clamped to the text, that follows later edits.
    std::shared_ptr<Span> Track(long start, long end, bool caret = false);

    // Replaces the span's text; the span then covers exactly the new text.
    void Replace(Span& span, const std::wstring& replacement);

    std::wstring TextOf(const Span& span) const;

private:
    long Clamp(long position) const;

    std::wstring text;
    std::vector<std::weak_ptr<Span>> spans;
};

}  // namespace fake_tsf
