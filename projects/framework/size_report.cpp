#include "size_report.h"
#include "project_base.h"

void SendSizeReport(CProjectBase& project, SIZEBAR_KIND kind, float seconds, ULONGLONG bytes)
{
    HWND window = project.m_hWnd;
    if (!::IsWindow(window)) return;
    NMSIZEBARUPDATE block;
    ZeroMemory(&block, sizeof block);
    block.hdr.hwndFrom = window;
    block.hdr.idFrom = static_cast<UINT_PTR>(::GetWindowLongA(window, GWL_ID));
    block.hdr.code = SIZEBARN_UPDATE;
    block.kind = kind;
    block.seconds = seconds;
    block.bytes = bytes;
    ::SendMessageA(project.MainFrame(), WM_NOTIFY, block.hdr.idFrom, reinterpret_cast<LPARAM>(&block));
}
