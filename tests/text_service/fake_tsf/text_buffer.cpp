#include "fake_tsf/text_buffer.h"

#include <algorithm>

namespace fake_tsf {

long TextBuffer::Clamp(long position) const {
    return std::clamp(position, 0L, static_cast<long>(text.size()));
}

std::shared_ptr<Span> TextBuffer::Track(long start, long end, bool caret) {
    auto span = std::make_shared<Span>();
    span->caret = caret;
    span->start = Clamp(std::min(start, end));
    span->end = Clamp(std::max(start, end));
    std::erase_if(spans, [](const std::weak_ptr<Span>& s) { return s.expired(); });
    spans.push_back(span);
    return span;
}

void TextBuffer::Replace(Span& span, const std::wstring& replacement) {
    const long s = span.start;
    const long e = span.end;
    const long n = static_cast<long>(replacement.size());
    const long delta = n - (e - s);
    text.replace(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s), replacement);
    for (const auto& weak : spans) {
        auto other = weak.lock();
        if (!other || other.get() == &span) continue;
        long& start = other->start;
        long& end = other->end;
        const bool startMoves = start > s || (other->caret && start == e);
        if (startMoves) start = start >= e ? start + delta : s;
        if (end >= e) {
            end += delta;
        } else if (end > s) {
            end = s + n;
        }
    }
    span.start = s;
    span.end = s + n;
}

std::wstring TextBuffer::TextOf(const Span& span) const {
    return text.substr(static_cast<std::size_t>(span.start),
                       static_cast<std::size_t>(span.end - span.start));
}

}  // namespace fake_tsf
