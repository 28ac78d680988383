#include "shell_items.h"
#include <com/ptr.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>

namespace {

com::ComPtr<IShellFolder> Desktop()
{
    com::ComPtr<IShellFolder> desktop;
    ::SHGetDesktopFolder(&desktop);
    return desktop;
}

com::ComPtr<IShellFolder> BindFolder(LPCITEMIDLIST absolute)
{
    com::ComPtr<IShellFolder> desktop = Desktop();
    if (!desktop || !absolute || !absolute->mkid.cb) return desktop;
    com::ComPtr<IShellFolder> folder;
    desktop->BindToObject(absolute, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
    return folder;
}

std::string DisplayName(IShellFolder* folder, LPCITEMIDLIST child)
{
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name))) return std::string();
    char text[MAX_PATH] = "";
    ::StrRetToBufA(&name, child, text, sizeof(text));
    return text;
}

}  // namespace

CShellIdList& CShellIdList::operator=(CShellIdList&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_list = other.m_list;
        other.m_list = nullptr;
    }
    return *this;
}

void CShellIdList::Reset()
{
    if (m_list) ::CoTaskMemFree(m_list);
    m_list = nullptr;
}

CShellIdList CShellIdList::Clone() const { return CShellIdList(m_list ? ::ILClone(m_list) : nullptr); }

std::vector<CShellEntry> ShellChildren(LPCITEMIDLIST absolute, bool withFiles, HWND owner)
{
    std::vector<CShellEntry> children;
    com::ComPtr<IShellFolder> folder = BindFolder(absolute);
    if (!folder) return children;
    com::ComPtr<IEnumIDList> items;
    const SHCONTF flags = SHCONTF_FOLDERS | (withFiles ? SHCONTF_NONFOLDERS : 0);
    if (folder->EnumObjects(owner, flags, &items) != S_OK || !items) return children;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &child, &fetched) == S_OK && child) {
        CShellIdList relative(child);
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM;
        LPCITEMIDLIST one = relative.Get();
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) continue;
        CShellEntry entry;
        entry.name = DisplayName(folder, relative.Get());
        entry.absolute = CShellIdList(::ILCombine(absolute, relative.Get()));
        if (entry.absolute.IsEmpty()) continue;
        entry.folder = (attributes & SFGAO_FOLDER) != 0;
        entry.hasSubfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
        if (!withFiles && !entry.folder) continue;
        children.push_back(std::move(entry));
    }
    return children;
}

CShellEntry DesktopEntry()
{
    CShellEntry desktop;
    LPITEMIDLIST list = nullptr;
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list);
    desktop.absolute = CShellIdList(list);
    SHFILEINFOA info = {};
    ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
    desktop.name = info.szDisplayName;
    desktop.folder = desktop.hasSubfolders = true;
    return desktop;
}

int CompareDisplayNames(const std::string& a, const std::string& b)
{
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) - CSTR_EQUAL;
}

bool SameShellItem(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    com::ComPtr<IShellFolder> desktop = Desktop();
    return desktop && HRESULT_CODE(desktop->CompareIDs(0, a, b)) == 0;
}

int ShellIcon(LPCITEMIDLIST absolute, bool open)
{
    SHFILEINFOA info = {};
    const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (!::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof(info), flags)) return -1;
    return info.iIcon;
}

CShellFileFacts ShellFileFacts(LPCITEMIDLIST absolute)
{
    CShellFileFacts facts;
    SHFILEINFOA info = {};
    if (::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof(info),
                         SHGFI_PIDL | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        facts.type = info.szTypeName;
        facts.icon = info.iIcon;
    }
    char path[MAX_PATH] = "";
    if (::SHGetPathFromIDListA(absolute, path)) facts.path = path;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!facts.path.empty() && ::GetFileAttributesExA(facts.path.c_str(), GetFileExInfoStandard, &data)) {
        facts.attributes = data.dwFileAttributes;
        facts.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return facts;
}

HIMAGELIST SystemImageList(bool large)
{
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
        SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
}
