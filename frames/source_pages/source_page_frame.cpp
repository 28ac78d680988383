#include "source_page_frame.h"
#include "copy_source_page.h"
#include "grab_image_page.h"
#include "image_source_page.h"
#include "resource.h"
#include <com/guard.h>
#include <com/module.h>
#include <shared/log.h>
#include <shared/translator.h>
#include <commctrl.h>
#include <cstdio>

namespace {

// The image types of the file dialogs, in order: extensions and name.
const struct {
    const char* extensions[2];
    UINT name;
    const char* fallback;
} kImageTypes[] = {
    {{".mds", nullptr}, IDS_MDS_FILES, "MDS image files"},
    {{".iso", nullptr}, IDS_ISO_FILES, "ISO image files"},
};

std::string FrameText(UINT id, const char* fallback)
{
    std::string text = CTranslator<CCoPelgrave, &CLSID_CoPelgrave>::GetLangStr(id);
    if (!text.empty()) return text;
    char own[512] = "";
    if (LoadStringA(com::ModuleInstance(), id, own, sizeof own) > 0) return own;
    return fallback;
}

std::string FilterEntry(const std::string& name, const std::string& patterns)
{
    return name + " (" + patterns + ")|" + patterns + "|";
}

}  // namespace

CCoPelgrave::~CCoPelgrave() = default;

void CCoPelgrave::FinalRelease()
{
    DropPage();
    if (m_buttonsPos) SafeArrayDestroy(m_buttonsPos);
    m_buttonsPos = nullptr;
}

void CCoPelgrave::DropPage()
{
    if (!m_pUIObject) return;
    HWND window = nullptr;
    if (SUCCEEDED(m_pUIObject->GetHwnd(&window)) && ::IsWindow(window)) DestroyWindow(window);
    m_pUIObject.reset();
}

std::string CCoPelgrave::CreateFilterString()
{
    CLogFunctionScope scope("CCoPelgrave CreateFilterString");
    std::string all, each;
    int types = 0;
    for (const auto& type : kImageTypes) {
        std::string patterns;
        for (const char* extension : type.extensions) {
            if (!extension) continue;
            if (!patterns.empty()) patterns += ";";
            patterns += std::string("*") + extension;
        }
        each += FilterEntry(FrameText(type.name, type.fallback), patterns);
        all += (all.empty() ? "" : ";") + patterns;
        ++types;
    }
    // The entry of every image type comes first: the dialog opens on it.
    std::string filter;
    if (types > 1) filter = FilterEntry(FrameText(IDS_ALL_SUPPORTED_FILES, "All supported files"), all);
    return filter + each + FilterEntry(FrameText(IDS_ALL_FILES, "All files"), "*.*");
}

STDMETHODIMP CCoPelgrave::CreateOwnWindow(HWND a_hWndParent) { return CreateOwnWindowEx(a_hWndParent, MODE_COPY_SOURCE); }

STDMETHODIMP CCoPelgrave::CreateOwnWindowEx(HWND a_hWndParent, long a_lMode)
{
    return com::Guarded("CCoPelgrave::CreateOwnWindowEx", [&]() -> HRESULT {
        CLogFunctionScope scope("CCoPelgrave CreateOwnWindowEx");
        if (!::IsWindow(a_hWndParent)) return E_INVALIDARG;
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        std::unique_ptr<IUIObject> page;
        switch (a_lMode) {
        case MODE_IMAGE_SOURCE: page.reset(new CBurnImageSourceWindow(*this)); break;
        case MODE_GRAB_IMAGE: page.reset(new CGrabImageWindow(*this)); break;
        default: page.reset(new CPelgraveWindow(*this)); break;
        }
        if (!page) {
            LogNull("m_pUIObject");
            return E_OUTOFMEMORY;
        }
        // The old page's window goes before its page does.
        DropPage();
        m_pUIObject = std::move(page);
        if (m_buttonsPos) m_pUIObject->SetNextBackLayout(m_buttonsPos);
        return m_pUIObject->Create(a_hWndParent);
    });
}

STDMETHODIMP CCoPelgrave::GetOwnWindow(HWND* a_hWndRet)
{
    if (!a_hWndRet) return E_POINTER;
    *a_hWndRet = nullptr;
    // No page yet: nothing to report.
    return m_pUIObject ? m_pUIObject->GetHwnd(a_hWndRet) : E_FAIL;
}

STDMETHODIMP CCoPelgrave::GetModified(long* a_pbModified)
{
    if (!a_pbModified) {
        LogNull("a_pbModified");
        return E_POINTER;
    }
    *a_pbModified = m_pUIObject && m_pUIObject->Modified() ? TRUE : FALSE;
    return S_OK;
}

STDMETHODIMP CCoPelgrave::Load(ILoadableSection* a_pSection)
{
    if (!a_pSection) return E_POINTER;
    return com::Guarded("CCoPelgrave::Load",
                        [&]() -> HRESULT { return m_pUIObject ? m_pUIObject->LoadChoices(a_pSection) : S_OK; });
}

STDMETHODIMP CCoPelgrave::Save(ISaveableSection* a_pSection)
{
    if (!a_pSection) return E_POINTER;
    return com::Guarded("CCoPelgrave::Save",
                        [&]() -> HRESULT { return m_pUIObject ? m_pUIObject->SaveChoices(a_pSection) : S_OK; });
}

STDMETHODIMP CCoPelgrave::OnSaveCompleted(HRESULT a_hrResult)
{
    if (m_pUIObject && SUCCEEDED(a_hrResult)) m_pUIObject->SetModified(false);
    return S_OK;
}

HRESULT CCoPelgrave::OnCommand(IUnknown*, REFCLSID, unsigned int id, SAFEARRAY* data)
{
    if (id == PCID_SET_BUTTONS_POS) {
        // A repeated layout replaces the copy it frees.
        SAFEARRAY* copy = nullptr;
        if (data && FAILED(SafeArrayCopy(data, &copy))) copy = nullptr;
        if (m_buttonsPos) SafeArrayDestroy(m_buttonsPos);
        m_buttonsPos = copy;
        if (m_pUIObject && copy) m_pUIObject->SetNextBackLayout(copy);
        return S_OK;
    }
    const bool forwarded = id == PCID_ENABLE_UI || id == PCID_START || id == PCID_ACTIVE_CHANGED_NOTIFY ||
                           id == PCID_RESULT || id == PCID_SOURCE_READY || id == PCID_CANCEL;
    if (!forwarded) return E_COMMAND_NOT_HANDLED;
    // Before a page is made there is none to forward to.
    if (!m_pUIObject) return E_FAIL;
    switch (id) {
    case PCID_ENABLE_UI: return m_pUIObject->EnableUI(data);
    case PCID_START: return m_pUIObject->OnBeginMainOp();
    case PCID_ACTIVE_CHANGED_NOTIFY: return m_pUIObject->OnHostButton(data);
    case PCID_CANCEL: return m_pUIObject->OnCancelMainOp();
    default: return m_pUIObject->OnEndMainOp(data);
    }
}
