#include "settings.h"
#include "xml_file.h"
#include <com/guard.h>
#include <com/text.h>
#include <cstdlib>

using com::AnsiFromBstr;

const char* const UNREADABLE_SETTINGS_SUFFIX = ".unreadable";

namespace {

const char kNewFile[] = "<?xml version=\"1.0\" standalone=no>\n<CFG />";

TiXmlElement* FirstChildNamed(TiXmlNode* parent, const std::string& name)
{
    return parent ? parent->FirstChildElement(name.c_str()) : nullptr;
}

TiXmlElement* FirstOrNewChild(TiXmlNode* parent, const std::string& name)
{
    TiXmlElement* child = parent->FirstChildElement(name.c_str());
    if (child) return child;
    TiXmlNode* added = parent->InsertEndChild(TiXmlElement(name.c_str()));
    return added ? added->ToElement() : nullptr;
}

}  // namespace

void CCoSettings::FinalRelease()
{
    if (!m_saveAtRelease) return;
    com::Guarded("CCoSettings::FinalRelease", [&]() -> HRESULT { return SaveXmlFile(m_doc, m_fileName); });
}

STDMETHODIMP CCoSettings::Init(BSTR a_psFileName)
{
    return com::Guarded("CCoSettings::Init", [&]() -> HRESULT {
        if (!a_psFileName) return E_INVALIDARG;
        com::ObjectLock<CCoSettings> lock(this);
        m_fileName = AnsiFromBstr(a_psFileName);
        m_doc = TiXmlDocument();
        XmlLoad loaded = LoadXmlFile(m_doc, m_fileName);
        m_saveAtRelease = true;
        if (loaded == XmlLoad::Loaded) return S_OK;

        if (loaded == XmlLoad::Unopenable) {
            // Someone else's file we cannot read: never overwrite it.
            m_saveAtRelease = false;
        } else if (loaded == XmlLoad::Unparsable) {
            // Keep the user's unreadable file before it is replaced.
            std::string copy = m_fileName + UNREADABLE_SETTINGS_SUFFIX;
            m_saveAtRelease = CopyFileA(m_fileName.c_str(), copy.c_str(), FALSE) != 0;
        }
        m_doc = TiXmlDocument();
        m_doc.Parse(kNewFile, nullptr, TIXML_ENCODING_LEGACY);
        return S_OK;
    });
}

TiXmlElement* CCoSettings::FindKeyElement(BSTR section, BSTR key)
{
    return FirstChildNamed(FirstChildNamed(m_doc.RootElement(), AnsiFromBstr(section)), AnsiFromBstr(key));
}

TiXmlElement* CCoSettings::FindOrCreateKeyElement(BSTR section, BSTR key)
{
    TiXmlElement* root = m_doc.RootElement();
    if (!root) return nullptr;
    TiXmlElement* sectionElement = FirstOrNewChild(root, AnsiFromBstr(section));
    return sectionElement ? FirstOrNewChild(sectionElement, AnsiFromBstr(key)) : nullptr;
}

const char* CCoSettings::FindValue(BSTR section, BSTR key, BSTR tag)
{
    TiXmlElement* element = FindKeyElement(section, key);
    return element ? element->Attribute(AnsiFromBstr(tag).c_str()) : nullptr;
}

// A name the file could not be read back with (an empty one among them)
// is refused: written once, it would cost every setting at the next start.
HRESULT CCoSettings::SetValue(BSTR section, BSTR key, BSTR tag, const std::string& value)
{
    const std::string tagName = AnsiFromBstr(tag);
    if (!IsXmlName(AnsiFromBstr(section)) || !IsXmlName(AnsiFromBstr(key)) || !IsXmlName(tagName))
        return E_INVALIDARG;
    com::ObjectLock<CCoSettings> lock(this);
    TiXmlElement* element = FindOrCreateKeyElement(section, key);
    if (!element) return E_INVALIDARG;
    element->SetAttribute(tagName.c_str(), value.c_str());
    return S_OK;
}

STDMETHODIMP CCoSettings::GetDWORD(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                                   unsigned long* a_pdwData, unsigned long a_dwDefault)
{
    return com::Guarded("CCoSettings::GetDWORD", [&]() -> HRESULT {
        if (!a_pdwData) return E_POINTER;
        *a_pdwData = a_dwDefault;  // callers take it whatever the answer, out of memory too
        com::ObjectLock<CCoSettings> lock(this);
        const char* value = FindValue(a_sSectionName, a_sKeyName, a_sTag);
        *a_pdwData = value ? static_cast<unsigned long>(std::atoi(value)) : a_dwDefault;
        return value ? S_OK : E_INVALIDARG;
    });
}

STDMETHODIMP CCoSettings::GetString(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                                    BSTR* a_psData, BSTR a_sDefault)
{
    return com::Guarded("CCoSettings::GetString", [&]() -> HRESULT {
        if (!a_psData) return E_POINTER;
        *a_psData = nullptr;
        com::ObjectLock<CCoSettings> lock(this);
        const char* value = FindValue(a_sSectionName, a_sKeyName, a_sTag);
        if (value) {
            *a_psData = com::BstrFromAnsi(value);
            return S_OK;
        }
        *a_psData = a_sDefault ? SysAllocStringLen(a_sDefault, SysStringLen(a_sDefault)) : nullptr;
        return E_INVALIDARG;
    });
}

STDMETHODIMP CCoSettings::GetDouble(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                                    double* a_pfData, double a_fDefault)
{
    return com::Guarded("CCoSettings::GetDouble", [&]() -> HRESULT {
        if (!a_pfData) return E_POINTER;
        *a_pfData = a_fDefault;
        com::ObjectLock<CCoSettings> lock(this);
        const char* value = FindValue(a_sSectionName, a_sKeyName, a_sTag);
        *a_pfData = value ? std::atof(value) : a_fDefault;
        return value ? S_OK : E_INVALIDARG;
    });
}

STDMETHODIMP CCoSettings::SetDWORD(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                                   unsigned long a_dwData)
{
    return com::Guarded("CCoSettings::SetDWORD", [&]() -> HRESULT {
        return SetValue(a_sSectionName, a_sKeyName, a_sTag, FormatXmlDword(a_dwData));
    });
}

STDMETHODIMP CCoSettings::SetString(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag, BSTR a_sData)
{
    return com::Guarded("CCoSettings::SetString", [&]() -> HRESULT {
        return SetValue(a_sSectionName, a_sKeyName, a_sTag, AnsiFromBstr(a_sData));
    });
}

STDMETHODIMP CCoSettings::SetDouble(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag, double a_fData)
{
    return com::Guarded("CCoSettings::SetDouble", [&]() -> HRESULT {
        return SetValue(a_sSectionName, a_sKeyName, a_sTag, FormatXmlDouble(a_fData));
    });
}
