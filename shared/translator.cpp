#include "translator.h"
#include <com/bstr.h>
#include <cstring>

namespace {

bool TryLangStr(const std::string& section, unsigned long id, std::string* text)
{
    com::Bstr result;
    if (FAILED(g_compTranslator->GetLangStr(com::Bstr(section), id, &result))) return false;
    *text = result.Ansi();
    return true;
}

}  // namespace

std::string LookUpLangStr(const std::string& section, unsigned long id)
{
    std::string text;
    if (!g_compTranslator) return text;
    if (!TryLangStr(section, id, &text)) TryLangStr(COMMON_LANG_SECTION, id, &text);
    return text;
}

void TranslateDialogTexts(const std::string& section, HWND dialog, const DWORD* table)
{
    for (const DWORD* row = table; row && row[0] != TRANSLATE_TABLE_END; row += 3) {
        if (row[0] != TRANSLATE_KIND_TEXT) continue;
        HWND control = GetDlgItem(dialog, static_cast<int>(row[1]));
        if (!control) continue;
        std::string text = LookUpLangStr(section, row[2]);
        if (!text.empty()) SetWindowTextA(control, text.c_str());
    }
}

bool TranslateToolTip(const std::string& section, NMTTDISPINFOA* info)
{
    UINT_PTR id = info->hdr.idFrom;
    if (id == 0 || (info->uFlags & TTF_IDISHWND)) return true;
    std::string text = LookUpLangStr(section, static_cast<unsigned long>(id));
    if (text.empty()) return false;
    std::string tip = text;
    std::size_t newline = text.find('\n');
    if (newline != std::string::npos) {
        tip = text.substr(newline + 1);
        if (tip.empty()) tip = text.substr(0, newline);
    }
    const std::size_t room = sizeof(info->szText) - 1;
    std::size_t n = tip.size() < room ? tip.size() : room;
    std::memcpy(info->szText, tip.data(), n);
    info->szText[n] = '\0';
    info->lpszText = info->szText;
    return true;
}

bool TranslateToolTipW(const std::string& section, NMTTDISPINFOW* info)
{
    NMTTDISPINFOA ansi = {};
    ansi.hdr = info->hdr;
    ansi.uFlags = info->uFlags;
    if (!TranslateToolTip(section, &ansi)) return false;
    // The ANSI text fits the wide buffer of the same length.
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.szText, -1, info->szText, sizeof(info->szText) / sizeof(WCHAR));
    if (n == 0) info->szText[0] = L'\0';
    info->lpszText = info->szText;
    return true;
}
