// A project's report of its image size to the main frame's space bar:
// SIZEBARN_UPDATE with the byte count its editor gives (PCID_GET_IMAGE_SIZE)
// and, for an audio CD, the seconds of CD sound that count makes.
#pragma once
#include <frame_messages.h>
#include <windows.h>

class CProjectBase;

struct SizeReport {
    SIZEBAR_KIND kind;
    // Sent with 0 bytes when the editor does not answer; else only an
    // answer is sent.
    bool sendWithoutAnswer;
    // The editor's member name in failure lines ("compNostrine").
    const char* editorName;
};

// Asks the editor and sends the block as WM_NOTIFY to the main frame.
// Returns the editor's answer; E_FAIL, with nothing sent, when the editor
// takes no commands.
HRESULT ReportImageSize(CProjectBase& project, const SizeReport& report);

// The seconds of 44.1 kHz 16-bit stereo sound in `bytes` (176,400 a second).
float AudioSeconds(ULONGLONG bytes);
