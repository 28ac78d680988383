#include "sections.h"
#include "xml_file.h"
#include <com/guard.h>
#include <com/text.h>
#include <cstdlib>

using com::AnsiFromBstr;

namespace {

const unsigned char kEscapeMark = 0xFF;  // also stands for a zero nibble

bool NeedsEscape(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80) return true;
    return false;
}

char NibbleByte(unsigned nibble) { return static_cast<char>(nibble ? nibble : kEscapeMark); }

unsigned NibbleValue(char stored)
{
    unsigned char c = static_cast<unsigned char>(stored);
    return c == kEscapeMark ? 0 : (c & 0x0F);
}

}  // namespace

std::string EscapeSectionText(const std::string& text)
{
    if (!NeedsEscape(text)) return text;
    std::string value(2, static_cast<char>(kEscapeMark));
    for (unsigned char c : text) {
        value += NibbleByte(c & 0x0F);
        value += NibbleByte(c >> 4);
    }
    return value;
}

std::string UnescapeSectionText(const std::string& value)
{
    const char mark = static_cast<char>(kEscapeMark);
    if (value.size() < 2 || value[0] != mark || value[1] != mark) return value;
    std::string text;
    for (std::size_t i = 2; i + 1 < value.size(); i += 2)
        text += static_cast<char>(NibbleValue(value[i]) | (NibbleValue(value[i + 1]) << 4));
    return text;
}

HRESULT CreateLoadableSection(IUnknown* owner, TiXmlElement* element, ILoadableSection** out)
{
    return com::CreateObject<CCoLoadableSection>(IID_ILoadableSection, reinterpret_cast<void**>(out),
                                                 owner, element);
}

HRESULT CreateSaveableSection(IUnknown* owner, TiXmlElement* element, ISaveableSection** out)
{
    return com::CreateObject<CCoSaveableSection>(IID_ISaveableSection, reinterpret_cast<void**>(out),
                                                 owner, element);
}

// --- reading ---

const char* CCoLoadableSection::Attribute(BSTR key) const
{
    return m_element->Attribute(AnsiFromBstr(key).c_str());
}

STDMETHODIMP CCoLoadableSection::GetName(BSTR* a_pbsName)
{
    return com::Guarded("CCoLoadableSection::GetName", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_pbsName) return E_POINTER;
        *a_pbsName = com::BstrFromAnsi(m_element->Value());
        return S_OK;
    });
}

STDMETHODIMP CCoLoadableSection::LoadDWORD(BSTR a_bsKey, unsigned long* a_pdwValue)
{
    return com::Guarded("CCoLoadableSection::LoadDWORD", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_pdwValue) return E_POINTER;
        *a_pdwValue = 0;
        const char* value = Attribute(a_bsKey);
        if (!value) return E_FAIL;
        *a_pdwValue = static_cast<unsigned long>(std::atoi(value));
        return S_OK;
    });
}

STDMETHODIMP CCoLoadableSection::LoadDouble(BSTR a_bsKey, double* a_pfValue)
{
    return com::Guarded("CCoLoadableSection::LoadDouble", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_pfValue) return E_POINTER;
        *a_pfValue = 0;
        const char* value = Attribute(a_bsKey);
        if (!value) return E_FAIL;
        *a_pfValue = std::atof(value);
        return S_OK;
    });
}

STDMETHODIMP CCoLoadableSection::LoadString(BSTR a_bsKey, BSTR* a_pbsValue)
{
    return com::Guarded("CCoLoadableSection::LoadString", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_pbsValue) return E_POINTER;
        const char* value = Attribute(a_bsKey);
        if (!value || !*value) return E_FAIL;
        *a_pbsValue = com::BstrFromAnsi(UnescapeSectionText(value));
        return S_OK;
    });
}

STDMETHODIMP CCoLoadableSection::LoadRAW(BSTR, unsigned char*, unsigned long*) { return E_NOTIMPL; }

STDMETHODIMP CCoLoadableSection::InitializeChildrenPointer()
{
    if (!m_element) return E_FAIL;
    m_cursor = m_element->FirstChildElement();
    return m_cursor ? S_OK : E_FAIL;
}

STDMETHODIMP CCoLoadableSection::GetNextChild(ILoadableSection** a_ppChild)
{
    if (!m_element || !m_cursor) return E_FAIL;
    if (!a_ppChild) return E_POINTER;
    HRESULT hr = CreateLoadableSection(m_owner, m_cursor, a_ppChild);
    if (SUCCEEDED(hr)) m_cursor = m_cursor->NextSiblingElement();
    return hr;
}

STDMETHODIMP CCoLoadableSection::GetChildByName(BSTR a_bsName, ILoadableSection** a_ppChild)
{
    return com::Guarded("CCoLoadableSection::GetChildByName", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_ppChild) return E_POINTER;
        *a_ppChild = nullptr;
        TiXmlElement* child = m_element->FirstChildElement(AnsiFromBstr(a_bsName).c_str());
        return child ? CreateLoadableSection(m_owner, child, a_ppChild) : E_FAIL;
    });
}

// --- writing ---

HRESULT CCoSaveableSection::SetAttribute(BSTR key, const std::string& value)
{
    if (!m_element) return E_FAIL;
    const std::string name = AnsiFromBstr(key);
    if (name.empty()) return E_INVALIDARG;
    m_element->SetAttribute(name.c_str(), value.c_str());
    return S_OK;
}

STDMETHODIMP CCoSaveableSection::SaveDWORD(BSTR a_bsKey, unsigned long a_dwValue)
{
    return com::Guarded("CCoSaveableSection::SaveDWORD", [&]() -> HRESULT {
        return SetAttribute(a_bsKey, FormatXmlDword(a_dwValue));
    });
}

STDMETHODIMP CCoSaveableSection::SaveDouble(BSTR a_bsKey, double a_fValue)
{
    return com::Guarded("CCoSaveableSection::SaveDouble", [&]() -> HRESULT {
        return SetAttribute(a_bsKey, FormatXmlDouble(a_fValue));
    });
}

STDMETHODIMP CCoSaveableSection::SaveString(BSTR a_bsKey, BSTR a_bsValue)
{
    return com::Guarded("CCoSaveableSection::SaveString", [&]() -> HRESULT {
        return SetAttribute(a_bsKey, EscapeSectionText(AnsiFromBstr(a_bsValue)));
    });
}

STDMETHODIMP CCoSaveableSection::SaveRAW(BSTR, unsigned char*, unsigned long) { return E_NOTIMPL; }

// A new child every time: children of one name may repeat.
STDMETHODIMP CCoSaveableSection::CreateChild(BSTR a_bsName, ISaveableSection** a_ppChild)
{
    return com::Guarded("CCoSaveableSection::CreateChild", [&]() -> HRESULT {
        if (!m_element) return E_FAIL;
        if (!a_ppChild) return E_POINTER;
        *a_ppChild = nullptr;
        const std::string name = AnsiFromBstr(a_bsName);
        if (name.empty()) return E_INVALIDARG;
        TiXmlNode* added = m_element->InsertEndChild(TiXmlElement(name.c_str()));
        if (!added || !added->ToElement()) return E_FAIL;
        HRESULT hr = CreateSaveableSection(m_owner, added->ToElement(), a_ppChild);
        if (SUCCEEDED(hr)) (*a_ppChild)->ClearContent();
        return hr;
    });
}

// Children go, attributes stay.
STDMETHODIMP CCoSaveableSection::ClearContent()
{
    if (!m_element) return E_FAIL;
    m_element->Clear();
    return S_OK;
}
