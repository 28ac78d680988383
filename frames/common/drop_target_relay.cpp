#include "drop_target_relay.h"

bool CDropTargetRelay::Register(HWND window, IDropTarget* editor)
{
    com::ComObject<CDropTargetRelay>* relay = nullptr;
    if (FAILED(com::CreateObjectImpl<CDropTargetRelay>(&relay))) return false;
    relay->m_editor = editor;
    const bool registered = SUCCEEDED(RegisterDragDrop(window, relay));
    relay->Release();
    return registered;
}
