#include "actions_manager.h"
#include "project_base.h"
#include "project_ids.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>
#include <com/bstr.h>

namespace {

// The menu shows a caption up to its first line feed.
std::string MenuText(const std::string& caption) { return caption.substr(0, caption.find('\n')); }

int FindItemPosition(HMENU popup, WORD id)
{
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(popup, i) == id) return i;
    return -1;
}

}  // namespace

const unsigned CActionsManager::STANDARD_COMMANDS[6] = {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_EDIT_UNDO,
                                                        ID_EDIT_CUT,   ID_EDIT_COPY,          ID_EDIT_PASTE};

CActionsManager::CActionsManager(CProjectBase& project) : m_project(project), m_nextOwnId(FIRST_OWN_ID) {}

bool CActionsManager::IsActionCommand(unsigned id)
{
    return (id >= PCID_ADD_PANE && id <= PCID_REMOVE_PANE) || (id >= PCID_ADD_ACTION && id <= PCID_CHANGE_ACTION) ||
           (id >= PCID_ACTIVE_CHANGED_NOTIFY && id <= PCID_GET_PANE_ACTIVE_ACTION);
}

HRESULT CActionsManager::OnCommand(IUnknown* sender, unsigned id, SAFEARRAY* data)
{
    switch (id) {
    case PCID_ADD_PANE: return AddPane(sender, data);
    case PCID_RENAME_PANE: return RenamePane(sender, data);
    case PCID_REMOVE_PANE: return RemovePane(sender, data);
    case PCID_ADD_ACTION: return AddAction(sender, data);
    case PCID_REMOVE_ACTION: return RemoveAction(sender, data);
    case PCID_RENAME_ACTION: return RenameAction(sender, data);
    case PCID_ENABLE_ACTION: return EnableAction(sender, data, true);
    case PCID_DISABLE_ACTION: return EnableAction(sender, data, false);
    case PCID_SET_ACTION_ICON: return SetActionIcon(sender, data);
    case PCID_CHANGE_ACTION: return ChangeAction(sender, data);
    case PCID_SET_ACTIVE_ACTION: return SetActiveAction(sender, data);
    case PCID_ACTIVE_CHANGED_NOTIFY: {
        unsigned pane = 0, action = 0;
        if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}))) return E_FAIL;
        return RelayChoice(pane, action);
    }
    case PCID_GET_ACTIVE_ACTION: {
        unsigned* pane = nullptr;
        unsigned* action = nullptr;
        ExtractFromSafearray(data, {{VT_UI4 | VT_BYREF, &pane}, {VT_UI4 | VT_BYREF, &action}});
        return E_FAIL;
    }
    case PCID_GET_PANE_ACTIVE_ACTION: {
        unsigned pane = 0;
        unsigned* action = nullptr;
        ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4 | VT_BYREF, &action}});
        return E_FAIL;
    }
    default: return E_COMMAND_NOT_HANDLED;
    }
}

CActionsManager::Record* CActionsManager::FindRecord(IUnknown* sender)
{
    for (Record& record : m_records)
        if (com::SameObject(record.frame, sender)) return &record;
    return nullptr;
}

CActionsManager::Action* CActionsManager::FindAction(Record& record, unsigned frameActionId)
{
    for (Action& action : record.actions)
        if (action.frameId == frameActionId) return &action;
    return nullptr;
}

com::ComPtr<ITaskBar> CActionsManager::TaskBar() const
{
    com::ComPtr<ITaskBar> bar;
    if (m_project.TaskPane()) m_project.TaskPane()->QueryInterface(IID_ITaskBar, reinterpret_cast<void**>(&bar));
    return bar;
}

// The task panel's popup is the third of the menu bar, the first frame's
// the fourth, the burning frame's the fifth.
HMENU CActionsManager::PopupOf(IUnknown* sender) const
{
    int index = -1;
    if (com::SameObject(sender, m_project.TaskPane()))
        index = 2;
    else if (com::SameObject(sender, m_project.FirstFrame()))
        index = 3;
    else if (com::SameObject(sender, m_project.BurningFrame()))
        index = 4;
    if (index < 0 || !m_project.ProjectMenu()) return nullptr;
    return GetSubMenu(m_project.ProjectMenu(), index);
}

bool CActionsManager::InsertItem(HMENU popup, const Record& record, bool pane, WORD ownId,
                                 const std::string& caption)
{
    int count = GetMenuItemCount(popup);
    int position = -1;
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        bool mine = false;
        if (pane) {
            for (const Record& r : m_records)
                if (r.ownPaneId == id) mine = true;
        } else {
            for (const Action& a : record.actions)
                if (a.ownId == id && a.ownId != ownId) mine = true;
        }
        if (mine) position = i;
    }
    if (position < 0) {
        // A popup that was empty has no place for the item; a lone
        // placeholder separator gives way to it; a filled popup gets a
        // separator before the new group.
        if (count == 0) return false;
        if (count < 2) {
            MENUITEMINFOA info = {sizeof info, MIIM_FTYPE};
            if (GetMenuItemInfoA(popup, 0, TRUE, &info) && (info.fType & MFT_SEPARATOR))
                DeleteMenu(popup, 0, MF_BYPOSITION);
        } else {
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        }
        position = GetMenuItemCount(popup) - 1;
    }
    std::string text = MenuText(caption);
    MENUITEMINFOA item = {sizeof item};
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | (pane ? MIIM_DATA : 0);
    item.fType = MFT_STRING;
    item.fState = 0;
    item.wID = ownId;
    item.dwTypeData = const_cast<char*>(text.c_str());
    item.dwItemData = pane ? record.framePaneId : 0;
    return InsertMenuItemA(popup, position + 1, TRUE, &item) != FALSE;
}

void CActionsManager::SetItemText(HMENU popup, WORD ownId, const std::string& caption)
{
    std::string text = MenuText(caption);
    MENUITEMINFOA item = {sizeof item, MIIM_STRING};
    item.dwTypeData = const_cast<char*>(text.c_str());
    SetMenuItemInfoA(popup, ownId, FALSE, &item);
}

void CActionsManager::RefreshMenu() const
{
    if (m_project.IsWindow()) ::SendMessageA(m_project.MdiClient(), WM_MDIREFRESHMENU, 0, 0);
}

HRESULT CActionsManager::AddPane(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, icon = 0;
    com::Bstr caption;
    if (FAILED(ExtractFromSafearray(data, {{VT_UINT, &pane}, {VT_BSTR, &caption}, {VT_UINT, &icon}}))) return E_FAIL;
    const std::string text = caption.Ansi();
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    if (!bar || !popup || FindRecord(sender)) return E_FAIL;
    Record record;
    record.frame.QueryFrom(sender, IID_IUnknown);
    record.framePaneId = pane;
    record.ownPaneId = NextOwnId();
    // A pane the panel refuses leaves neither a record nor a menu item.
    HRESULT hr = bar->AddPane(record.ownPaneId, com::Bstr(text), reinterpret_cast<HICON>(static_cast<ULONG_PTR>(icon)));
    if (FAILED(hr)) {
        LogFailure("ITaskBar::AddPane", hr);
        return E_FAIL;
    }
    if (!InsertItem(popup, record, true, record.ownPaneId, text)) {
        bar->RemovePane(record.ownPaneId);
        return E_FAIL;
    }
    m_records.push_back(record);
    return S_OK;
}

HRESULT CActionsManager::AddAction(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0, icon = 0;
    com::Bstr caption;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_BSTR, &caption}, {VT_UI4, &icon}}))) return E_FAIL;
    const std::string text = caption.Ansi();
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record || FindAction(*record, action)) return E_FAIL;
    Action entry = {action, NextOwnId()};
    if (!InsertItem(popup, *record, false, entry.ownId, text)) return E_FAIL;
    record->actions.push_back(entry);
    HRESULT hr = bar->AddAction(record->ownPaneId, entry.ownId, com::Bstr(text),
                                reinterpret_cast<HICON>(static_cast<ULONG_PTR>(icon)));
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

HRESULT CActionsManager::RenamePane(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0;
    com::Bstr caption;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_BSTR, &caption}}))) return E_FAIL;
    const std::string text = caption.Ansi();
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record) return E_FAIL;
    if (SUCCEEDED(bar->RenamePane(record->ownPaneId, com::Bstr(text)))) SetItemText(popup, record->ownPaneId, text);
    return S_OK;
}

HRESULT CActionsManager::RenameAction(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0;
    com::Bstr caption;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_BSTR, &caption}}))) return E_FAIL;
    const std::string text = caption.Ansi();
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record) return E_FAIL;
    if (action == NO_ACTION_ID) {
        if (SUCCEEDED(bar->RenamePane(record->ownPaneId, com::Bstr(text))))
            SetItemText(popup, record->ownPaneId, text);
        return S_OK;
    }
    Action* entry = FindAction(*record, action);
    if (!entry) return S_OK;  // the answer follows the record and the popup
    if (SUCCEEDED(bar->RenameAction(record->ownPaneId, entry->ownId, com::Bstr(text))))
        SetItemText(popup, entry->ownId, text);
    return S_OK;
}

HRESULT CActionsManager::ChangeAction(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0, icon = 0;
    com::Bstr caption;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_BSTR, &caption}, {VT_UI4, &icon}}))) return E_FAIL;
    const std::string text = caption.Ansi();
    HICON hIcon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(icon));
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record) return E_FAIL;
    if (action == NO_ACTION_ID) {
        if (SUCCEEDED(bar->ChangePane(record->ownPaneId, com::Bstr(text), hIcon)))
            SetItemText(popup, record->ownPaneId, text);
        return S_OK;
    }
    Action* entry = FindAction(*record, action);
    if (!entry) return S_OK;
    if (SUCCEEDED(bar->ChangeAction(record->ownPaneId, entry->ownId, com::Bstr(text), hIcon)))
        SetItemText(popup, entry->ownId, text);
    return S_OK;
}

HRESULT CActionsManager::SetActionIcon(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0, icon = 0;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_UI4, &icon}}))) return E_FAIL;
    HICON hIcon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(icon));
    com::ComPtr<ITaskBar> bar = TaskBar();
    Record* record = FindRecord(sender);
    if (!bar || !record) return E_FAIL;
    HRESULT hr;
    if (action == NO_ACTION_ID) {
        hr = bar->SetPaneIcon(record->ownPaneId, hIcon);
    } else {
        Action* entry = FindAction(*record, action);
        if (!entry) return E_FAIL;
        hr = bar->SetActionIcon(record->ownPaneId, entry->ownId, hIcon);
    }
    return SUCCEEDED(hr) ? S_OK : E_FAIL;
}

HRESULT CActionsManager::RemoveActionEntry(Record& record, size_t index, ITaskBar* bar, HMENU popup)
{
    WORD ownId = record.actions[index].ownId;
    bar->RemoveAction(record.ownPaneId, ownId);
    RemoveMenu(popup, ownId, MF_BYCOMMAND);
    record.actions.erase(record.actions.begin() + index);
    return S_OK;
}

HRESULT CActionsManager::RemovePane(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}}))) return E_FAIL;
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record) return E_FAIL;
    while (!record->actions.empty()) RemoveActionEntry(*record, 0, bar, popup);
    bar->RemovePane(record->ownPaneId);
    RemoveMenu(popup, record->ownPaneId, MF_BYCOMMAND);
    m_records.erase(m_records.begin() + (record - m_records.data()));
    return S_OK;
}

HRESULT CActionsManager::RemoveAction(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}))) return E_FAIL;
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(sender);
    Record* record = FindRecord(sender);
    if (!bar || !popup || !record) return E_FAIL;
    for (size_t i = 0; i < record->actions.size(); ++i)
        if (record->actions[i].frameId == action) return RemoveActionEntry(*record, i, bar, popup);
    return E_FAIL;
}

HRESULT CActionsManager::EnableAction(IUnknown* sender, SAFEARRAY* data, bool enable)
{
    unsigned pane = 0, action = 0;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}))) return S_OK;
    com::ComPtr<ITaskBar> bar = TaskBar();
    Record* record = FindRecord(sender);
    if (!bar || !record) return S_OK;
    Action* entry = FindAction(*record, action);
    if (!entry) return S_OK;
    bar->EnableAction(record->ownPaneId, entry->ownId, enable ? 1 : 0);
    if (m_project.ProjectMenu())
        EnableMenuItem(m_project.ProjectMenu(), entry->ownId, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    // The active frame's state changed: its standard commands may have too.
    if (IsActiveFrame(sender)) UpdateActionStates();
    return S_OK;
}

bool CActionsManager::IsActiveFrame(IUnknown* frame) const
{
    com::ComPtr<IUnknown> one, active;
    if (!frame || !m_project.ActiveFrame()) return false;
    one.QueryFrom(frame, IID_IUnknown);
    active.QueryFrom(m_project.ActiveFrame(), IID_IUnknown);
    return one && one.Get() == active.Get();
}

HRESULT CActionsManager::SetActiveAction(IUnknown* sender, SAFEARRAY* data)
{
    unsigned pane = 0, action = 0;
    if (FAILED(ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}))) return E_FAIL;
    return SetActive(sender, action) ? S_OK : E_FAIL;
}

bool CActionsManager::SetActive(IUnknown* frame, unsigned frameActionId)
{
    com::ComPtr<ITaskBar> bar = TaskBar();
    HMENU popup = PopupOf(frame);
    Record* mine = FindRecord(frame);
    if (!bar || !popup || !mine) return false;
    int count = GetMenuItemCount(popup);
    unsigned ownAction = frameActionId;
    bool matched = false;
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        for (const Record& record : m_records)
            if (record.ownPaneId == id)
                CheckMenuItem(popup, i, MF_BYPOSITION | (&record == mine ? MF_CHECKED : MF_UNCHECKED));
        if (frameActionId == NO_ACTION_ID) continue;
        for (const Action& action : mine->actions) {
            if (action.ownId != id) continue;
            bool active = action.frameId == frameActionId;
            CheckMenuItem(popup, i, MF_BYPOSITION | (active ? MF_CHECKED : MF_UNCHECKED));
            if (active && !matched) {
                ownAction = action.ownId;
                matched = true;
            }
        }
    }
    bar->SetActive(mine->ownPaneId, ownAction);
    return true;
}

bool CActionsManager::OwnsId(unsigned id) const
{
    for (const Record& record : m_records) {
        if (record.ownPaneId == static_cast<WORD>(id)) return true;
        for (const Action& action : record.actions)
            if (action.ownId == static_cast<WORD>(id)) return true;
    }
    return false;
}

HRESULT CActionsManager::RelayChoice(unsigned paneId, unsigned actionId)
{
    WORD key = static_cast<WORD>(actionId != NO_ACTION_ID ? actionId : paneId);
    for (const Record& record : m_records)
        if (record.ownPaneId == key) return PerformCommand(record.frame, record.framePaneId, NO_ACTION_ID);
    for (const Record& record : m_records)
        for (const Action& action : record.actions)
            if (action.ownId == key) return PerformCommand(record.frame, record.framePaneId, action.frameId);
    return E_FAIL;
}

HRESULT CActionsManager::PerformCommand(IUnknown* frameIdentity, unsigned framePaneId, unsigned frameActionId)
{
    CLogFunctionScope scope("PerformCommand");
    // The record's frame may go while the frame handles the command.
    com::ComPtr<IUnknown> frame(frameIdentity);
    if (framePaneId != NO_ACTION_ID) m_project.ActivateFrame(frame);
    CVariantSafearray data(2);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI4, framePaneId}, {VT_UI4, frameActionId}});
    if (FAILED(hr)) {
        LogFailure("data.Prepare()", hr);
        return hr;
    }
    int index = m_project.FrameIndexOf(frame);
    if (index >= 0) m_project.SendToComponent(m_project.Frame(index), PCID_ACTIVE_CHANGED_NOTIFY, data);
    UpdateActionStates();
    RefreshMenu();
    return S_OK;
}

void CActionsManager::UpdateActionStates()
{
    HMENU menu = m_project.ProjectMenu();
    if (!menu) return;
    com::ComPtr<ICommandPerformer> frame;
    if (m_project.ActiveFrame())
        m_project.ActiveFrame()->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&frame));
    for (unsigned id : STANDARD_COMMANDS) {
        BOOL enabled = FALSE;
        if (frame) {
            CVariantSafearray data(2);
            data.Create();
            if (FAILED(data.Prepare({{VT_I4, static_cast<int>(id)}, {VT_BOOL | VT_BYREF, &enabled}})) ||
                FAILED(frame->InvokeCommand(m_project.Self(), m_project.ProjectClsid(), PCID_QUERY_ACTION_ENABLED,
                                            data)))
                enabled = FALSE;
        }
        MENUITEMINFOA item = {sizeof item, MIIM_STATE};
        item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
        SetMenuItemInfoA(menu, id, FALSE, &item);
    }
    RefreshMenu();
}
