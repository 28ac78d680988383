// The sections of a project file: one element each, read through
// ILoadableSection and written through ISaveableSection. A section holds a
// reference on the object that owns the document, so its element stays
// valid for as long as the section lives.
#pragma once
#include "common.h"
#include <com/object.h>
#include <com/ptr.h>
#include <string>
#include <tinyxml.h>

// Texts with a byte of 0x80 or above are stored as 0xFF 0xFF, then per
// byte its low and high nibble, a zero nibble written as 0xFF: the stored
// value is pure control bytes and 0xFF, which survive any code page.
std::string EscapeSectionText(const std::string& text);
// The reverse; a value that does not start with 0xFF 0xFF is returned as it
// is. A trailing unpaired byte is ignored.
std::string UnescapeSectionText(const std::string& value);

class CCoLoadableSection : public com::ObjectRoot<com::MultiThreadModel>, public ILoadableSection {
public:
    CCoLoadableSection(IUnknown* owner, TiXmlElement* element) : m_owner(owner), m_element(element) {}

    COM_INTERFACES_BEGIN(CCoLoadableSection)
        COM_INTERFACE(ILoadableSection)
    COM_INTERFACES_END()

    STDMETHODIMP GetName(BSTR* a_pbsName) override;
    STDMETHODIMP LoadDWORD(BSTR a_bsKey, unsigned long* a_pdwValue) override;
    STDMETHODIMP LoadString(BSTR a_bsKey, BSTR* a_pbsValue) override;
    STDMETHODIMP LoadDouble(BSTR a_bsKey, double* a_pfValue) override;
    STDMETHODIMP LoadRAW(BSTR a_bsKey, unsigned char* a_pData, unsigned long* a_pulSize) override;
    STDMETHODIMP InitializeChildrenPointer() override;
    STDMETHODIMP GetNextChild(ILoadableSection** a_ppChild) override;
    STDMETHODIMP GetChildByName(BSTR a_bsName, ILoadableSection** a_ppChild) override;

private:
    const char* Attribute(BSTR key) const;

    com::ComPtr<IUnknown> m_owner;
    TiXmlElement* m_element;
    TiXmlElement* m_cursor = nullptr;
};

class CCoSaveableSection : public com::ObjectRoot<com::MultiThreadModel>, public ISaveableSection {
public:
    CCoSaveableSection(IUnknown* owner, TiXmlElement* element) : m_owner(owner), m_element(element) {}

    COM_INTERFACES_BEGIN(CCoSaveableSection)
        COM_INTERFACE(ISaveableSection)
    COM_INTERFACES_END()

    STDMETHODIMP SaveDWORD(BSTR a_bsKey, unsigned long a_dwValue) override;
    STDMETHODIMP SaveString(BSTR a_bsKey, BSTR a_bsValue) override;
    STDMETHODIMP SaveDouble(BSTR a_bsKey, double a_fValue) override;
    STDMETHODIMP SaveRAW(BSTR a_bsKey, unsigned char* a_pData, unsigned long a_ulSize) override;
    STDMETHODIMP CreateChild(BSTR a_bsName, ISaveableSection** a_ppChild) override;
    STDMETHODIMP ClearContent() override;

private:
    HRESULT SetAttribute(BSTR key, const std::string& value);

    com::ComPtr<IUnknown> m_owner;
    TiXmlElement* m_element;
};

// New sections on `element` of the document that `owner` keeps alive.
HRESULT CreateLoadableSection(IUnknown* owner, TiXmlElement* element, ILoadableSection** out);
HRESULT CreateSaveableSection(IUnknown* owner, TiXmlElement* element, ISaveableSection** out);
