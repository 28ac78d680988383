#include "com/text.h"

namespace com {

std::wstring WideFromAnsi(const char* text, int length)
{
    if (!text) return std::wstring();
    if (length < 0) length = lstrlenA(text);
    if (length == 0) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], n);
    return out;
}

std::string AnsiFromWide(const wchar_t* text, int length)
{
    if (!text) return std::string();
    if (length < 0) length = lstrlenW(text);
    if (length == 0) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

BSTR BstrFromAnsi(const char* text)
{
    if (!text) return nullptr;
    std::wstring wide = WideFromAnsi(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string AnsiFromBstr(BSTR text)
{
    return text ? AnsiFromWide(text, static_cast<int>(SysStringLen(text))) : std::string();
}

}  // namespace com
