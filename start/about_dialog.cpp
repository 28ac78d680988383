#include "about_dialog.h"
#include "backdrop.h"
#include "common_settings.h"
#include "resource.h"
#include <shared/log.h>
#include <shared/translator.h>
#include <cstdio>
#include <vector>

namespace {

const DWORD kTranslations[] = {
    TRANSLATE_KIND_TEXT, CAboutDialog::IDC_MODULES_LABEL, IDS_ABOUT_MODULES,
    TRANSLATE_KIND_TEXT, CAboutDialog::IDC_SITE_LABEL, IDS_ABOUT_SITE,
    TRANSLATE_KIND_TEXT, CAboutDialog::IDC_MAIL_LABEL, IDS_ABOUT_SUPPORT,
    TRANSLATE_TABLE_END};

std::string CommonString(UINT id, const char* builtin)
{
    const std::string text = LookUpLangStr(COMMON_LANG_SECTION, id);
    return text.empty() ? builtin : text;
}

std::string ApptypeValue(const char* tag) { return GetCommonString("ApptypeData", tag, ""); }

// The file version "a.b.c.d" of a module's version resource; false without one.
bool FileVersion(const std::string& path, std::string* version)
{
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (!size) return false;
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    char text[64];
    std::snprintf(text, sizeof(text), "%i.%i.%i.%i", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    *version = text;
    return true;
}

}  // namespace

std::string CopyrightLine(const std::string& holder, const std::string& first, const std::string& last)
{
    const std::string years = first == last ? first : first + "-" + last;
    return "Copyright (C) " + years + " " + holder;
}

std::string ListModuleVersions(const std::string& folder)
{
    std::string lines;
    for (const char* pattern : {"*.ax", "*.ocx", "*.dll", "*.exe"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((folder + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::string version;
            if (FileVersion(folder + found.cFileName, &version))
                lines += std::string(lines.empty() ? "" : "\r\n") + found.cFileName + " version " + version;
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    return lines;
}

LRESULT CAboutDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CLogFunctionScope scope("CAboutDialog OnInitDialog");
    const std::string title = ApptypeValue("Title");
    const std::string site = ApptypeValue("Site");
    const std::string mail = ApptypeValue("Mail");
    ::SetDlgItemTextA(m_hWnd, IDC_VERSION,
                      (CommonString(IDS_ABOUT_VERSION, "version") + " " + ApptypeValue("Version")).c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_COPYRIGHT,
                      CopyrightLine(ApptypeValue("CopyrightHolder"), ApptypeValue("FirstDevelopmentYear"),
                                    ApptypeValue("LastDevelopmentYear"))
                          .c_str());
    SetText(CommonString(IDS_ABOUT_CAPTION, "About") + " " + title);
    ::SetDlgItemTextA(m_hWnd, IDC_TITLE, title.c_str());
    m_site.Attach(m_hWnd, IDC_SITE, site, site.empty() ? "" : "http://" + site);
    m_mail.Attach(m_hWnd, IDC_MAIL, mail, mail.empty() ? "" : "mailto:" + mail);
    TranslateDialogTexts(COMMON_LANG_SECTION, m_hWnd, kTranslations);
    ::SetDlgItemTextA(m_hWnd, IDC_MODULES,
                      ListModuleVersions(GetCommonString("Application", "Path", "")).c_str());
    CenterWindow();
    ::SetFocus(GetDlgItem(IDOK));  // not the module list, which would show all selected
    return FALSE;
}

LRESULT CAboutDialog::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    FillBackdrop(reinterpret_cast<HDC>(wParam), GetClientRect());
    return 1;
}

LRESULT CAboutDialog::OnControlColor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (::GetDlgCtrlID(control) == IDC_MODULES) {
        handled = FALSE;  // the module list keeps its own colours
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkMode(dc, TRANSPARENT);
    if ((control == m_site.m_hWnd && m_site.HasTarget()) || (control == m_mail.m_hWnd && m_mail.HasTarget()))
        ::SetTextColor(dc, RGB(0, 0, 255));
    return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
}

LRESULT CAboutDialog::OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (wParam != IDC_TITLE || !item) {
        handled = FALSE;
        return 0;
    }
    char text[256] = "";
    ::GetWindowTextA(item->hwndItem, text, sizeof(text));
    HFONT current = static_cast<HFONT>(::GetCurrentObject(item->hDC, OBJ_FONT));
    LOGFONTA face = {};
    HFONT bold = nullptr;
    if (::GetObjectA(current, sizeof(face), &face) && face.lfWeight < FW_BOLD) {
        face.lfWeight = FW_BOLD;
        bold = ::CreateFontIndirectA(&face);
    }
    HGDIOBJ old = bold ? ::SelectObject(item->hDC, bold) : nullptr;
    ::SetBkMode(item->hDC, TRANSPARENT);
    RECT rc = item->rcItem;
    ::DrawTextA(item->hDC, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (bold) {
        ::SelectObject(item->hDC, old);
        ::DeleteObject(bold);
    }
    return TRUE;
}
