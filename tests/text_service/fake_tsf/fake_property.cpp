#include "fake_tsf/fake_property.h"

#include <algorithm>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

FakeProperty::FakeProperty(FakeContext* owner) : context(owner) {}

std::optional<PropertyValue> FakeProperty::ValueAt(long position) const {
    for (const auto& value : values) {
        if (value.start <= position && position < value.end) return value;
    }
    return std::nullopt;
}

// Keeps the parts of every value outside [start, end).
void FakeProperty::Remove(long start, long end) {
    std::vector<PropertyValue> kept;
    for (const auto& value : values) {
        if (value.end <= start || end <= value.start || start == end) {
            kept.push_back(value);
            continue;
        }
        if (value.start < start) kept.push_back({value.start, start, value.type, value.value});
        if (end < value.end) kept.push_back({end, value.end, value.type, value.value});
    }
    values = std::move(kept);
}

void FakeProperty::TextReplaced(long start, long end, long inserted) {
    const long delta = inserted - (end - start);
    std::vector<PropertyValue> kept;
    for (const auto& value : values) {
        if (value.start < start)
            kept.push_back({value.start, std::min(value.end, start), value.type, value.value});
        if (value.end > end) {
            kept.push_back(
                {std::max(value.start, end) + delta, value.end + delta, value.type, value.value});
        }
    }
    values = std::move(kept);
}

HRESULT STDMETHODCALLTYPE FakeProperty::SetValue(TfEditCookie ec, ITfRange* range,
                                                 const VARIANT* value) {
    if (context == nullptr) return E_UNEXPECTED;
    PropertyCall call{PropertyCall::Kind::SetValue, {}};
    FakeRange* fakeRange = context->OwnRange(range);
    if (fakeRange != nullptr) call.range = fakeRange->Position();
    if (value != nullptr) {
        call.type = value->vt;
        call.value = value->vt == VT_I4 ? value->lVal : 0;
    }
    if (!context->CanWrite(ec)) {
        call.result = TF_E_NOLOCK;
    } else if (FAILED(context->Failing(&FailureSwitches::propertySetValue))) {
        call.result = context->failures.propertySetValue;
    } else if (fakeRange == nullptr || value == nullptr || value->vt != VT_I4) {
        // The attribute property stores a guid atom, which is a VT_I4 and nothing else.
        call.result = E_INVALIDARG;
    } else {
        const Span& where = fakeRange->Position();
        Remove(where.start, where.end);
        if (where.start < where.end) {
            values.push_back({where.start, where.end, VT_I4, value->lVal});
            std::sort(
                values.begin(), values.end(),
                [](const PropertyValue& a, const PropertyValue& b) { return a.start < b.start; });
        }
    }
    calls.push_back(call);
    return call.result;
}

HRESULT STDMETHODCALLTYPE FakeProperty::Clear(TfEditCookie ec, ITfRange* range) {
    if (context == nullptr) return E_UNEXPECTED;
    PropertyCall call{PropertyCall::Kind::Clear, {}};
    FakeRange* fakeRange = context->OwnRange(range);
    if (fakeRange != nullptr) call.range = fakeRange->Position();
    if (!context->CanWrite(ec)) {
        call.result = TF_E_NOLOCK;
    } else if (range == nullptr) {
        values.clear();  // a null range clears the whole document
    } else if (fakeRange == nullptr) {
        call.result = E_INVALIDARG;
    } else {
        Remove(fakeRange->Position().start, fakeRange->Position().end);
    }
    calls.push_back(call);
    return call.result;
}

// The value when one value covers the whole range, else VT_EMPTY.
HRESULT STDMETHODCALLTYPE FakeProperty::GetValue(TfEditCookie ec, ITfRange* range, VARIANT* value) {
    if (context == nullptr) return E_UNEXPECTED;
    if (value == nullptr) return E_INVALIDARG;
    VariantInit(value);
    if (!context->CanRead(ec)) return TF_E_NOLOCK;
    FakeRange* fakeRange = context->OwnRange(range);
    if (fakeRange == nullptr) return E_INVALIDARG;
    const Span& where = fakeRange->Position();
    for (const auto& stored : values) {
        if (stored.start <= where.start && where.end <= stored.end && where.start < where.end) {
            value->vt = VT_I4;
            value->lVal = stored.value;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProperty::GetType(GUID* guid) {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = GUID_PROP_ATTRIBUTE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProperty::GetContext(ITfContext** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = context;
    if (*out == nullptr) return E_UNEXPECTED;
    (*out)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProperty::EnumRanges(TfEditCookie, IEnumTfRanges**, ITfRange*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProperty::FindRange(TfEditCookie, ITfRange*, ITfRange**, TfAnchor) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProperty::SetValueStore(TfEditCookie, ITfRange*, ITfPropertyStore*) {
    return E_NOTIMPL;
}

void* FakeProperty::FindInterface(REFIID iid) noexcept {
    if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfReadOnlyProperty) ||
        SameIid(iid, IID_ITfProperty)) {
        return static_cast<ITfProperty*>(this);
    }
    return nullptr;
}

}  // namespace fake_tsf
