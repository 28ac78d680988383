#include "data_object.h"
#include <cstring>

namespace {

// The formats of a data object (its one format, or none), as an enumerator
// of their own.
class CFormatEnumerator : public com::ObjectRoot<com::SingleThreadModel>, public IEnumFORMATETC {
public:
    CFormatEnumerator(const FORMATETC& format, ULONG count, ULONG position)
        : m_format(format), m_count(count), m_position(position)
    {
    }

    COM_INTERFACES_BEGIN(CFormatEnumerator)
        COM_INTERFACE(IEnumFORMATETC)
    COM_INTERFACES_END()

    STDMETHODIMP Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt || (celt != 1 && pceltFetched == nullptr)) return E_POINTER;
        ULONG fetched = 0;
        if (celt > 0 && m_position < m_count) {
            rgelt[0] = m_format;
            fetched = 1;
            m_position = m_count;
        }
        if (pceltFetched) *pceltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG celt) override
    {
        ULONG left = m_count - m_position;
        m_position = celt >= left ? m_count : m_position;
        return celt <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumFORMATETC** ppenum) override
    {
        return com::CreateObject<CFormatEnumerator>(IID_IEnumFORMATETC, reinterpret_cast<void**>(ppenum),
                                                    m_format, m_count, m_position);
    }

private:
    FORMATETC m_format;
    ULONG m_count;     // 1 with a format, 0 before the first SetData
    ULONG m_position;  // 0 before the format, m_count after it
};

// A copy of a global memory block, the receiver's to free.
HGLOBAL CopyGlobal(HGLOBAL source)
{
    SIZE_T size = GlobalSize(source);
    const void* from = GlobalLock(source);
    if (!from) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* to = copy ? GlobalLock(copy) : nullptr;
    if (to) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy) {
        GlobalFree(copy);
        copy = nullptr;
    }
    GlobalUnlock(source);
    return copy;
}

}  // namespace

CCommonDataObject::CCommonDataObject()
{
    std::memset(&m_format, 0, sizeof(m_format));
    std::memset(&m_medium, 0, sizeof(m_medium));
}

void CCommonDataObject::FinalRelease() { DropMedium(); }

void CCommonDataObject::DropMedium()
{
    if (m_ownsMedium) ReleaseStgMedium(&m_medium);
    std::memset(&m_medium, 0, sizeof(m_medium));
    m_ownsMedium = false;
}

bool CCommonDataObject::Holds(const FORMATETC& format) const
{
    return m_medium.tymed != TYMED_NULL && format.cfFormat == m_format.cfFormat &&
           (format.tymed & m_medium.tymed) != 0;
}

// A global block goes out as a copy; any other medium is the held one,
// kept alive for the receiver by a reference on this object.
HRESULT CCommonDataObject::ShareMedium(STGMEDIUM* out)
{
    *out = m_medium;
    out->pUnkForRelease = nullptr;
    if (m_medium.tymed == TYMED_HGLOBAL) {
        out->hGlobal = CopyGlobal(m_medium.hGlobal);
        return out->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    if (m_medium.tymed == TYMED_FILE) {
        // The receiver frees the name in any case.
        size_t bytes = (wcslen(m_medium.lpszFileName) + 1) * sizeof(WCHAR);
        out->lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!out->lpszFileName) return E_OUTOFMEMORY;
        std::memcpy(out->lpszFileName, m_medium.lpszFileName, bytes);
    } else if (m_medium.tymed == TYMED_ISTREAM && m_medium.pstm) {
        // The receiver releases the interface in any case.
        m_medium.pstm->AddRef();
    } else if (m_medium.tymed == TYMED_ISTORAGE && m_medium.pstg) {
        m_medium.pstg->AddRef();
    }
    out->pUnkForRelease = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP CCommonDataObject::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium)
{
    if (!pformatetcIn || !pmedium) return E_INVALIDARG;
    std::memset(pmedium, 0, sizeof(*pmedium));
    if (!Holds(*pformatetcIn)) return DV_E_FORMATETC;
    return ShareMedium(pmedium);
}

STDMETHODIMP CCommonDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

STDMETHODIMP CCommonDataObject::QueryGetData(FORMATETC*) { return E_NOTIMPL; }

STDMETHODIMP CCommonDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }

bool CCommonDataObject::IsHeldMedium(const STGMEDIUM& medium) const
{
    // The handle fields share one union: comparing one compares them all.
    return medium.tymed != TYMED_NULL && medium.tymed == m_medium.tymed && medium.hGlobal == m_medium.hGlobal;
}

STDMETHODIMP CCommonDataObject::SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease)
{
    if (!pformatetc || !pmedium) return E_INVALIDARG;
    // The medium held already, given again, must not be freed and then kept.
    if (IsHeldMedium(*pmedium)) m_ownsMedium = false;
    DropMedium();
    m_format = *pformatetc;
    m_format.ptd = nullptr;  // the caller's to free
    m_medium = *pmedium;
    m_ownsMedium = fRelease != FALSE;
    return S_OK;
}

STDMETHODIMP CCommonDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** ppenumFormatEtc)
{
    // Before the first SetData there is no format to list.
    const ULONG count = m_medium.tymed == TYMED_NULL ? 0UL : 1UL;
    return com::CreateObject<CFormatEnumerator>(IID_IEnumFORMATETC,
                                                reinterpret_cast<void**>(ppenumFormatEtc), m_format, count, 0UL);
}

STDMETHODIMP CCommonDataObject::DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                        DWORD* pdwConnection)
{
    if (!m_adviseHolder) {
        HRESULT hr = CreateDataAdviseHolder(&m_adviseHolder);
        if (FAILED(hr)) return hr;
    }
    return m_adviseHolder->Advise(this, pformatetc, advf, pAdvSink, pdwConnection);
}

STDMETHODIMP CCommonDataObject::DUnadvise(DWORD dwConnection)
{
    return m_adviseHolder ? m_adviseHolder->Unadvise(dwConnection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP CCommonDataObject::EnumDAdvise(IEnumSTATDATA** ppenumAdvise)
{
    return m_adviseHolder ? m_adviseHolder->EnumAdvise(ppenumAdvise) : E_FAIL;
}
