#pragma once
// The display attribute of the reading: the application's colours with a thin solid
// underline in the theme's selection colour, read from the settings store each time.

#include <msctf.h>
#include <windows.h>

#include "com_object.h"

// These objects hold nothing of the service, but they are counted so the library stays
// loaded while a client still holds one and will call back into its code.
class ReadingAttributeInfo final
    : public ComObject<ReadingAttributeInfo, ModuleCount::Counted, ITfDisplayAttributeInfo> {
  public:
    ReadingAttributeInfo() noexcept = default;

    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override;
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override;
    HRESULT STDMETHODCALLTYPE GetAttributeInfo(TF_DISPLAYATTRIBUTE* attribute) override;
    HRESULT STDMETHODCALLTYPE SetAttributeInfo(const TF_DISPLAYATTRIBUTE* attribute) override;
    HRESULT STDMETHODCALLTYPE Reset() override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~ReadingAttributeInfo() override = default;
};

// Yields the one attribute once.
class ReadingAttributeEnum final
    : public ComObject<ReadingAttributeEnum, ModuleCount::Counted, IEnumTfDisplayAttributeInfo> {
  public:
    explicit ReadingAttributeEnum(bool startDone) noexcept : done(startDone) {}

    HRESULT STDMETHODCALLTYPE Clone(IEnumTfDisplayAttributeInfo** out) override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, ITfDisplayAttributeInfo** infos,
                                   ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;

    void* FindInterface(REFIID iid) noexcept;

  private:
    ~ReadingAttributeEnum() override = default;

    bool done;
};

// The attribute as TSF is told it, for a given underline colour.
TF_DISPLAYATTRIBUTE ReadingAttribute(COLORREF underline) noexcept;

// "悠然輸入法組字字根", escaped so every compiler reads it the same.
inline constexpr wchar_t ReadingAttributeDescription[] =
    L"\u60A0\u7136\u8F38\u5165\u6CD5\u7D44\u5B57\u5B57\u6839";
