#include "startup_dialog.h"
#include "common_settings.h"
#include "project_chooser.h"
#include "project_types.h"
#include "resource.h"
#include "wait_window.h"
#include <com/bstr.h>
#include <com/text.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <algorithm>

namespace {

const DWORD kTranslations[] = {
    TRANSLATE_KIND_TEXT, CStartupDialog::IDC_DESCRIPTION_LABEL, 2003,
    TRANSLATE_KIND_TEXT, IDCANCEL, 15,
    TRANSLATE_KIND_TEXT, IDOK, 14,
    TRANSLATE_TABLE_END};

std::string CommonString(UINT id) { return LookUpLangStr(COMMON_LANG_SECTION, id); }

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

CStartupDialog::~CStartupDialog()
{
    if (m_images) ImageList_Destroy(m_images);
}

LRESULT CStartupDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CLogFunctionScope scope("CStartupDialog OnInitDialog");
    // Creating a project type may start the engine server.
    CWaitWindow wait(::GetParent(m_hWnd), CommonString(IDS_INIT_ENGINE_WAIT));
    SetText(CommonString(IDS_CHOOSE_PROJECT_TYPE));
    HWND list = GetDlgItem(IDC_PROJECTS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_INFOTIP);
    CreateProjects();
    if (m_projects.size() == 1) {
        // Straight to the only type. A modal dialog ends with EndDialog:
        // that alone enables its owner again.
        m_chosen = m_projects.front();
        EndDialog(IDOK);
        return TRUE;
    }
    if (!FillList()) {
        CLogFunctionScope failure("CStartupDialog_InitProjectsImagelist");
        LogFailure("m_ilProjectsImages.Create()", static_cast<long>(::GetLastError()), 0);
        TitledMessageBox(::GetFocus(), CommonString(IDS_PROJECTS_LIST_FAILED).c_str(), MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    FitListToItems();
    TranslateDialogTexts(COMMON_LANG_SECTION, m_hWnd, kTranslations);
    CenterWindow();
    ShowSelection();
    return TRUE;
}

void CStartupDialog::CreateProjects()
{
    for (const auto& type : RegisteredProjectTypes()) {
        com::ComPtr<IProject> project;
        if (SUCCEEDED(CreateProjectType(type.second.c_str(), &project))) m_projects.push_back(project);
    }
}

bool CStartupDialog::FillList()
{
    m_images = ImageList_Create(48, 48, ILC_COLOR24 | ILC_MASK, 0, 10);
    if (!m_images) return false;
    HWND list = GetDlgItem(IDC_PROJECTS);
    ListView_SetImageList(list, m_images, LVSIL_NORMAL);
    for (size_t index = 0; index < m_projects.size(); ++index) {
        BSTR name = nullptr;
        HICON icon = nullptr;
        if (FAILED(m_projects[index]->GetName(&name)) || FAILED(m_projects[index]->GetIcon(&icon))) {
            ::SysFreeString(name);
            continue;
        }
        std::string text = com::AnsiFromBstr(name);
        ::SysFreeString(name);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(m_itemProject.size());
        item.pszText = &text[0];
        item.iImage = ImageList_AddIcon(m_images, icon);
        // The list keeps its own copy; the handle handed out is ours to free.
        if (icon) ::DestroyIcon(icon);
        if (::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
            m_itemProject.push_back(static_cast<int>(index));
    }
    return true;
}

// The list grows so that every item shows without scrolling; what lies
// below it moves down by as much and the dialog grows with it.
void CStartupDialog::FitListToItems()
{
    HWND list = GetDlgItem(IDC_PROJECTS);
    const int count = static_cast<int>(m_itemProject.size());
    if (count == 0) return;
    DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(list, FALSE));
    const int itemWidth = LOWORD(spacing), itemHeight = HIWORD(spacing);
    RECT listRect = ChildRect(m_hWnd, list), client;
    ::GetClientRect(list, &client);
    const int perRow = std::max(1, static_cast<int>(client.right) / std::max(1, itemWidth));
    const int rows = (count + perRow - 1) / perRow;
    const int grow = std::max(0, rows * itemHeight + 8 - static_cast<int>(client.bottom));
    if (grow == 0) return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(m_hWnd, child);
        if (child == list)
            ::SetWindowPos(child, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + grow,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        else if (rect.top >= listRect.bottom)
            ::SetWindowPos(child, nullptr, rect.left, rect.top + grow, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CStartupDialog::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if ((LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) && !HIWORD(wParam)) {
        HWND parent = ::GetParent(m_hWnd);
        if (parent)
            ::SetWindowPos(parent, m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    handled = FALSE;
    return 0;
}

int CStartupDialog::SelectedItem() const
{
    int item = ListView_GetNextItem(::GetDlgItem(m_hWnd, IDC_PROJECTS), -1, LVNI_SELECTED);
    return item >= 0 && item < static_cast<int>(m_itemProject.size()) ? item : -1;
}

void CStartupDialog::ShowSelection()
{
    const int item = SelectedItem();
    std::string description;
    if (item >= 0) {
        BSTR text = nullptr;
        if (SUCCEEDED(m_projects[m_itemProject[item]]->GetDescription(&text))) description = com::AnsiFromBstr(text);
        ::SysFreeString(text);
    }
    ::EnableWindow(GetDlgItem(IDOK), item >= 0);
    ::SetDlgItemTextA(m_hWnd, IDC_DESCRIPTION, description.c_str());
}

LRESULT CStartupDialog::OnItemChanged(int, NMHDR*, BOOL&)
{
    ShowSelection();
    return 0;
}

LRESULT CStartupDialog::OnGetInfoTip(int, NMHDR* header, BOOL&)
{
    auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
    if (tip->iItem < 0 || tip->iItem >= static_cast<int>(m_itemProject.size()) || !tip->pszText || tip->cchTextMax <= 0)
        return 0;
    BSTR text = nullptr;
    if (SUCCEEDED(m_projects[m_itemProject[tip->iItem]]->GetDescription(&text))) {
        std::string description = com::AnsiFromBstr(text);
        lstrcpynA(tip->pszText, description.c_str(), tip->cchTextMax);
    }
    ::SysFreeString(text);
    return 0;
}

void CStartupDialog::ChooseSelected()
{
    const int item = SelectedItem();
    if (item < 0) return;
    m_chosen = m_projects[m_itemProject[item]];
    EndDialog(IDOK);
}

LRESULT CStartupDialog::OnDoubleClick(int, NMHDR*, BOOL&)
{
    ChooseSelected();
    return 0;
}

LRESULT CStartupDialog::OnNext(WORD, WORD, HWND, BOOL&)
{
    ChooseSelected();
    return 0;
}

LRESULT CStartupDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
