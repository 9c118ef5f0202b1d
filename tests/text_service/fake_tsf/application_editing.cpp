// The application's own editing of the fake document, outside any session: what a plain
// multi-line edit control does with the keys a service leaves to it.

#include <algorithm>
#include <string>
#include <vector>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

namespace {

constexpr wchar_t LineBreak = L'\r';

long LineStart(const std::wstring& text, long position) {
    while (position > 0 && text[static_cast<std::size_t>(position - 1)] != LineBreak) --position;
    return position;
}

long LineEnd(const std::wstring& text, long position) {
    const long length = static_cast<long>(text.size());
    while (position < length && text[static_cast<std::size_t>(position)] != LineBreak) ++position;
    return position;
}

// Where the caret goes for an arrow, Home or End key from the selection [start, end).
long CaretAfterMove(const std::wstring& text, WPARAM vk, long start, long end) {
    const long length = static_cast<long>(text.size());
    const long lineStart = LineStart(text, end);
    const long column = end - lineStart;
    switch (vk) {
        case VK_LEFT:
            return start != end ? start : std::max(0L, end - 1);
        case VK_RIGHT:
            return start != end ? end : std::min(length, end + 1);
        case VK_HOME:
            return lineStart;
        case VK_END:
            return LineEnd(text, end);
        case VK_UP: {
            if (lineStart == 0) return end;
            const long above = LineStart(text, lineStart - 1);
            return above + std::min(column, lineStart - 1 - above);
        }
        case VK_DOWN: {
            const long lineEnd = LineEnd(text, end);
            if (lineEnd == length) return end;
            const long below = lineEnd + 1;
            return below + std::min(column, LineEnd(text, below) - below);
        }
        default:
            return end;
    }
}

}  // namespace

void FakeContext::MoveSelection(long start, long end) {
    selection->start = buffer.Clamp(std::min(start, end));
    selection->end = buffer.Clamp(std::max(start, end));
}

void FakeContext::TypeAtSelection(const std::wstring& text) {
    auto where = buffer.Track(selection->start, selection->end);
    const std::wstring inserted = text == L"\b" ? std::wstring() : text;
    if (text == L"\b" && where->start == where->end && where->start > 0) where->start -= 1;
    const long replacedStart = where->start;
    const long replacedEnd = where->end;
    // An edit of a composition's own text is no typing of the application's into it:
    // it ends the composition first, as applications do.
    for (;;) {
        const auto inside = std::find_if(compositions.begin(), compositions.end(), [&](auto& c) {
            const Span& span = c->Position();
            return replacedStart == replacedEnd
                       ? span.start < replacedStart && replacedStart < span.end
                       : replacedStart < span.end && span.start < replacedEnd;
        });
        if (inside == compositions.end() || TerminateComposition(inside->Get()) != S_OK) break;
    }
    // Compositions touching the edit, with their edges before it.
    struct Edges {
        FakeComposition* composition;
        long start;
        long end;
    };
    std::vector<Edges> touching;
    for (const auto& open : compositions) {
        const Span& span = open->Position();
        if (span.end == replacedStart || span.start == replacedEnd) {
            touching.push_back({open.Get(), span.start, span.end});
        }
    }
    ReplaceText(*where, inserted);
    const long insertedEnd = where->end;
    // A composition's range grows with text inserted at its edges; the application's own
    // text stays out of it.
    for (const Edges& edges : touching) {
        const Span& span = edges.composition->Position();
        if (edges.end == replacedStart) {
            edges.composition->MoveTo(std::min(span.start, replacedStart), replacedStart);
        } else {
            edges.composition->MoveTo(insertedEnd, std::max(span.end, insertedEnd));
        }
    }
    selection->start = selection->end = insertedEnd;
}

void FakeContext::ApplicationKey(WPARAM vk, wchar_t character) {
    switch (vk) {
        case VK_BACK:
            TypeAtSelection(L"\b");
            return;
        case VK_RETURN:
            TypeAtSelection(std::wstring(1, LineBreak));
            return;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END: {
            const long caret = CaretAfterMove(Text(), vk, selection->start, selection->end);
            MoveSelection(caret, caret);
            return;
        }
        default:
            break;
    }
    if (character >= 0x20 && character != 0x7F) TypeAtSelection(std::wstring(1, character));
}

}  // namespace fake_tsf
