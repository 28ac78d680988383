// CCoTranslator: texts by section and string identifier from a language
// file (INI) that fills itself with each module's string table; also the
// system's message box (IMessenger) on the same object.
#pragma once
#include "common.h"
#include <com/object.h>
#include <exception>
#include <map>
#include <string>

class CCoTranslator : public com::ObjectRoot<com::MultiThreadModel>,
                      public ITranslator,
                      public IMessenger {
public:
    COM_INTERFACES_BEGIN(CCoTranslator)
        COM_INTERFACE(ITranslator)
        COM_INTERFACE(IMessenger)
    COM_INTERFACES_END()

    // ITranslator
    STDMETHODIMP Init(BSTR a_psFileName) override;
    STDMETHODIMP GetLangStr(BSTR a_psSectionName, unsigned long a_iStrID, BSTR* a_ppResult) override;
    STDMETHODIMP GulpResources(ULONG_PTR a_hModule, BSTR a_psSectionName) override;

    // IMessenger
    STDMETHODIMP SetMainWnd(HWND a_hWnd) override;
    STDMETHODIMP MessageBox(unsigned long* a_ulRetVal, unsigned long a_ulType, VARIANT a_varCaption,
                            VARIANT a_varMessage, VARIANT a_varCheckText) override;

    // A text of the common section; empty when absent.
    std::string CommonText(unsigned long id);

private:
    using StringTable = std::map<unsigned long, std::string>;

    void LoadFile();
    static BOOL CALLBACK OnStringBlock(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);
    void GulpBlock(HMODULE module, unsigned block);

    std::string m_fileName;
    std::map<std::string, StringTable> m_sections;  // exact byte-wise names
    HWND m_mainWnd = nullptr;

    // The section being filled by GulpResources, and what stopped it.
    std::string m_gulpSection;
    std::exception_ptr m_gulpFailure;
};
