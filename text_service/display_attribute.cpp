#include "display_attribute.h"

#include "boundary_guard.h"
#include "identifiers.h"
#include "settings_store.h"
#include "text_service.h"

TF_DISPLAYATTRIBUTE ReadingAttribute(COLORREF underline) noexcept {
    TF_DISPLAYATTRIBUTE attribute{};
    attribute.crText.type = TF_CT_NONE;
    attribute.crBk.type = TF_CT_NONE;
    attribute.lsStyle = TF_LS_SOLID;
    attribute.fBoldLine = FALSE;
    attribute.crLine.type = TF_CT_COLORREF;
    attribute.crLine.cr = underline;
    attribute.bAttr = TF_ATTR_INPUT;
    return attribute;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeInfo::GetGUID(GUID* guid) {
    if (guid == nullptr) return E_POINTER;
    *guid = GUID_ReadingDisplayAttribute;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeInfo::GetDescription(BSTR* description) {
    if (description == nullptr) return E_POINTER;
    *description = SysAllocString(ReadingAttributeDescription);
    return *description != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeInfo::GetAttributeInfo(TF_DISPLAYATTRIBUTE* attribute) {
    if (attribute == nullptr) return E_POINTER;
    return GuardCom([&] {
        // Read on every call, so a colour saved by the settings program shows at once.
        *attribute = ReadingAttribute(ReadThemeColors().selection);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ReadingAttributeInfo::SetAttributeInfo(const TF_DISPLAYATTRIBUTE*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeInfo::Reset() { return S_OK; }

void* ReadingAttributeInfo::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_ITfDisplayAttributeInfo,
                        static_cast<ITfDisplayAttributeInfo*>(this));
}

HRESULT STDMETHODCALLTYPE ReadingAttributeEnum::Clone(IEnumTfDisplayAttributeInfo** out) {
    if (out == nullptr) return E_POINTER;
    return HandOutNew(NewComObject<ReadingAttributeEnum>(done), out);
}

HRESULT STDMETHODCALLTYPE ReadingAttributeEnum::Next(ULONG count, ITfDisplayAttributeInfo** infos,
                                                     ULONG* fetched) {
    if (infos == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
    if (fetched != nullptr) *fetched = 0;
    if (count == 0 || done) return S_FALSE;
    infos[0] = NewComObject<ReadingAttributeInfo>();
    if (infos[0] == nullptr) return E_OUTOFMEMORY;
    done = true;
    if (fetched != nullptr) *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeEnum::Reset() {
    done = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ReadingAttributeEnum::Skip(ULONG count) {
    if (count == 0) return S_OK;
    if (done) return S_FALSE;
    done = true;
    return count == 1 ? S_OK : S_FALSE;
}

void* ReadingAttributeEnum::FindInterface(REFIID iid) noexcept {
    return OwnInterface(iid, IID_IEnumTfDisplayAttributeInfo,
                        static_cast<IEnumTfDisplayAttributeInfo*>(this));
}

HRESULT STDMETHODCALLTYPE TextService::EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** out) {
    if (out == nullptr) return E_POINTER;
    return HandOutNew(NewComObject<ReadingAttributeEnum>(false), out);
}

HRESULT STDMETHODCALLTYPE TextService::GetDisplayAttributeInfo(REFGUID guid,
                                                               ITfDisplayAttributeInfo** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!SameIid(guid, GUID_ReadingDisplayAttribute)) return E_INVALIDARG;
    return HandOutNew(NewComObject<ReadingAttributeInfo>(), out);
}
