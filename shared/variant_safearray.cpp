#include "variant_safearray.h"
#include "log.h"
#include <cstring>

namespace {

// The packing table: what a requested type is stored as, and the kind of
// value it takes. VT_UI8 and the BOOL and HRESULT references are relabelled
// so that the standard VARIANT copy takes them; the receiver asks by its
// own type and never looks at the stored one.
struct PackRule {
    VARTYPE requested;
    CommandValue::Kind kind;
    VARTYPE stored;
};

using VK = CommandValue::Kind;
const PackRule kPackRules[] = {
    {VT_I4, VK::Number, VT_I4},
    {VT_UI4, VK::Number, VT_UI4},
    {VT_UINT, VK::Number, VT_UINT},
    {VT_HRESULT, VK::Number, VT_I4},
    {VT_UI8, VK::Number, VT_UI4},
    {VT_R8, VK::Real, VT_R8},
    {VT_R8, VK::Number, VT_R8},
    {VT_BOOL, VK::Number, VT_BOOL},
    {VT_BSTR, VK::Text, VT_BSTR},
    {VT_UNKNOWN, VK::Object, VT_UNKNOWN},
    {VT_I4 | VT_BYREF, VK::Pointer32, VT_I4 | VT_BYREF},
    {VT_UI4 | VT_BYREF, VK::Pointer32, VT_UI4 | VT_BYREF},
    {VT_HRESULT | VT_BYREF, VK::Pointer32, VT_I4 | VT_BYREF},
    {VT_BOOL | VT_BYREF, VK::Pointer32, VT_INT | VT_BYREF},
    {VT_UI8 | VT_BYREF, VK::Pointer64, VT_UI4 | VT_BYREF},
    {VT_R8 | VT_BYREF, VK::PointerReal, VT_R8 | VT_BYREF},
    {VT_BSTR | VT_BYREF, VK::PointerText, VT_BSTR | VT_BYREF},
    {VT_UNKNOWN | VT_BYREF, VK::PointerObject, VT_UNKNOWN | VT_BYREF},
};

const PackRule* FindPackRule(VARTYPE vt, CommandValue::Kind kind)
{
    for (const PackRule& rule : kPackRules)
        if (rule.requested == vt && rule.kind == kind) return &rule;
    return nullptr;
}

// The unpacking table: the kind of address each requested type writes to.
struct UnpackRule {
    VARTYPE requested;
    CommandOut::Kind kind;
};

using OK = CommandOut::Kind;
const UnpackRule kUnpackRules[] = {
    {VT_I4, OK::Value32}, {VT_UI4, OK::Value32}, {VT_UINT, OK::Value32}, {VT_HRESULT, OK::Value32},
    {VT_BOOL, OK::Value32}, {VT_UI8, OK::Value64}, {VT_R8, OK::Real}, {VT_BSTR, OK::Text},
    {VT_UNKNOWN, OK::Object},
    {VT_I4 | VT_BYREF, OK::Pointer}, {VT_UI4 | VT_BYREF, OK::Pointer}, {VT_HRESULT | VT_BYREF, OK::Pointer},
    {VT_BOOL | VT_BYREF, OK::Pointer}, {VT_UI8 | VT_BYREF, OK::Pointer}, {VT_R8 | VT_BYREF, OK::Pointer},
    {VT_BSTR | VT_BYREF, OK::Pointer}, {VT_UNKNOWN | VT_BYREF, OK::Pointer},
};

bool IsObject(VARTYPE vt) { return vt == VT_UNKNOWN || vt == VT_DISPATCH; }

// Texts and objects are read only from elements that hold one: any other
// element's bits would be a wild pointer.
bool Holds(VARTYPE requested, VARTYPE stored)
{
    switch (requested) {
    case VT_BSTR: return stored == VT_BSTR;
    case VT_UNKNOWN: return IsObject(stored);
    case VT_BSTR | VT_BYREF: return stored == (VT_BSTR | VT_BYREF);
    case VT_UNKNOWN | VT_BYREF: return (stored & VT_BYREF) && IsObject(stored & ~VT_BYREF);
    default: return (requested & VT_BYREF) ? (stored & VT_BYREF) != 0 : true;
    }
}

HRESULT LogTypeMismatch(LONG index, VARTYPE stored, VARTYPE requested)
{
    CLogFunctionScope scope("ExtractFromSafearray");
    LogPrintf("ERROR: element %i holds type %i, type %i was asked for", static_cast<int>(index),
              static_cast<int>(stored), static_cast<int>(requested));
    return DISP_E_TYPEMISMATCH;
}

HRESULT LogInvalidArguments()
{
    CLogFunctionScope scope("ExtractFromSafearray");
    LogPrintf("ERROR: invalid arguments");
    return E_INVALIDARG;
}

}  // namespace

bool CommandValue::ToVariant(VARIANT* out) const
{
    const PackRule* rule = FindPackRule(m_vt, m_kind);
    if (!rule) return false;
    // All of it zeroed first: a receiver that reads the element as a wider
    // type than it was packed (a BOOL as UI4, a UI4 as UI8) gets the value,
    // not the bytes of whatever lay there before.
    std::memset(out, 0, sizeof(*out));
    out->vt = rule->stored;
    if (m_vt == VT_UI8) out->ullVal = static_cast<ULONGLONG>(m_number);
    else if (m_vt == VT_BOOL) out->boolVal = static_cast<VARIANT_BOOL>(m_number & 0xFFFF);
    else if (m_vt == VT_R8) out->dblVal = m_kind == Kind::Real ? m_real : static_cast<double>(m_number);
    else if (m_kind == Kind::Number) out->lVal = static_cast<LONG>(m_number);
    else if (m_kind == Kind::Text) out->bstrVal = static_cast<BSTR>(m_pointer);
    else if (m_kind == Kind::Object) out->punkVal = static_cast<IUnknown*>(m_pointer);
    else out->byref = m_pointer;
    return true;
}

bool CommandOut::Fits() const
{
    for (const UnpackRule& rule : kUnpackRules)
        if (rule.requested == m_vt) return rule.kind == m_kind && m_pointer;
    return false;
}

HRESULT CommandOut::Write(const VARIANT& element) const
{
    if (!Holds(m_vt, element.vt)) return DISP_E_TYPEMISMATCH;
    switch (m_kind) {
    case Kind::Value32:
        *static_cast<ULONG*>(m_pointer) = m_vt == VT_BOOL ? (element.boolVal != 0 ? 1 : 0) : element.ulVal;
        break;
    case Kind::Value64: *static_cast<ULONGLONG*>(m_pointer) = element.ullVal; break;
    case Kind::Real: *static_cast<double*>(m_pointer) = element.dblVal; break;
    case Kind::Text: *static_cast<BSTR*>(m_pointer) = SysAllocString(element.bstrVal); break;
    case Kind::Object: *static_cast<IUnknown**>(m_pointer) = element.punkVal; break;  // borrowed
    case Kind::Pointer: *static_cast<void**>(m_pointer) = element.byref; break;
    }
    return S_OK;
}

CVariantSafearray::~CVariantSafearray()
{
    if (m_array) SafeArrayDestroy(m_array);
}

SAFEARRAY* CVariantSafearray::Create()
{
    if (m_array) SafeArrayDestroy(m_array);
    SAFEARRAYBOUND bound = {m_count, 0};
    m_array = SafeArrayCreate(VT_VARIANT, 1, &bound);
    return m_array;
}

HRESULT CVariantSafearray::Prepare(std::initializer_list<CommandValue> values)
{
    if (!m_array) {
        CLogFunctionScope scope("CVariantSafearray::Prepare");
        LogNull("p");
        return E_FAIL;
    }
    if (m_count == 0) return E_FAIL;
    if (values.size() != m_count) return E_INVALIDARG;
    VARIANT element;
    for (const CommandValue& value : values)
        if (!value.ToVariant(&element)) return E_INVALIDARG;

    LONG index = 0;
    for (const CommandValue& value : values) {
        value.ToVariant(&element);
        // The array copies the element: a text is duplicated, an object referenced.
        HRESULT hr = SafeArrayPutElement(m_array, &index, &element);
        if (FAILED(hr)) {
            CLogFunctionScope scope("CVariantSafearray::Prepare");
            LogFailure("SafeArrayPutElement()", hr, 1);
            LogPrintf("\t iIndex=%i \r\n\t\t\t vt=%i \r\n\t\t\t val=0x%x", static_cast<int>(index),
                      static_cast<int>(element.vt), static_cast<unsigned>(element.ulVal));
            return hr;
        }
        ++index;
    }
    return S_OK;
}

HRESULT ExtractFromSafearray(SAFEARRAY* psa, std::initializer_list<CommandOut> outs)
{
    if (outs.size() < 1 || !psa) return LogInvalidArguments();
    for (const CommandOut& out : outs)
        if (!out.Fits()) return LogInvalidArguments();

    LONG index = 0;
    for (const CommandOut& out : outs) {
        VARIANT element;
        VariantInit(&element);
        HRESULT hr = SafeArrayGetElement(psa, &index, &element);
        if (FAILED(hr)) {
            CLogFunctionScope scope("ExtractFromSafearray");
            LogPrintf("ERROR: SafeArrayGetElement(%i) failed, error code 0x%x", static_cast<int>(index),
                      static_cast<unsigned>(hr));
            return hr;
        }
        hr = out.Write(element);
        VARTYPE stored = element.vt;
        VariantClear(&element);
        if (FAILED(hr)) return LogTypeMismatch(index, stored, out.Type());
        ++index;
    }
    return S_OK;
}
