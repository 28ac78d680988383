// CCommonDataObject: the carrier of one block of drag-and-drop data, one
// format on one storage medium, set by the source before the drag starts.
#pragma once
#include "common.h"
#include <com/object.h>
#include <com/ptr.h>
#include <objidl.h>

class CCommonDataObject : public com::ObjectRoot<com::SingleThreadModel>, public IDataObject {
public:
    CCommonDataObject();

    COM_INTERFACES_BEGIN(CCommonDataObject)
        COM_INTERFACE(IDataObject)
    COM_INTERFACES_END()

    void FinalRelease();

    STDMETHODIMP GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    STDMETHODIMP GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
    STDMETHODIMP QueryGetData(FORMATETC* pformatetc) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
    STDMETHODIMP SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
    STDMETHODIMP EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
    STDMETHODIMP DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                         DWORD* pdwConnection) override;
    STDMETHODIMP DUnadvise(DWORD dwConnection) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

private:
    bool Holds(const FORMATETC& format) const;
    HRESULT ShareMedium(STGMEDIUM* out);
    void DropMedium();

    FORMATETC m_format;   // without a target device: the data is device-independent
    STGMEDIUM m_medium;
    bool m_ownsMedium = false;  // SetData's release flag
    com::ComPtr<IDataAdviseHolder> m_adviseHolder;
};
