// CCoSettings: every persistent setting in one XML file, addressed by
// section, key and tag. Written back when the object is finally released.
#pragma once
#include "common.h"
#include <com/object.h>
#include <string>
#include <tinyxml.h>

class CCoSettings : public com::ObjectRoot<com::MultiThreadModel>, public ISettings {
public:
    COM_INTERFACES_BEGIN(CCoSettings)
        COM_INTERFACE(ISettings)
    COM_INTERFACES_END()

    void FinalRelease();

    STDMETHODIMP Init(BSTR a_psFileName) override;
    STDMETHODIMP GetDWORD(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                          unsigned long* a_pdwData, unsigned long a_dwDefault) override;
    STDMETHODIMP GetString(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                           BSTR* a_psData, BSTR a_sDefault) override;
    STDMETHODIMP GetDouble(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                           double* a_pfData, double a_fDefault) override;
    STDMETHODIMP SetDWORD(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag,
                          unsigned long a_dwData) override;
    STDMETHODIMP SetString(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag, BSTR a_sData) override;
    STDMETHODIMP SetDouble(BSTR a_sSectionName, BSTR a_sKeyName, BSTR a_sTag, double a_fData) override;

private:
    TiXmlElement* FindKeyElement(BSTR section, BSTR key);
    TiXmlElement* FindOrCreateKeyElement(BSTR section, BSTR key);
    const char* FindValue(BSTR section, BSTR key, BSTR tag);
    HRESULT SetValue(BSTR section, BSTR key, BSTR tag, const std::string& value);

    TiXmlDocument m_doc;
    std::string m_fileName;
    bool m_saveAtRelease = false;
};

// The suffix of the copy kept of a settings file that could not be read.
extern const char* const UNREADABLE_SETTINGS_SUFFIX;
