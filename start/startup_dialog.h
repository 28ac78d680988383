// CStartupDialog: the project-type dialog of File > New. It creates every
// registered project type (given the services), lists those with a name and
// an icon, and hands the chosen one to the caller. When exactly one type
// can be created it is chosen at once and the dialog never shows.
#pragma once
#include <hosting.h>
#include <com/ptr.h>
#include <window/dialog.h>
#include <commctrl.h>
#include <vector>

class CStartupDialog : public wnd::DialogImpl<CStartupDialog> {
public:
    enum { IDD = 204 };
    enum { IDC_PROJECTS = 1001, IDC_DESCRIPTION = 1002, IDC_DESCRIPTION_LABEL = 1003 };

    CStartupDialog() = default;
    ~CStartupDialog() override;
    CStartupDialog(const CStartupDialog&) = delete;
    CStartupDialog& operator=(const CStartupDialog&) = delete;

    // The chosen project after IDOK (one reference, the caller's).
    IProject* Detach() { return m_chosen.Detach(); }

    WND_MSG_MAP_BEGIN(CStartupDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_ACTIVATE, OnActivate)
        WND_NOTIFY(IDC_PROJECTS, LVN_ITEMCHANGED, OnItemChanged)
        WND_NOTIFY(IDC_PROJECTS, LVN_GETINFOTIPA, OnGetInfoTip)
        WND_NOTIFY(IDC_PROJECTS, NM_DBLCLK, OnDoubleClick)
        WND_COMMAND(IDOK, OnNext)
        WND_COMMAND(IDCANCEL, OnCancel)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnItemChanged(int, NMHDR*, BOOL&);
    LRESULT OnGetInfoTip(int, NMHDR*, BOOL&);
    LRESULT OnDoubleClick(int, NMHDR*, BOOL&);
    LRESULT OnNext(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    void CreateProjects();
    bool FillList();
    void FitListToItems();
    void ShowSelection();
    int SelectedItem() const;
    void ChooseSelected();

    std::vector<com::ComPtr<IProject>> m_projects;  // list order
    std::vector<int> m_itemProject;                 // list item -> index in m_projects
    com::ComPtr<IProject> m_chosen;
    HIMAGELIST m_images = nullptr;
};
