// CDropTargetRelay: what the system holds for an editor's window while a
// drop may come. It forwards to the editor without a reference, so the
// registration keeps no cycle alive (the window revokes it when it goes).
#pragma once
#include <com/object.h>
#include <ole2.h>

class CDropTargetRelay : public com::ObjectRoot<com::SingleThreadModel>, public IDropTarget {
public:
    COM_INTERFACES_BEGIN(CDropTargetRelay)
        COM_INTERFACE(IDropTarget)
    COM_INTERFACES_END()

    // Registers a relay to `editor` for `window`; false on a thread without
    // OLE (the views then still take shell drops through WM_DROPFILES).
    static bool Register(HWND window, IDropTarget* editor);

    STDMETHODIMP DragEnter(IDataObject* d, DWORD k, POINTL p, DWORD* e) override { return m_editor->DragEnter(d, k, p, e); }
    STDMETHODIMP DragOver(DWORD k, POINTL p, DWORD* e) override { return m_editor->DragOver(k, p, e); }
    STDMETHODIMP DragLeave() override { return m_editor->DragLeave(); }
    STDMETHODIMP Drop(IDataObject* d, DWORD k, POINTL p, DWORD* e) override { return m_editor->Drop(d, k, p, e); }

private:
    IDropTarget* m_editor = nullptr;
};
