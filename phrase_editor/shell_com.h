#pragma once
// COM on the program's thread for the shell: ShellExecuteW may hand "open" to extensions
// activated through COM, which asks for an apartment-threaded thread without OLE1 DDE.

#include <windows.h>

class ShellComScope {
  public:
    // A failure leaves the thread as it was; the program goes on without COM.
    ShellComScope();
    ~ShellComScope();
    ShellComScope(const ShellComScope&) = delete;
    ShellComScope& operator=(const ShellComScope&) = delete;

    HRESULT Result() const { return result; }

  private:
    HRESULT result;
};
