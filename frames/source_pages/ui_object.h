// IUIObject: what the source page frame asks of the page it shows (the
// copy-source, image-source or grab-image page). The frame forwards the
// project's commands to it and reports its window.
#pragma once
#include "common.h"
#include <windows.h>
#include <oleauto.h>

class IUIObject {
public:
    virtual ~IUIObject() = default;
    // Makes the page's dialog as a modeless child of `parent`: S_OK when
    // the window exists afterwards, else E_FAIL.
    virtual HRESULT Create(HWND parent) = 0;
    // The page's window; E_POINTER for a null out.
    virtual HRESULT GetHwnd(HWND* out) = 0;
    // The project's PCID_RESULT or PCID_SOURCE_READY: the burn is over.
    virtual HRESULT OnEndMainOp(SAFEARRAY*) { return S_OK; }
    // The project's PCID_START: the page prepares the burn's source.
    virtual HRESULT OnBeginMainOp() { return S_OK; }
    // The project's relay of the burning frame's PCID_CANCEL while the page
    // prepares: the page stops its own work.
    virtual HRESULT OnCancelMainOp() { return S_OK; }
    // PCID_ACTIVE_CHANGED_NOTIFY [UI4 pane, UI4 action].
    virtual HRESULT OnHostButton(SAFEARRAY* data) = 0;
    // PCID_ENABLE_UI [BOOL, or UI4 from a project].
    virtual HRESULT EnableUI(SAFEARRAY* data) = 0;
    // PCID_SET_BUTTONS_POS [four UI4] for the Back and Next buttons.
    virtual HRESULT SetNextBackLayout(SAFEARRAY* data) = 0;
    // The user's choices in the project file (the frame's section); a
    // missing value keeps the page's own.
    virtual HRESULT LoadChoices(ILoadableSection* section) = 0;
    virtual HRESULT SaveChoices(ISaveableSection* section) = 0;
    // The user changed a choice since the last load or successful save.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
};
