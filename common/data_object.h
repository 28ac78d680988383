// CCommonDataObject: the carrier of one block of drag-and-drop data, one
// format on one storage medium, set by the source before the drag starts.
//
// Ownership of the medium:
// - SetData with fRelease TRUE hands the medium to the object, which frees
//   it when it is replaced or when the object goes; with FALSE the source
//   keeps it and must keep it alive as long as the object holds it. Setting
//   the medium already held again frees nothing.
// - GetData hands out a medium of the receiver's own: a global block (a
//   dropped file list among them) as a fresh copy, a file name as a fresh
//   string, a stream or storage with a reference of its own and this object
//   as pUnkForRelease. The receiver frees it exactly once, with
//   ReleaseStgMedium, or with DragFinish for a dropped file list (CF_HDROP),
//   never both.
// - EnumFormatEtc lists the held format, or nothing before the first SetData.
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
    bool IsHeldMedium(const STGMEDIUM& medium) const;
    HRESULT ShareMedium(STGMEDIUM* out);
    void DropMedium();

    FORMATETC m_format;   // without a target device: the data is device-independent
    STGMEDIUM m_medium;
    bool m_ownsMedium = false;  // SetData's release flag
    com::ComPtr<IDataAdviseHolder> m_adviseHolder;
};
