// CCoLoadSaveImpl: one project file as an XML document, opened once (from a
// file, for writing, or from memory), whose sections are handed out as
// loadable and saveable section objects.
#pragma once
#include "common.h"
#include <com/object.h>
#include <string>
#include <tinyxml.h>

class CCoLoadSaveImpl : public com::ObjectRoot<com::MultiThreadModel>, public ILoadSaveImpl {
public:
    COM_INTERFACES_BEGIN(CCoLoadSaveImpl)
        COM_INTERFACE(ILoadSaveImpl)
    COM_INTERFACES_END()

    STDMETHODIMP OpenFile(BSTR a_sFilename, long a_bForWriting) override;
    STDMETHODIMP SaveFile() override;
    STDMETHODIMP GetSectionForReading(IID* a_piid, ILoadableSection** a_ppSection) override;
    STDMETHODIMP GetSectionForWriting(IID* a_piid, ISaveableSection** a_ppSection) override;
    STDMETHODIMP OpenMemory(ULONG_PTR a_pMem) override;

private:
    HRESULT OpenForReading(const std::string& path);
    TiXmlElement* FindSection(REFIID iid);

    TiXmlDocument m_doc;
    std::string m_fileName;  // empty when opened from memory
    bool m_open = false;
};
