#pragma once
// Results of TSF that MinGW-w64's headers do not name.

#include <msctf.h>
#include <windows.h>

#ifndef TF_S_ASYNC
#define TF_S_ASYNC ((HRESULT)0x00040300L)
#endif
#ifndef TF_E_LOCKED
#define TF_E_LOCKED ((HRESULT)0x80040500L)
#endif
