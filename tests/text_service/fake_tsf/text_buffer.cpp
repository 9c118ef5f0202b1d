#include "fake_tsf/text_buffer.h"

#include <algorithm>

namespace fake_tsf {

long TextBuffer::Clamp(long position) const { return std::clamp(position, 0L, Length()); }

std::shared_ptr<Span> TextBuffer::Track(long start, long end, Gravity gravity) {
    auto span = std::make_shared<Span>();
    span->gravity = gravity;
    span->start = Clamp(std::min(start, end));
    span->end = Clamp(std::max(start, end));
    std::erase_if(spans, [](const std::weak_ptr<Span>& s) { return s.expired(); });
    spans.push_back(span);
    return span;
}

namespace {

// An anchor that keeps to the text before an edit at its place.
long BackwardAnchor(long position, long s, long e, long delta) {
    if (position <= s) return position;
    return position >= e ? position + delta : s;
}

// An anchor that keeps to the text after an edit at its place.
long ForwardAnchor(long position, long s, long e, long n, long delta) {
    if (position >= e) return position + delta;
    return position > s ? s + n : position;
}

}  // namespace

void TextBuffer::Replace(Span& span, const std::wstring& replacement) {
    const long s = Clamp(span.start);
    const long e = std::max(s, Clamp(span.end));
    const long n = static_cast<long>(replacement.size());
    const long delta = n - (e - s);
    text.replace(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s), replacement);
    for (const auto& weak : spans) {
        auto other = weak.lock();
        if (!other || other.get() == &span) continue;
        other->start = BackwardAnchor(other->start, s, e, delta);
        other->end = other->gravity == Gravity::Selection
                         ? BackwardAnchor(other->end, s, e, delta)
                         : ForwardAnchor(other->end, s, e, n, delta);
    }
    span.start = s;
    span.end = s + n;
}

std::wstring TextBuffer::TextOf(const Span& span) const {
    const long s = Clamp(span.start);
    const long e = std::max(s, Clamp(span.end));
    return text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(e - s));
}

}  // namespace fake_tsf
