// CCoPelgrave: the source page frame of the disc-copy and image-burn
// projects. It holds no logic of its own: it makes the page its window
// mode names (IOwnWindowEx: 0 copy source, 1 image source, 2 grab image),
// forwards the project's commands to it and reports the page's window.
#pragma once
#include "hosting.h"
#include "pelgrave_classes.h"
#include "ui_object.h"
#include <com/object.h>
#include <shared/auto_object_logger.h>
#include <shared/command_performer.h>
#include <shared/sys_service_binder.h>
#include <memory>
#include <string>

class CCoPelgrave : public com::ObjectRoot<com::SingleThreadModel>,
                    public IOwnWindowEx,
                    public ILoadSave,
                    public CCommandPerformerImpl<CCoPelgrave, &CLSID_CoPelgrave>,
                    public CSysServiceBinderImpl<CCoPelgrave, &CLSID_CoPelgrave>,
                    public CAutoObjectLogger<CCoPelgrave> {
public:
    enum : long { MODE_COPY_SOURCE = 0, MODE_IMAGE_SOURCE = 1, MODE_GRAB_IMAGE = 2 };

    COM_INTERFACES_BEGIN(CCoPelgrave)
        COM_INTERFACE_IID(IID_IOwnWindow, IOwnWindowEx)
        COM_INTERFACE(IOwnWindowEx)
        COM_INTERFACE(ILoadSave)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    void FinalRelease();

    // IOwnWindow, IOwnWindowEx
    STDMETHODIMP CreateOwnWindow(HWND a_hWndParent) override;
    STDMETHODIMP GetOwnWindow(HWND* a_hWndRet) override;
    STDMETHODIMP CreateOwnWindowEx(HWND a_hWndParent, long a_lMode) override;

    // ILoadSave: the page's choices (image, drive, speed, delete box).
    STDMETHODIMP Load(ILoadableSection* a_pSection) override;
    STDMETHODIMP Save(ISaveableSection* a_pSection) override;
    STDMETHODIMP GetModified(long* a_pbModified) override;
    STDMETHODIMP OnSaveCompleted(HRESULT a_hrResult) override;

    // The commands of ICommandPerformer::InvokeCommand (non-null sender).
    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned int id, SAFEARRAY* data);

    // For the pages: a command to the project as this frame.
    HRESULT SendToPartner(unsigned int id, SAFEARRAY* data) { return SendCommand(id, data); }

    // The file dialogs' filter of the image types, '|'-separated (the
    // separators become NULs where the dialog is opened).
    static std::string CreateFilterString();

protected:
    CCoPelgrave() = default;
    ~CCoPelgrave();

private:
    // Destroys the page's window, then the page.
    void DropPage();

    std::unique_ptr<IUIObject> m_pUIObject;
    SAFEARRAY* m_buttonsPos = nullptr;  // the last PCID_SET_BUTTONS_POS
};
