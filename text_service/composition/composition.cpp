// The composition: started at the selection, showing the reading with its display
// attribute, and ended by a commit. These are the only places where the service changes
// a document's text.

#include "text_conversion.h"
#include "text_service.h"

namespace {

HRESULT PlaceCaret(TfEditCookie cookie, ITfContext* context, ITfRange* range) {
    TF_SELECTION selection{};
    selection.range = range;
    selection.style.ase = TF_AE_NONE;
    selection.style.fInterimChar = FALSE;
    return context->SetSelection(cookie, 1, &selection);
}

}  // namespace

// Without an atom, or when the property fails, the reading goes without its underline.
void TextService::MarkReading(TfEditCookie cookie, ITfContext* context, ITfRange* range) {
    ComPtr<ITfProperty> attribute;
    if (readingAtom == 0 || FAILED(context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.Put())) ||
        !attribute) {
        return;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(readingAtom);
    attribute->SetValue(cookie, range, &value);
}

bool TextService::HoldsCompositionIn(ITfContext* context) const noexcept {
    return composition && compositionContext.Get() == context;
}

HRESULT TextService::EnsureComposition(TfEditCookie cookie, ITfContext* context) {
    if (HoldsCompositionIn(context)) return S_OK;
    // A composition held in another document is dropped there, not ended: only a session
    // of that document could end it.
    composition.Reset();
    compositionContext.Reset();

    ComPtr<ITfContext> document(context);
    ComPtr<ITfInsertAtSelection> insert;
    HRESULT hr = document.As(IID_ITfInsertAtSelection, insert);
    if (FAILED(hr)) return hr;
    ComPtr<ITfRange> selection;
    hr = insert->InsertTextAtSelection(cookie, TF_IAS_QUERYONLY, L"", 0, selection.Put());
    if (FAILED(hr)) return hr;
    if (!selection) return E_FAIL;

    ComPtr<ITfContextComposition> compositions;
    hr = document.As(IID_ITfContextComposition, compositions);
    if (FAILED(hr)) return hr;
    hr = compositions->StartComposition(cookie, selection.Get(),
                                        static_cast<ITfCompositionSink*>(this), composition.Put());
    if (FAILED(hr)) return hr;
    // The application may refuse with S_OK and no composition: a failed start.
    if (!composition) return E_FAIL;
    compositionContext = document;
    return hr;
}

HRESULT TextService::SetCompositionText(TfEditCookie cookie, ITfContext* context,
                                        const std::wstring& text) {
    HRESULT hr = EnsureComposition(cookie, context);
    if (FAILED(hr)) return hr;
    ComPtr<ITfRange> range;
    if (FAILED(composition->GetRange(range.Put())) || !range) return E_FAIL;

    const std::wstring shown = text.empty() ? Utf8ToWide(composer.ReadingText()) : text;
    hr = range->SetText(cookie, 0, shown.c_str(), static_cast<LONG>(shown.size()));
    if (FAILED(hr)) return hr;

    // Writing the text dropped the attribute over it: set it again after every edit.
    if (!shown.empty()) MarkReading(cookie, context, range.Get());

    ComPtr<ITfRange> caret;
    if (SUCCEEDED(range->Clone(caret.Put())) && caret &&
        SUCCEEDED(caret->Collapse(cookie, TF_ANCHOR_END))) {
        PlaceCaret(cookie, context, caret.Get());
    }
    ShowToolbar(true);
    return S_OK;
}

HRESULT TextService::CommitText(TfEditCookie cookie, ITfContext* context, std::string_view text,
                                bool direct) {
    DestroyCandidateWindow();
    std::wstring output;
    if (direct) {
        output = Utf8ToWide(text);
        if (fullwidthOutput) {
            for (wchar_t& unit : output) unit = ToFullwidth(unit);
        }
    } else {
        output = ConvertOutput(text);
    }

    if (!HoldsCompositionIn(context)) {
        if (output.empty()) {
            ShowToolbar(true);
            return S_OK;
        }
        ComPtr<ITfContext> document(context);
        ComPtr<ITfInsertAtSelection> insert;
        HRESULT hr = document.As(IID_ITfInsertAtSelection, insert);
        if (FAILED(hr)) return hr;
        ComPtr<ITfRange> inserted;
        hr = insert->InsertTextAtSelection(cookie, 0, output.c_str(),
                                           static_cast<LONG>(output.size()), inserted.Put());
        if (FAILED(hr)) return hr;
        // Where the caret goes after the insertion is the application's choice; one that
        // keeps it before the text would have the next commit read backwards. Once the
        // text is in, a caret that cannot be placed fails nothing.
        if (inserted && SUCCEEDED(inserted->Collapse(cookie, TF_ANCHOR_END))) {
            PlaceCaret(cookie, context, inserted.Get());
        }
        ShowToolbar(true);
        return S_OK;
    }

    ComPtr<ITfRange> range;
    HRESULT hr = composition->GetRange(range.Put());
    if (FAILED(hr)) return hr;
    if (!range) return E_FAIL;
    hr = range->SetText(cookie, 0, output.c_str(), static_cast<LONG>(output.size()));
    if (FAILED(hr)) return hr;
    // The text is committed from here on. What fails after this cannot take it back, so
    // it does not fail the key either: the application would type the key a second time.
    ComPtr<ITfProperty> attribute;
    if (SUCCEEDED(context->GetProperty(GUID_PROP_ATTRIBUTE, attribute.Put())) && attribute) {
        attribute->Clear(cookie, range.Get());
    }
    ComPtr<ITfRange> caret;
    const bool cloned = SUCCEEDED(range->Clone(caret.Put())) && caret;

    // A composition that will not end is let go of, as one in another document is.
    ComPtr<ITfComposition> ending = std::move(composition);
    compositionContext.Reset();
    ending->EndComposition(cookie);
    if (cloned && SUCCEEDED(caret->Collapse(cookie, TF_ANCHOR_END))) {
        PlaceCaret(cookie, context, caret.Get());
    }
    ShowToolbar(true);
    return S_OK;
}
