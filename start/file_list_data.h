// The shell's file-list format (CF_HDROP) as the explorer gives it: a
// DROPFILES block of ANSI paths in movable global memory, held by a Common
// data object for a drag or the clipboard.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <string>
#include <vector>

// Header of 20 bytes (files at offset 20, point 0, not in the non-client
// area, ANSI), each path with its zero, then a final zero. Null when the
// memory could not be had.
HGLOBAL CreateDropFilesBlock(const std::vector<std::string>& paths);
// A new Common data object holding the block as CF_HDROP (content, every
// index, global memory), the block's ownership passed to it; null when
// either fails (the block then freed).
IDataObject* CreateFileListData(const std::vector<std::string>& paths);
