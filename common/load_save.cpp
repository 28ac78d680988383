#include "load_save.h"
#include "sections.h"
#include "xml_file.h"
#include <shared/guid_text.h>
#include <com/guard.h>
#include <com/text.h>
#include <cstring>

namespace {

// The text a new project file starts from.
const char NEW_SAVE_FILE[] =
    "<?xml version=\"1.0\" standalone=no>\n<Tavell_Burner_save_file version=\"1.0\"/>";

// A project file must begin as the new-file text does ("<?xml").
bool StartsLikeSaveFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[5];
    DWORD read = 0;
    bool ok = ReadFile(file, head, sizeof(head), &read, nullptr) && read == sizeof(head) &&
              std::memcmp(head, NEW_SAVE_FILE, sizeof(head)) == 0;
    CloseHandle(file);
    return ok;
}

}  // namespace

STDMETHODIMP CCoLoadSaveImpl::OpenFile(BSTR a_sFilename, long a_bForWriting)
{
    return com::Guarded("CCoLoadSaveImpl::OpenFile", [&]() -> HRESULT {
        com::ObjectLock<CCoLoadSaveImpl> lock(this);
        if (m_open) return S_FALSE;
        if (!a_sFilename) return E_INVALIDARG;
        const std::string path = com::AnsiFromBstr(a_sFilename);
        m_doc = TiXmlDocument();
        if (a_bForWriting) {
            // The file itself is written only by SaveFile.
            m_doc.Parse(NEW_SAVE_FILE, nullptr, TIXML_ENCODING_LEGACY);
        } else {
            HRESULT hr = OpenForReading(path);
            if (FAILED(hr)) return hr;
        }
        m_fileName = path;
        m_open = true;
        return S_OK;
    });
}

HRESULT CCoLoadSaveImpl::OpenForReading(const std::string& path)
{
    if (!StartsLikeSaveFile(path)) return TYPE_E_WRONGTYPEKIND;
    // Byte-wise: escaped values and ANSI texts must arrive as stored.
    if (LoadXmlFile(m_doc, path) != XmlLoad::Loaded) {
        m_doc = TiXmlDocument();
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CCoLoadSaveImpl::OpenMemory(ULONG_PTR a_pMem)
{
    return com::Guarded("CCoLoadSaveImpl::OpenMemory", [&]() -> HRESULT {
        com::ObjectLock<CCoLoadSaveImpl> lock(this);
        if (m_open) return S_FALSE;
        if (!a_pMem) return E_POINTER;
        m_doc = TiXmlDocument();
        const char* text = reinterpret_cast<const char*>(a_pMem);
        if (!NestsWithin(text, MAX_XML_DEPTH)) return E_FAIL;
        m_doc.Parse(text, nullptr, TIXML_ENCODING_LEGACY);
        if (m_doc.Error()) {
            m_doc = TiXmlDocument();
            return E_FAIL;
        }
        m_fileName.clear();
        m_open = true;
        return S_OK;
    });
}

STDMETHODIMP CCoLoadSaveImpl::SaveFile()
{
    return com::Guarded("CCoLoadSaveImpl::SaveFile", [&]() -> HRESULT {
        com::ObjectLock<CCoLoadSaveImpl> lock(this);
        if (!m_open || m_fileName.empty()) return E_FAIL;
        return SaveXmlFile(m_doc, m_fileName);
    });
}

TiXmlElement* CCoLoadSaveImpl::FindSection(REFIID iid)
{
    TiXmlElement* root = m_doc.RootElement();
    return root ? root->FirstChildElement(GuidToSectionName(iid).c_str()) : nullptr;
}

STDMETHODIMP CCoLoadSaveImpl::GetSectionForReading(IID* a_piid, ILoadableSection** a_ppSection)
{
    return com::Guarded("CCoLoadSaveImpl::GetSectionForReading", [&]() -> HRESULT {
        if (!a_ppSection) return E_POINTER;
        *a_ppSection = nullptr;
        if (!a_piid) return E_POINTER;
        com::ObjectLock<CCoLoadSaveImpl> lock(this);
        TiXmlElement* section = m_open ? FindSection(*a_piid) : nullptr;
        if (!section) return E_FAIL;
        return CreateLoadableSection(static_cast<ILoadSaveImpl*>(this), section, a_ppSection);
    });
}

STDMETHODIMP CCoLoadSaveImpl::GetSectionForWriting(IID* a_piid, ISaveableSection** a_ppSection)
{
    return com::Guarded("CCoLoadSaveImpl::GetSectionForWriting", [&]() -> HRESULT {
        if (!a_ppSection) return E_POINTER;
        *a_ppSection = nullptr;
        if (!a_piid) return E_POINTER;
        com::ObjectLock<CCoLoadSaveImpl> lock(this);
        // A document read from a text without a root element has nowhere to put it.
        TiXmlElement* root = m_open ? m_doc.RootElement() : nullptr;
        if (!root) return E_FAIL;
        TiXmlElement* section = FindSection(*a_piid);
        if (!section) {
            TiXmlNode* added = root->InsertEndChild(TiXmlElement(GuidToSectionName(*a_piid).c_str()));
            section = added ? added->ToElement() : nullptr;
        }
        if (!section) return E_FAIL;
        return CreateSaveableSection(static_cast<ILoadSaveImpl*>(this), section, a_ppSection);
    });
}
