// The device and medium information windows (dialogs 207 and 208): a
// drive's text in a CInfoWindow above OK. Each holds its device while open.
#pragma once
#include "windows/info_window.h"
#include "windows/resource.h"
#include <engine.h>
#include <com/ptr.h>
#include <window/dialog.h>
#include <string>

template <class T>
class CInformationDialog : public wnd::DialogImpl<T> {
public:
    explicit CInformationDialog(IDevice* device) : m_device(device) {}

    WND_MSG_MAP_BEGIN(CInformationDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_COMMAND(IDOK, OnClose)
        WND_COMMAND(IDCANCEL, OnClose)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        this->SetText(T::Caption());
        // The view fills the dialog above its OK button.
        RECT view = this->GetClientRect();
        const RECT ok = this->GetDlgItem(IDOK).GetRectInParent();
        InflateRect(&view, -7, -7);
        view.bottom = ok.top - 7;
        m_view.Create(this->m_hWnd, &view, T::ViewName(), WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                      WS_EX_CLIENTEDGE, IDC_INFO_VIEW);
        m_view.SetText(T::Text(m_device.Get()));
        return TRUE;
    }
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&)
    {
        this->EndDialog(id);
        return 0;
    }

    com::ComPtr<IDevice> m_device;
    CInfoWindow m_view;
};

class CDeviceInformationDialog : public CInformationDialog<CDeviceInformationDialog> {
public:
    enum { IDD = IDD_DEVICE_INFORMATION };
    using CInformationDialog::CInformationDialog;
    static std::string Caption();
    static const char* ViewName() { return "DeviceInfoWindow"; }
    static std::string Text(IDevice* device);
};

class CMediumInformationDialog : public CInformationDialog<CMediumInformationDialog> {
public:
    enum { IDD = IDD_MEDIUM_INFORMATION };
    using CInformationDialog::CInformationDialog;
    static std::string Caption();
    static const char* ViewName() { return "MediumInfoWindow"; }
    static std::string Text(IDevice* device);
};

// Opens the window of `kind` (DRIVE_COMMAND_KIND) for the device, modal.
void ShowDriveInformation(IDevice* device, unsigned kind, HWND owner);
