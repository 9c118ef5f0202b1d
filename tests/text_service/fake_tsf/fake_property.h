#pragma once
// The display-attribute property of the fake document: a static property, so the value
// over text that is written again is dropped, and clearing part of a value leaves the
// rest.

#include <msctf.h>
#include <windows.h>

#include <optional>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/text_buffer.h"

namespace fake_tsf {

class FakeContext;

// One SetValue or Clear, with the range's place at the time of the call.
struct PropertyCall {
    enum class Kind { SetValue, Clear } kind;
    Span range;
    VARTYPE type = VT_EMPTY;
    LONG value = 0;
    HRESULT result = S_OK;
};

// A value stored over [start, end).
struct PropertyValue {
    long start = 0;
    long end = 0;
    VARTYPE type = VT_EMPTY;
    LONG value = 0;
};

class FakeProperty final : public ComObject<FakeProperty, ModuleCount::NotCounted, ITfProperty> {
  public:
    explicit FakeProperty(FakeContext* context);

    const std::vector<PropertyCall>& Calls() const { return calls; }
    // The stored values, ordered by position, none overlapping another.
    const std::vector<PropertyValue>& Values() const { return values; }
    std::optional<PropertyValue> ValueAt(long position) const;

    // --- What the context uses ---
    // Text [start, end) was replaced by `inserted` characters: the values over the
    // replaced text are dropped and the new text carries none.
    void TextReplaced(long start, long end, long inserted);
    void Detach() { context = nullptr; }

    HRESULT STDMETHODCALLTYPE GetType(GUID* guid) override;
    HRESULT STDMETHODCALLTYPE EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) override;
    HRESULT STDMETHODCALLTYPE GetValue(TfEditCookie ec, ITfRange* range, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetContext(ITfContext** context) override;
    HRESULT STDMETHODCALLTYPE FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) override;
    HRESULT STDMETHODCALLTYPE SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) override;
    HRESULT STDMETHODCALLTYPE SetValue(TfEditCookie ec, ITfRange* range,
                                       const VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE Clear(TfEditCookie ec, ITfRange* range) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~FakeProperty() override = default;
    void Remove(long start, long end);

    FakeContext* context;
    std::vector<PropertyCall> calls;
    std::vector<PropertyValue> values;
};

}  // namespace fake_tsf
