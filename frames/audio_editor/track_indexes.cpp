#include "track_indexes.h"
#include <com/guard.h>

HRESULT CTrackIndexes::Create(const std::vector<unsigned long>& indexes, IEnumULONG** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return com::Guarded("CTrackIndexes::Create", [&]() -> HRESULT {
        com::ComObject<CTrackIndexes>* made = nullptr;
        HRESULT hr = com::CreateObjectImpl(&made);
        if (FAILED(hr)) return hr;
        made->m_indexes = indexes;
        *out = made;
        return S_OK;
    });
}

STDMETHODIMP CTrackIndexes::Next(unsigned long celt, unsigned long* rgelt, unsigned long* fetched)
{
    if (!rgelt && celt) return E_POINTER;
    unsigned long n = 0;
    for (; n < celt && m_at < m_indexes.size(); ++n) rgelt[n] = m_indexes[m_at++];
    if (fetched) *fetched = n;
    return n == celt ? S_OK : S_FALSE;
}

STDMETHODIMP CTrackIndexes::Skip(unsigned long celt)
{
    const size_t left = m_indexes.size() - m_at;
    m_at += celt < left ? celt : left;
    return celt <= left ? S_OK : S_FALSE;
}

STDMETHODIMP CTrackIndexes::Reset()
{
    m_at = 0;
    return S_OK;
}

STDMETHODIMP CTrackIndexes::Clone(IEnumULONG** out)
{
    HRESULT hr = Create(m_indexes, out);
    if (SUCCEEDED(hr)) static_cast<CTrackIndexes*>(*out)->m_at = m_at;
    return hr;
}
