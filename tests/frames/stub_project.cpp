#include "stub_project.h"
#include "commands.h"
#include <com/bstr.h>
#include <shared/variant_safearray.h>

RecordedCommand RecordCommand(unsigned int id, SAFEARRAY* data)
{
    RecordedCommand command{id, {}, {}};
    if (!data) return command;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(data, 1, &low);
    SafeArrayGetUBound(data, 1, &high);
    bool haveText = false;
    for (LONG i = low; i <= high; ++i) {
        VARIANT v;
        VariantInit(&v);
        if (FAILED(SafeArrayGetElement(data, &i, &v))) continue;
        if (V_VT(&v) == VT_BSTR && !haveText) {
            command.text = com::AnsiFromBstr(V_BSTR(&v));
            haveText = true;
        } else if (V_VT(&v) == VT_I4 || V_VT(&v) == VT_UI4 || V_VT(&v) == VT_UINT || V_VT(&v) == VT_INT) {
            command.numbers.push_back(V_I4(&v));
        } else if (V_VT(&v) == VT_BOOL) {
            command.numbers.push_back(V_BOOL(&v) ? 1 : 0);
        }
        VariantClear(&v);
    }
    return command;
}

STDMETHODIMP CStubProject::InvokeCommand(IUnknown* sender, REFCLSID, unsigned int id, SAFEARRAY* data)
{
    if (!sender) return E_INVALIDARG;
    m_commands.push_back(RecordCommand(id, data));
    switch (id) {
    case PCID_REQUEST_BURN: return Start();
    case PCID_CANCEL:
        // While the frame burns, the project passes Cancel back to it.
        m_cancelAnswer = m_frame ? m_frame->InvokeCommand(this, IID_NULL, PCID_CANCEL, nullptr) : E_POINTER;
        return S_OK;
    case BFCID_GET_BURN_TYPE: {
        long* type = nullptr;
        if (FAILED(ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &type}}))) return E_FAIL;
        if (SUCCEEDED(m_typeResult)) *type = m_burnType;
        return m_typeResult;
    }
    case BFCID_GET_DATAIMAGE: {
        IUnknown** tree = nullptr;
        if (FAILED(ExtractFromSafearray(data, {{VT_UNKNOWN | VT_BYREF, &tree}})) || !m_tree) return E_FAIL;
        *tree = m_tree;
        (*tree)->AddRef();
        return S_OK;
    }
    default: return S_OK;
    }
}

HRESULT CStubProject::Start()
{
    if (!m_frame) return E_POINTER;
    if (!m_startData) return m_frame->InvokeCommand(this, IID_NULL, PCID_START, nullptr);
    CVariantSafearray data(1);
    data.Create();
    data.Prepare({{VT_HRESULT, static_cast<long>(m_preparation)}});
    return m_frame->InvokeCommand(this, IID_NULL, PCID_START, data);
}

std::vector<RecordedCommand> CStubProject::Commands(unsigned int id) const
{
    std::vector<RecordedCommand> found;
    for (const RecordedCommand& c : m_commands)
        if (c.id == id) found.push_back(c);
    return found;
}

std::vector<long> CStubProject::Results() const
{
    std::vector<long> results;
    for (const RecordedCommand& c : Commands(PCID_RESULT)) results.push_back(c.numbers.empty() ? 0 : c.numbers[0]);
    return results;
}
