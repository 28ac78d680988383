#include "file_lists.h"
#include <com/ptr.h>
#include <cstring>

namespace {

const size_t LONGEST_PATH = MAX_PATH - 1;

// A path in the code page, or false when it cannot be one of ours.
bool TakeAnsi(const std::string& path, std::vector<std::string>& paths, std::vector<std::string>* refused)
{
    const bool fits = path.size() <= LONGEST_PATH && path.find_first_of("?*") == std::string::npos;
    if (fits) paths.push_back(path);
    else if (refused) refused->push_back(path);
    return fits;
}

void TakeWide(const std::wstring& name, std::vector<std::string>& paths, std::vector<std::string>* refused)
{
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), int(name.size()), nullptr, 0,
                                      nullptr, &lossy);
    std::string ansi(n > 0 ? size_t(n) : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.data(), int(name.size()), &ansi[0], n, nullptr, &lossy);
    if (n <= 0 || lossy) {
        if (refused) refused->push_back(ansi);
        return;
    }
    TakeAnsi(ansi, paths, refused);
}

}  // namespace

std::vector<std::string> PathsOfDropBlock(const BYTE* block, size_t size, std::vector<std::string>* refused)
{
    std::vector<std::string> paths;
    if (size < sizeof(DROPFILES)) return paths;
    const DROPFILES* header = reinterpret_cast<const DROPFILES*>(block);
    size_t at = header->pFiles;
    if (header->fWide) {
        while (at + 2 <= size) {
            std::wstring name;
            while (at + 2 <= size) {
                wchar_t c;
                std::memcpy(&c, block + at, 2);
                at += 2;
                if (!c) break;
                name += c;
            }
            if (name.empty()) break;
            TakeWide(name, paths, refused);
        }
    } else {
        while (at < size) {
            const char* start = reinterpret_cast<const char*>(block + at);
            size_t n = strnlen(start, size - at);
            if (n == 0) break;
            TakeAnsi(std::string(start, n), paths, refused);
            at += n + 1;
        }
    }
    return paths;
}

bool OffersFormat(IDataObject* data, CLIPFORMAT wanted)
{
    FORMATETC asked = {wanted, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (data->QueryGetData(&asked) == S_OK) return true;
    com::ComPtr<IEnumFORMATETC> formats;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, &formats)) || !formats) return false;
    FORMATETC format;
    ULONG got = 0;
    while (formats->Next(1, &format, &got) == S_OK && got == 1) {
        if (format.ptd) CoTaskMemFree(format.ptd);
        if (format.cfFormat == wanted && (format.tymed & TYMED_HGLOBAL)) return true;
    }
    return false;
}

namespace {
std::vector<BYTE> CopyOfGlobal(HGLOBAL memory)
{
    std::vector<BYTE> block;
    if (!memory) return block;
    const SIZE_T size = GlobalSize(memory);
    if (const void* bytes = GlobalLock(memory)) {
        block.assign(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
        GlobalUnlock(memory);
    }
    return block;
}
}  // namespace

std::vector<std::string> FileListOfDataObject(IDataObject* data, std::vector<std::string>* refused)
{
    FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (!data || FAILED(data->GetData(&files, &medium))) return {};
    std::vector<BYTE> block;
    if (medium.tymed == TYMED_HGLOBAL) block = CopyOfGlobal(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return PathsOfDropBlock(block.data(), block.size(), refused);
}

std::vector<std::string> FileListOfClipboard(HWND owner, std::vector<std::string>* refused)
{
    if (!OpenClipboard(owner)) return {};
    std::vector<BYTE> block = CopyOfGlobal(GetClipboardData(CF_HDROP));
    CloseClipboard();
    return PathsOfDropBlock(block.data(), block.size(), refused);
}

std::vector<std::string> FileListOfDrop(HDROP drop, bool take, std::vector<std::string>* refused)
{
    std::vector<std::string> paths;
    if (take) {
        // Read wide and whole, then converted as a drop block is.
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            const UINT n = DragQueryFileW(drop, i, &name[0], UINT(name.size()));
            name.resize(n);
            if (!name.empty()) TakeWide(name, paths, refused);
        }
    }
    DragFinish(drop);
    return paths;
}

std::vector<std::string> PathsOfOpenFileNames(const char* names)
{
    std::vector<std::string> parts;
    for (const char* p = names; *p; p += std::strlen(p) + 1) parts.push_back(p);
    if (parts.size() <= 1) return parts;
    std::string folder = parts[0];
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}
