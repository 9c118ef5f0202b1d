#include "text_service.h"

// Every field starts at its default (see the header); nothing is read or loaded
// before activation.
TextService::TextService() = default;

TextService::~TextService() { Shutdown(); }

void* TextService::FindInterface(REFIID iid) noexcept {
    if (SameIid(iid, IID_IUnknown) || SameIid(iid, IID_ITfTextInputProcessor) ||
        SameIid(iid, IID_ITfTextInputProcessorEx)) {
        return static_cast<ITfTextInputProcessorEx*>(this);
    }
    if (SameIid(iid, IID_ITfKeyEventSink)) return static_cast<ITfKeyEventSink*>(this);
    if (SameIid(iid, IID_ITfCompositionSink)) return static_cast<ITfCompositionSink*>(this);
    if (SameIid(iid, IID_ITfDisplayAttributeProvider)) {
        return static_cast<ITfDisplayAttributeProvider*>(this);
    }
    return nullptr;
}
