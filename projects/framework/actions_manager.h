// CActionsManager: the task-panel panes and actions that frames ask their
// project for. Every pane and action gets an own id (one counter per
// project, from 2000), is shown in the task panel under that id and
// mirrored as an item of the project menu with the same id; a panel click
// or a menu choice goes back to the frame that added it, with that frame's
// own ids. It also keeps the menu's check marks and the states of the
// standard editing commands, which the active frame decides.
#pragma once
#include "common.h"
#include <com/ptr.h>
#include <string>
#include <vector>

class CProjectBase;

class CActionsManager {
public:
    explicit CActionsManager(CProjectBase& project);

    // The pane and action commands (32 to 34, 64 to 70, 96 to 99).
    static bool IsActionCommand(unsigned id);
    HRESULT OnCommand(IUnknown* sender, unsigned id, SAFEARRAY* data);

    // Whether a menu command id is a pane or action of this project.
    bool OwnsId(unsigned id) const;
    // A panel click or menu choice: relays PCID_ACTIVE_CHANGED_NOTIFY to the
    // owning frame with its own ids. E_FAIL when nothing owns the id.
    HRESULT RelayChoice(unsigned paneId, unsigned actionId);
    // Check marks and the task panel's active pane for `frame`; action
    // 0xFFFFFFFF marks the pane alone. False without record or popup.
    bool SetActive(IUnknown* frame, unsigned frameActionId);
    // Asks the active frame which standard commands are available and
    // greys the others.
    void UpdateActionStates();
    bool IsActiveFrame(IUnknown* frame) const;

    // The standard commands whose state the active frame decides.
    static const unsigned STANDARD_COMMANDS[6];

private:
    struct Action {
        unsigned frameId;
        WORD ownId;
    };
    struct Record {
        com::ComPtr<IUnknown> frame;  // identity
        unsigned framePaneId;
        WORD ownPaneId;
        std::vector<Action> actions;
    };

    Record* FindRecord(IUnknown* sender);
    Action* FindAction(Record& record, unsigned frameActionId);
    com::ComPtr<ITaskBar> TaskBar() const;
    HMENU PopupOf(IUnknown* sender) const;
    WORD NextOwnId() { return m_nextOwnId++; }
    bool InsertItem(HMENU popup, const Record& record, bool pane, WORD ownId, const std::string& caption);
    void SetItemText(HMENU popup, WORD ownId, const std::string& caption);
    void RefreshMenu() const;

    HRESULT AddPane(IUnknown* sender, SAFEARRAY* data);
    HRESULT AddAction(IUnknown* sender, SAFEARRAY* data);
    HRESULT RenamePane(IUnknown* sender, SAFEARRAY* data);
    HRESULT RenameAction(IUnknown* sender, SAFEARRAY* data);
    HRESULT ChangeAction(IUnknown* sender, SAFEARRAY* data);
    HRESULT SetActionIcon(IUnknown* sender, SAFEARRAY* data);
    HRESULT RemovePane(IUnknown* sender, SAFEARRAY* data);
    HRESULT RemoveAction(IUnknown* sender, SAFEARRAY* data);
    HRESULT EnableAction(IUnknown* sender, SAFEARRAY* data, bool enable);
    HRESULT SetActiveAction(IUnknown* sender, SAFEARRAY* data);
    HRESULT RemoveActionEntry(Record& record, size_t index, ITaskBar* bar, HMENU popup);
    HRESULT PerformCommand(IUnknown* frame, unsigned framePaneId, unsigned frameActionId);

    CProjectBase& m_project;
    WORD m_nextOwnId;
    std::vector<Record> m_records;

    friend class CProjectBase;
};
