// The report of a project's content size to the main frame's space bar:
// WM_NOTIFY SIZEBARN_UPDATE with a zero-filled NMSIZEBARUPDATE that names
// the project window, sent to the main frame (the MDI client's parent).
#pragma once
#include "frame_messages.h"

class CProjectBase;

void SendSizeReport(CProjectBase& project, SIZEBAR_KIND kind, float seconds, ULONGLONG bytes);
