// Small pieces of the data editor's views that need no window: texts copied
// into the controls' buffers, the info tips of entries, and where a context
// menu opens.
#pragma once
#include <windows.h>
#include <data_editor/model/data_editor_texts.h>
#include <data_editor/model/user_fs_entry.h>
#include <string>

// Copies into a control's buffer of `size` characters: cut to fit, always
// terminated; nothing for a null buffer or no room.
void CopyText(char* buffer, int size, const std::string& text);
void CopyText(wchar_t* buffer, int size, const std::string& text);

// The info tip of an entry: name and type, and for a file its size and
// original path. `type` and `size` are the texts its list row shows.
std::string EntryInfoTip(const CUserFSEntry* entry, const CDataEditorTexts& texts, const std::string& type,
                         const std::string& size);

// A context menu asked for at `at` (screen): a point on no monitor has its
// x moved into the horizontal extent of the nearest monitor's work area.
POINT ContextMenuPoint(POINT at);
