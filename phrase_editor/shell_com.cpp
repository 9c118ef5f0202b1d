#include "shell_com.h"

#include <objbase.h>

ShellComScope::ShellComScope()
    : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ShellComScope::~ShellComScope() {
    if (SUCCEEDED(result)) CoUninitialize();  // S_FALSE too needs its CoUninitialize
}
