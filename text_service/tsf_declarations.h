#pragma once
// Platform declarations the text service needs that MinGW-w64's headers lack. A full
// Windows SDK declares them itself; the guards let its declarations win.

#include <msctf.h>
#include <windows.h>

#ifndef __ITfTextInputProcessorEx_INTERFACE_DEFINED__
#define __ITfTextInputProcessorEx_INTERFACE_DEFINED__
struct ITfTextInputProcessorEx : public ITfTextInputProcessor {
    virtual HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr* threadMgr, TfClientId clientId,
                                                 DWORD flags) = 0;
};
inline constexpr IID IID_ITfTextInputProcessorEx = {
    0x6E4E2102, 0xF9CD, 0x433D, {0xB4, 0x96, 0x30, 0x3C, 0xE0, 0x3A, 0x65, 0x07}};
#endif

#ifndef __ITfDisplayAttributeProvider_INTERFACE_DEFINED__
#define __ITfDisplayAttributeProvider_INTERFACE_DEFINED__
struct ITfDisplayAttributeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** enumInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayAttributeInfo(REFGUID guid,
                                                              ITfDisplayAttributeInfo** info) = 0;
};
inline constexpr IID IID_ITfDisplayAttributeProvider = {
    0xFEE47777, 0x163C, 0x4769, {0x99, 0x6A, 0x6E, 0x9C, 0x50, 0xAD, 0x8F, 0x54}};
#endif

#ifdef __MINGW32__
inline constexpr GUID GUID_TFCAT_TIPCAP_IMMERSIVESUPPORT = {
    0x13A016DF, 0x560B, 0x46CD, {0x94, 0x7A, 0x4C, 0x3A, 0xF1, 0xE0, 0xE3, 0x5D}};
inline constexpr GUID GUID_TFCAT_TIPCAP_SYSTRAYSUPPORT = {
    0x25504FB4, 0x7BAB, 0x4BC1, {0x9C, 0x69, 0xCF, 0x81, 0x89, 0x0F, 0x0E, 0xF5}};
#endif

#ifndef TF_E_SYNCHRONOUS
#define TF_E_SYNCHRONOUS ((HRESULT)0x80040208L)
#endif

// input.dll, loaded at run time by the settings program.
using InstallLayoutOrTipFunction = BOOL(WINAPI*)(LPCWSTR profile, DWORD flags);
#ifndef ILOT_UNINSTALL
#define ILOT_UNINSTALL 0x00000001
#endif
