#include "task_pane.h"

void CIconCopy::Assign(HICON icon)
{
    HICON copy = icon ? CopyIcon(icon) : nullptr;
    Reset();
    m_icon = copy;
}

void CIconCopy::Reset()
{
    if (m_icon) DestroyIcon(m_icon);
    m_icon = nullptr;
}

CTaskAction* CTaskPane::FindAction(unsigned id)
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : &it->second;
}

const CTaskAction* CTaskPane::ActiveAction() const
{
    for (const auto& entry : m_actions)
        if (entry.second.m_active) return &entry.second;
    return nullptr;
}

bool PointInHeader(const RECT& h, POINT pt)
{
    if (!PtInRect(&h, pt)) return false;
    const int dy = pt.y - h.top;
    if (dy >= 2) return true;
    // Each cut corner is the triangle above the diagonal from (0, 2) to (2, 0).
    const int fromLeft = pt.x - h.left, fromRight = h.right - 1 - pt.x;
    return fromLeft + dy >= 2 && fromRight + dy >= 2;
}

HRGN CreateHeaderRegion(const RECT& h)
{
    const POINT outline[] = {{h.left, h.bottom},      {h.left, h.top + 2},  {h.left + 2, h.top},
                             {h.right - 2, h.top},    {h.right, h.top + 2}, {h.right, h.bottom}};
    return CreatePolygonRgn(outline, 6, WINDING);
}
