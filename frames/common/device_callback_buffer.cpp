#include "device_callback_buffer.h"
#include "engine_events.h"

HRESULT CCoDeviceCallbackBuffer::CreateInstance(com::ComObject<CCoDeviceCallbackBuffer>** out)
{
    return com::CreateObjectImpl(out);
}

void CCoDeviceCallbackBuffer::SetTarget(HWND window) { m_target = window; }

HWND CCoDeviceCallbackBuffer::LiveTarget() const
{
    HWND target = m_target;
    return target && IsWindow(target) ? target : nullptr;
}

STDMETHODIMP CCoDeviceCallbackBuffer::IMC_SendMessageRetVal(unsigned int* a_puiRetVal, unsigned int a_uiMessage,
                                                           unsigned int a_uiWParam, unsigned int a_uiLParam)
{
    if (!a_puiRetVal) return E_POINTER;
    if (a_uiMessage != DM_QUESTION) return S_OK;
    HWND target = LiveTarget();
    if (!target) return S_OK;
    LRESULT answer = SendMessageA(target, EngineEventMessage(a_uiMessage), a_uiWParam, a_uiLParam);
    // Zero keeps the engine's own default (and another frame's answer).
    if (answer) *a_puiRetVal = static_cast<unsigned int>(answer);
    return S_OK;
}

STDMETHODIMP CCoDeviceCallbackBuffer::IMC_SendMessage(unsigned int, unsigned int, unsigned int)
{
    return E_NOTIMPL;
}

STDMETHODIMP CCoDeviceCallbackBuffer::IMC_PostMessage(unsigned int a_uiMessage, unsigned int a_uiWParam,
                                                     unsigned int a_uiLParam)
{
    if (HWND target = LiveTarget()) PostMessageA(target, EngineEventMessage(a_uiMessage), a_uiWParam, a_uiLParam);
    return S_OK;
}
