// The image files of the source pages: our .mds descriptor with its data
// files "<base>.xm0", "<base>.xm1", ... (the image set), or an .iso file; the
// temporary folder of a disc copy; the file dialog that chooses an image.
#pragma once
#include <windows.h>
#include <string>

// The path without its extension ("C:\a\x.mds" -> "C:\a\x").
std::string WithoutExtension(const std::string& path);
// The path with ".mds" in place of its extension: what a grab writes.
std::string AsDescriptorPath(const std::string& path);
// True for "xmf" and "xm" followed by digits only (case-insensitive):
// the extensions of an image set's data files.
bool IsImageSetExtension(const std::string& extension);
// Deletes the image set beside `path` ("<base>.xmN", "<base>.xmf"); an
// empty path deletes nothing.
void DeleteImageSet(const std::string& path);
// Deletes an image: the file, and with a descriptor its image set. An
// .iso's neighbours are never touched.
void DeleteImage(const std::string& path);
// A new folder "<temp>\NNNNNNNN\" named by the tick count, retried while
// the name is taken; empty when none could be made.
std::string MakeTemporaryImageFolder();

// The system's open-file dialog over the image types, owned by the active
// window, the current path its initial file. `mustExist` for an image to
// burn; else a new name may be typed. True with *path set on OK.
bool ChooseImageFile(const std::string& filter, bool mustExist, std::string* path);
