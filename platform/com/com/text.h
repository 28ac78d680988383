// ANSI <-> wide conversion in the current code page, and BSTR <-> ANSI.
// Components hold texts as ANSI; BSTR appears only at interfaces.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

namespace com {

std::wstring WideFromAnsi(const char* text, int length = -1);
std::string AnsiFromWide(const wchar_t* text, int length = -1);

// A new BSTR holding the ANSI text (null text: null BSTR).
BSTR BstrFromAnsi(const char* text);
inline BSTR BstrFromAnsi(const std::string& text) { return BstrFromAnsi(text.c_str()); }

// The BSTR's text in ANSI (null BSTR: empty text).
std::string AnsiFromBstr(BSTR text);

}  // namespace com
