// CCoDeviceCallbackBuffer: the engine event sink of a frame. The engine,
// another process, cannot post to a frame's window, so the frame advises
// this object instead, which posts event n to the window as message
// WM_ENGINE_EVENT + n and sends the one question (DM_QUESTION).
//
// The sink keeps a copy of the window handle. The owner detaches it
// (SetTarget(nullptr)) when its window goes, so no event reaches a freed
// window nor a later window that got the same handle.
#pragma once
#include "engine.h"
#include <com/object.h>

class CCoDeviceCallbackBuffer : public com::ObjectRoot<com::MultiThreadModel>, public _IMessageCallback {
public:
    COM_INTERFACES_BEGIN(CCoDeviceCallbackBuffer)
        COM_INTERFACE(_IMessageCallback)
    COM_INTERFACES_END()

    // A new sink with one reference, which the caller owns.
    static HRESULT CreateInstance(com::ComObject<CCoDeviceCallbackBuffer>** out);

    // The window that gets the events; null detaches.
    void SetTarget(HWND window);
    HWND Target() const { return m_target; }

    // DM_QUESTION only: sent to the window; a non-zero answer is written.
    STDMETHODIMP IMC_SendMessageRetVal(unsigned int* a_puiRetVal, unsigned int a_uiMessage,
                                       unsigned int a_uiWParam, unsigned int a_uiLParam) override;
    STDMETHODIMP IMC_SendMessage(unsigned int a_uiMessage, unsigned int a_uiWParam,
                                 unsigned int a_uiLParam) override;
    STDMETHODIMP IMC_PostMessage(unsigned int a_uiMessage, unsigned int a_uiWParam,
                                 unsigned int a_uiLParam) override;

private:
    HWND LiveTarget() const;
    volatile HWND m_target = nullptr;
};
