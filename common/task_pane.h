// The task panel's items: panes with a caption, an optional 32 x 32 icon and
// their actions; actions with a caption and an optional 16 x 16 icon. Each
// item owns a copy of its icon and keeps its laid-out place as geometry,
// so that no region object lives between layouts.
#pragma once
#include <windows.h>
#include <map>
#include <string>

// An icon copy that is destroyed with its owner or when replaced.
class CIconCopy {
public:
    CIconCopy() = default;
    ~CIconCopy() { Reset(); }
    CIconCopy(const CIconCopy&) = delete;
    CIconCopy& operator=(const CIconCopy&) = delete;
    // Replaces the held copy by a copy of `icon` (null: no icon).
    void Assign(HICON icon);
    void Reset();
    HICON Get() const { return m_icon; }
    explicit operator bool() const { return m_icon != nullptr; }
private:
    HICON m_icon = nullptr;
};

struct CTaskAction {
    explicit CTaskAction(unsigned id) : m_id(id) {}
    unsigned m_id;
    std::string m_caption;
    bool m_active = false;
    bool m_enabled = true;
    bool m_hover = false;
    CIconCopy m_icon;
    RECT m_box = {};  // content coordinates
};

struct CTaskPane {
    explicit CTaskPane(unsigned id) : m_id(id) {}
    unsigned m_id;
    std::string m_caption;
    bool m_active = false;
    bool m_hover = false;
    CIconCopy m_icon;
    RECT m_header = {};  // bounds of the header, whose two top corners are cut by 2 pixels
    RECT m_body = {};    // empty without actions
    std::map<unsigned, CTaskAction> m_actions;

    CTaskAction* FindAction(unsigned id);
    // The first active action, or null.
    const CTaskAction* ActiveAction() const;
};

// Whether `pt` lies in a header: its bounds less the two cut top corners.
bool PointInHeader(const RECT& header, POINT pt);
// The header's outline as a new region (the caller deletes it).
HRGN CreateHeaderRegion(const RECT& header);
