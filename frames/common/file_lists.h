// The file lists an editor takes in: a drop block (CF_HDROP) read from a
// data object, from the clipboard or from a WM_DROPFILES handle. Each block
// is copied first and read within its real size.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shellapi.h>
#include <string>
#include <vector>

// Each list holds the paths as the system's code page writes them. A path
// that does not survive the conversion (a character the code page lacks,
// which would read as "?"), that holds a wildcard or that is longer than
// MAX_PATH - 1 is left out, and goes to `refused` (when given) as it can be
// shown.

// The paths of a drop block: a DROPFILES header, then zero-terminated names
// ending with an empty one, in ANSI or UTF-16. `size` bounds the reading: a
// damaged block yields what lies inside.
std::vector<std::string> PathsOfDropBlock(const BYTE* block, size_t size, std::vector<std::string>* refused = nullptr);

// Whether `data` offers `wanted` in global memory: asked, or else listed
// (not every data object answers QueryGetData).
bool OffersFormat(IDataObject* data, CLIPFORMAT wanted);

// The file list of a data object, read from our own copy of the medium,
// which is released with ReleaseStgMedium (DragFinish is only for what
// WM_DROPFILES brings). Empty when it holds none.
std::vector<std::string> FileListOfDataObject(IDataObject* data, std::vector<std::string>* refused = nullptr);

// The file list on the clipboard; the clipboard is closed again at once.
std::vector<std::string> FileListOfClipboard(HWND owner, std::vector<std::string>* refused = nullptr);

// The paths of a drop the system delivered when `take` (else none); the
// handle is finished in every case.
std::vector<std::string> FileListOfDrop(HDROP drop, bool take, std::vector<std::string>* refused = nullptr);

// The paths an open-file dialog with OFN_ALLOWMULTISELECT | OFN_EXPLORER
// returns in its buffer: one full path, or the folder followed by names.
std::vector<std::string> PathsOfOpenFileNames(const char* names);
