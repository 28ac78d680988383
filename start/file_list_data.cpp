#include "file_list_data.h"
#include <common.h>
#include <shlobj.h>
#include <cstring>

HGLOBAL CreateDropFilesBlock(const std::vector<std::string>& paths)
{
    SIZE_T size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    if (!header) {
        ::GlobalFree(block);
        return nullptr;
    }
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    ::GlobalUnlock(block);  // the final zero is the allocation's
    return block;
}

IDataObject* CreateFileListData(const std::vector<std::string>& paths)
{
    IDataObject* data = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_CommonDataObject, nullptr, CLSCTX_INPROC_SERVER, IID_IDataObject,
                                  reinterpret_cast<void**>(&data))) ||
        !data)
        return nullptr;
    HGLOBAL block = CreateDropFilesBlock(paths);
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    if (!block || FAILED(data->SetData(&format, &medium, TRUE))) {
        if (block) ::GlobalFree(block);
        data->Release();
        return nullptr;
    }
    return data;
}
