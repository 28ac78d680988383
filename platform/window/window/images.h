// Owners of icons and image lists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <utility>

namespace wnd {

class Icon {
public:
    explicit Icon(HICON icon = nullptr) : m_icon(icon) {}
    Icon(Icon&& o) noexcept : m_icon(o.Detach()) {}
    Icon& operator=(Icon&& o) noexcept { Attach(o.Detach()); return *this; }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    ~Icon() { Attach(nullptr); }

    // An icon resource in the given size (0, 0: the system's icon size).
    static Icon Load(HINSTANCE module, int id, int width = 0, int height = 0)
    {
        UINT flags = width || height ? 0 : LR_DEFAULTSIZE;
        return Icon(static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, flags)));
    }

    operator HICON() const { return m_icon; }
    explicit operator bool() const { return m_icon != nullptr; }
    void Attach(HICON icon)
    {
        if (m_icon) ::DestroyIcon(m_icon);
        m_icon = icon;
    }
    HICON Detach() { return std::exchange(m_icon, nullptr); }

private:
    HICON m_icon;
};

class ImageList {
public:
    explicit ImageList(HIMAGELIST list = nullptr) : m_list(list) {}
    ImageList(ImageList&& o) noexcept : m_list(o.Detach()) {}
    ImageList& operator=(ImageList&& o) noexcept { Attach(o.Detach()); return *this; }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList() { Attach(nullptr); }

    // `flags`: ILC_COLOR32 | ILC_MASK and the like.
    static ImageList Create(int width, int height, UINT flags, int initial = 4, int grow = 4)
    {
        return ImageList(::ImageList_Create(width, height, flags, initial, grow));
    }

    operator HIMAGELIST() const { return m_list; }
    explicit operator bool() const { return m_list != nullptr; }
    // Each returns the index of the first image added, or -1.
    int Add(HBITMAP images, HBITMAP mask = nullptr) const { return ::ImageList_Add(m_list, images, mask); }
    int AddMasked(HBITMAP images, COLORREF mask) const { return ::ImageList_AddMasked(m_list, images, mask); }
    int AddIcon(HICON icon) const { return ::ImageList_AddIcon(m_list, icon); }
    int GetCount() const { return ::ImageList_GetImageCount(m_list); }
    BOOL Draw(int index, HDC dc, int x, int y, UINT style = ILD_NORMAL) const
    {
        return ::ImageList_Draw(m_list, index, dc, x, y, style);
    }
    void Attach(HIMAGELIST list)
    {
        if (m_list) ::ImageList_Destroy(m_list);
        m_list = list;
    }
    // For a control that takes the list over (LVS_SHAREIMAGELISTS not set).
    HIMAGELIST Detach() { return std::exchange(m_list, nullptr); }

private:
    HIMAGELIST m_list;
};

}  // namespace wnd
