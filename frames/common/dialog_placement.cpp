#include "dialog_placement.h"

void CenterOverOwner(HWND dialog)
{
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    const bool overOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor = {sizeof monitor};
    ::GetMonitorInfoA(::MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT over = area, self = {};
    if (overOwner) ::GetWindowRect(owner, &over);
    ::GetWindowRect(dialog, &self);
    const int width = self.right - self.left, height = self.bottom - self.top;
    int x = (over.left + over.right - width) / 2, y = (over.top + over.bottom - height) / 2;
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
