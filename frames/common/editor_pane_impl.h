// CEditorPaneImpl: what the project's editor panes (the data and the audio
// editor) answer alike. IOwnWindow: the pane's window, made as a child of
// the project's. ILoadSave's modified half: `m_modified`, which the editor
// sets on every edit, cleared by a save that succeeded. The editor answers
// Load and Save itself.
//
// T is a window object (wnd::WindowImpl) whose window class makes the pane.
#pragma once
#include "common.h"
#include "hosting.h"
#include <com/guard.h>
#include <shared/log.h>
#include <windows.h>

template <class T>
class CEditorPaneImpl : public ILoadSave, public IOwnWindow {
public:
    STDMETHODIMP GetModified(long* modified) override
    {
        if (!modified) {
            LogNull("a_pbModified");
            return E_POINTER;
        }
        *modified = m_modified ? 1 : 0;
        return S_OK;
    }

    STDMETHODIMP OnSaveCompleted(HRESULT result) override
    {
        m_modified = FAILED(result);
        return S_OK;
    }

    STDMETHODIMP CreateOwnWindow(HWND parent) override
    {
        if (!::IsWindow(parent)) return E_INVALIDARG;
        T* pane = static_cast<T*>(this);
        return com::Guarded("IOwnWindow::CreateOwnWindow", [&]() -> HRESULT {
            pane->Create(parent, nullptr, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
            return pane->IsWindow() ? S_OK : E_FAIL;
        });
    }

    STDMETHODIMP GetOwnWindow(HWND* window) override
    {
        if (!window) return E_POINTER;
        *window = static_cast<T*>(this)->m_hWnd;
        return S_OK;
    }

protected:
    bool m_modified = false;
};
