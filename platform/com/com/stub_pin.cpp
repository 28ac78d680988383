#include "stub_pin.h"
#include <objbase.h>
#include <vector>

namespace com {
namespace {

// Offers the pinned interfaces and nothing else (no IMarshal, no
// IExternalConnection): its stubs only hold it, no call ever reaches it,
// since its marshalled data never leaves this process.
class StubPin final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !Offers(iid)) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    void Offer(const IID& iid) { m_iids.push_back(iid); }

private:
    bool Offers(REFIID iid) const
    {
        for (const IID& offered : m_iids)
            if (IsEqualIID(offered, iid)) return true;
        return false;
    }
    std::vector<IID> m_iids;
};

}  // namespace

HRESULT PinStubs(const IID* const* iids, size_t count)
{
    // Both live as long as the process: the stubs hold the pin.
    static StubPin* pin = new StubPin;
    for (size_t i = 0; i < count; ++i) pin->Offer(*iids[i]);
    HRESULT first = S_OK;
    for (size_t i = 0; i < count; ++i) {
        IStream* stream = nullptr;
        HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        if (SUCCEEDED(hr)) hr = CoMarshalInterface(stream, *iids[i], pin, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLESTRONG);
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
        // The stream is kept: releasing its marshalled data would let the
        // stub go. A failed marshal leaves nothing to keep.
        if (FAILED(hr) && stream) stream->Release();
    }
    return first;
}

}  // namespace com
