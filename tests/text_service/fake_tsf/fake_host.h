#pragma once
// An application's side of the fake TSF in one object: a thread manager with its
// keystroke manager, documents on their own document managers, the keyboard focus and
// a keyboard that delivers keys as Windows does; the keys the service does not eat the
// focused document types as an edit control would.

#include <msctf.h>
#include <windows.h>

#include <string>
#include <vector>

#include "com_ptr.h"
#include "fake_tsf/fake_context.h"
#include "fake_tsf/fake_thread_mgr.h"
#include "fake_tsf/key_delivery.h"

namespace fake_tsf {

class FakeHost {
  public:
    FakeHost()
        : threadMgr(Make<FakeThreadMgr>()),
          keyboard(static_cast<ITfKeystrokeMgr*>(threadMgr.Get())) {}
    ~FakeHost() {
        for (auto& document : documents) document->Pop(0);
    }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // A new document holding `text` with the caret at `caret` (-1: at its end), pushed on
    // a document manager of its own; it does not take the focus.
    ComPtr<FakeContext> NewDocument(const std::wstring& text = L"", long caret = -1) {
        auto manager = Make<FakeDocumentMgr>();
        auto context = Make<FakeContext>();
        context->SetDocument(text, caret < 0 ? static_cast<long>(text.size()) : caret);
        manager->Push(context.Get());
        documents.push_back(manager);
        return context;
    }

    // Gives the thread's focus to the document (null: to no document). A document switch
    // inside the thread is no focus change of the service, which hears nothing of it.
    void Focus(FakeContext* document) {
        ITfDocumentMgr* target = nullptr;
        for (auto& manager : documents) {
            if (manager->Top() == document) target = manager.Get();
        }
        threadMgr->SetFocus(target);
    }

    FakeContext* Focused() const { return threadMgr->FocusedContext(); }

    // The application's window is left (false) or activated again (true): the service as
    // a whole loses or gains the keyboard focus and hears OnSetFocus.
    void ServiceFocus(bool gained) { threadMgr->ServiceFocus(gained); }

    // Runs what every document has queued, as the applications' message loops grant
    // their locks after a key message.
    void RunPendingSessions() {
        for (auto& manager : documents) {
            if (manager->Top() != nullptr) manager->Top()->RunPendingSessions();
        }
    }

    ITfThreadMgr* ThreadMgr() const { return threadMgr.Get(); }

    ComPtr<FakeThreadMgr> threadMgr;
    Keyboard keyboard;

  private:
    std::vector<ComPtr<FakeDocumentMgr>> documents;
};

}  // namespace fake_tsf
