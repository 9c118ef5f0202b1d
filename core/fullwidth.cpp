#include "text_conversion.h"

wchar_t ToFullwidth(wchar_t unit) {
    if (unit == L' ') return static_cast<wchar_t>(0x3000);
    if (unit >= L'!' && unit <= L'~') return static_cast<wchar_t>(unit + 0xFEE0);
    return unit;
}
