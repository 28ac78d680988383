// The data project's report of its image size to the main frame's space
// bar: SIZEBARN_UPDATE with the byte count the data editor gives.
#pragma once
#include <windows.h>

class CProjectBase;

enum class SizeReportCause {
    EditorChanged,  // PCID_IMAGE_SIZE_CHANGED: sent only when the editor answers
    Activation,     // the window is being activated: sent always, 0 bytes without an answer
};

// Asks the editor (PCID_GET_IMAGE_SIZE) and sends the block as WM_NOTIFY to
// the main frame. Returns the editor's answer; E_FAIL, with nothing sent,
// when the editor takes no commands.
HRESULT ReportImageSize(CProjectBase& project, SizeReportCause cause);
