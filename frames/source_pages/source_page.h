// CSourcePage: what every page of the source page frame carries: its frame
// (the partner, the services, the class identifier), its texts and message
// boxes, the object logger, the dialog's resizing, the Back and Next
// buttons, the enabled state the project gives, and the image path with
// the temporary folder the page made for it.
#pragma once
#include "image_files.h"
#include "resource.h"
#include "source_page_frame.h"
#include "ui_object.h"
#include <com/bstr.h>
#include <com/module.h>
#include <frames/common/dialog_resizer.h>
#include <frames/common/next_back_buttons.h>
#include <shared/auto_object_logger.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <shared/variant_safearray.h>
#include <window/dialog.h>
#include <cstdio>
#include <string>

template <class T>
class CSourcePage : public wnd::DialogImpl<T>,
                    public IUIObject,
                    public CTranslator<T, &CLSID_CoPelgrave>,
                    public CSettingsHelper<T, &CLSID_CoPelgrave>,
                    public CAutoObjectLogger<T>,
                    public CNextBackButtonsCreator<T> {
public:
    enum : int { MIN_TRACK_WIDTH = 150, MIN_TRACK_HEIGHT = 200 };

    explicit CSourcePage(CCoPelgrave& frame) : m_frame(frame) {}
    ~CSourcePage() override
    {
        // Only an emptied folder goes.
        if (!m_tempFolder.empty()) RemoveDirectoryA(m_tempFolder.c_str());
    }

    HRESULT Create(HWND parent) override
    {
        wnd::DialogImpl<T>::Create(parent);
        return this->IsWindow() ? S_OK : E_FAIL;
    }
    HRESULT GetHwnd(HWND* out) override
    {
        if (!out) return E_POINTER;
        *out = this->m_hWnd;
        return S_OK;
    }
    HRESULT SetNextBackLayout(SAFEARRAY* data) override
    {
        HRESULT hr = S_OK;
        this->HandleNextBackCommand(PCID_SET_BUTTONS_POS, data, &hr);
        return hr;
    }
    // The project sends UI4 0/1, the frames BOOL.
    HRESULT EnableUI(SAFEARRAY* data) override
    {
        BOOL enabled = TRUE;
        HRESULT hr = ExtractFromSafearray(data, {{VT_BOOL, &enabled}});
        if (FAILED(hr)) return hr;
        m_enabled = enabled != 0;
        static_cast<T*>(this)->RefreshControls();
        return S_OK;
    }
    // No action of the page stays marked.
    HRESULT OnHostButton(SAFEARRAY*) override
    {
        MarkNoAction();
        return S_OK;
    }

    HRESULT LoadChoices(ILoadableSection* section) override
    {
        com::Bstr path;
        if (SUCCEEDED(section->LoadString(com::Bstr("ImagePath"), &path))) m_imagePath = path.Ansi();
        unsigned long value = 0;
        if (SUCCEEDED(section->LoadDWORD(com::Bstr("DeleteImage"), &value))) m_delete = value != 0;
        static_cast<T*>(this)->OnChoicesLoaded(section);
        if (this->IsWindow()) {
            ShowImagePath();
            CheckDlgButton(this->m_hWnd, IDC_DELETE_IMAGE, m_delete ? BST_CHECKED : BST_UNCHECKED);
            static_cast<T*>(this)->RefreshControls();
        }
        m_modified = false;
        return S_OK;
    }
    HRESULT SaveChoices(ISaveableSection* section) override
    {
        HRESULT hr = section->SaveString(com::Bstr("ImagePath"), com::Bstr(static_cast<T*>(this)->SavedImagePath()));
        if (SUCCEEDED(hr)) hr = section->SaveDWORD(com::Bstr("DeleteImage"), m_delete ? 1 : 0);
        if (SUCCEEDED(hr)) hr = static_cast<T*>(this)->SaveMoreChoices(section);
        return hr;
    }
    bool Modified() const override { return m_modified; }
    void SetModified(bool modified) override { m_modified = modified; }

    // A command to the project as the frame (the Back and Next buttons too).
    HRESULT SendCommand(unsigned int id, SAFEARRAY* data) { return m_frame.SendToPartner(id, data); }

    // A text of the page: the language file's, else the module's own.
    static std::string Text(UINT id)
    {
        std::string text = T::GetLangStr(id);
        if (!text.empty()) return text;
        char own[1024] = "";
        LoadStringA(com::ModuleInstance(), id, own, sizeof(own));
        return own;
    }
    int Box(UINT text, UINT type) { return T::MessageBox(this->m_hWnd, Text(text).c_str(), type); }

protected:
    // The pane with its caption and 32-pixel icon.
    void AddPane(unsigned pane, UINT caption, UINT icon)
    {
        HICON image = LoadIconOfSize(icon, 32);
        CVariantSafearray data(3);
        if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, pane},
                                                     {VT_BSTR, com::Bstr(Text(caption)).Get()},
                                                     {VT_UI4, HandleValue(image)}})))
            SendCommand(PCID_ADD_PANE, data);
        if (image) DestroyIcon(image);
    }
    void MarkNoAction()
    {
        CVariantSafearray mark(2);
        if (mark.Create() && SUCCEEDED(mark.Prepare({{VT_UI4, static_cast<unsigned>(T::PANE_ID)}, {VT_UI4, 0xFFFFFFFEu}})))
            SendCommand(PCID_SET_ACTIVE_ACTION, mark);
    }
    // PCID_ENABLE_UI [BOOL] to the project (the grab page's own work).
    void SendEnableUI(bool enabled)
    {
        CVariantSafearray data(1);
        if (data.Create() && SUCCEEDED(data.Prepare({{VT_BOOL, enabled ? VARIANT_TRUE : VARIANT_FALSE}})))
            SendCommand(PCID_ENABLE_UI, data);
    }
    // PCID_SOURCE_READY [UI4 result, BSTR path].
    HRESULT SendSourceReady(HRESULT result, const std::string& path)
    {
        CVariantSafearray data(2);
        if (!data.Create()) return E_OUTOFMEMORY;
        HRESULT hr = data.Prepare({{VT_UI4, static_cast<unsigned long>(result)}, {VT_BSTR, com::Bstr(path).Get()}});
        return SUCCEEDED(hr) ? SendCommand(PCID_SOURCE_READY, data) : hr;
    }
    // The control's translated text; an empty translation keeps the template's.
    void SetControlText(int control, UINT text)
    {
        const std::string translated = T::GetLangStr(text);
        if (!translated.empty()) SetDlgItemTextA(this->m_hWnd, control, translated.c_str());
    }
    void ShowImagePath() { SetDlgItemTextA(this->m_hWnd, IDC_IMAGE_PATH, m_imagePath.c_str()); }
    void EnableControl(int control, bool enabled) { ::EnableWindow(::GetDlgItem(this->m_hWnd, control), enabled); }
    // The result of a burn the project passed on (its first element).
    static bool BurnSucceeded(SAFEARRAY* data)
    {
        long result = E_FAIL;
        return SUCCEEDED(ExtractFromSafearray(data, {{VT_HRESULT, &result}})) && SUCCEEDED(result);
    }

    static HICON LoadIconOfSize(UINT id, int size)
    {
        return static_cast<HICON>(
            LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_VGACOLOR));
    }
    static unsigned int HandleValue(HICON icon) { return static_cast<unsigned int>(reinterpret_cast<UINT_PTR>(icon)); }

    // What a page adds to the saved choices.
    void OnChoicesLoaded(ILoadableSection*) {}
    HRESULT SaveMoreChoices(ISaveableSection*) { return S_OK; }
    const std::string& SavedImagePath() const { return m_imagePath; }
    LRESULT OnDeleteChecked(WORD, WORD, HWND, BOOL&)
    {
        m_delete = IsDlgButtonChecked(this->m_hWnd, IDC_DELETE_IMAGE) == BST_CHECKED;
        m_modified = true;
        return 0;
    }

    CCoPelgrave& m_frame;
    CDialogResizer m_resizer;
    bool m_enabled = true;
    bool m_delete = false;  // delete the image after a successful burn
    bool m_modified = false;
    std::string m_imagePath;
    std::string m_tempFolder;  // made by the page for its image; empty when none
};
