// Command data: a one-dimensional SAFEARRAY of VARIANT, packed by the
// sender with CVariantSafearray and unpacked by the receiver with
// ExtractFromSafearray. Each value names the VARIANT type it travels as;
// the C++ type of the value or out-pointer must fit that type, or the call
// fails with E_INVALIDARG before touching the array.
//
//   CVariantSafearray data(2);
//   data.Create();
//   data.Prepare({{VT_UI4, paneId}, {VT_BSTR, caption}});
//
//   unsigned int pane; BSTR caption;
//   ExtractFromSafearray(a_pData, {{VT_UINT, &pane}, {VT_BSTR, &caption}});
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <initializer_list>

// One value of a command: the requested type and the value or, for a
// by-reference type, the address of the sender's variable.
class CommandValue {
public:
    enum class Kind { Number, Real, Text, Object, Pointer32, Pointer64, PointerReal, PointerText, PointerObject };

    CommandValue(VARTYPE vt, int v) : CommandValue(vt, Kind::Number) { m_number = v; }
    CommandValue(VARTYPE vt, unsigned int v) : CommandValue(vt, Kind::Number) { m_number = v; }
    CommandValue(VARTYPE vt, long v) : CommandValue(vt, Kind::Number) { m_number = v; }
    CommandValue(VARTYPE vt, unsigned long v) : CommandValue(vt, Kind::Number) { m_number = v; }
    CommandValue(VARTYPE vt, LONGLONG v) : CommandValue(vt, Kind::Number) { m_number = v; }
    CommandValue(VARTYPE vt, ULONGLONG v) : CommandValue(vt, Kind::Number) { m_number = static_cast<LONGLONG>(v); }
    CommandValue(VARTYPE vt, double v) : CommandValue(vt, Kind::Real) { m_real = v; }
    CommandValue(VARTYPE vt, BSTR v) : CommandValue(vt, Kind::Text) { m_pointer = v; }
    CommandValue(VARTYPE vt, IUnknown* v) : CommandValue(vt, Kind::Object) { m_pointer = v; }
    CommandValue(VARTYPE vt, int* p) : CommandValue(vt, Kind::Pointer32) { m_pointer = p; }
    CommandValue(VARTYPE vt, unsigned int* p) : CommandValue(vt, Kind::Pointer32) { m_pointer = p; }
    CommandValue(VARTYPE vt, long* p) : CommandValue(vt, Kind::Pointer32) { m_pointer = p; }
    CommandValue(VARTYPE vt, unsigned long* p) : CommandValue(vt, Kind::Pointer32) { m_pointer = p; }
    CommandValue(VARTYPE vt, LONGLONG* p) : CommandValue(vt, Kind::Pointer64) { m_pointer = p; }
    CommandValue(VARTYPE vt, ULONGLONG* p) : CommandValue(vt, Kind::Pointer64) { m_pointer = p; }
    CommandValue(VARTYPE vt, double* p) : CommandValue(vt, Kind::PointerReal) { m_pointer = p; }
    CommandValue(VARTYPE vt, BSTR* p) : CommandValue(vt, Kind::PointerText) { m_pointer = p; }
    CommandValue(VARTYPE vt, IUnknown** p) : CommandValue(vt, Kind::PointerObject) { m_pointer = p; }

    VARTYPE Type() const { return m_vt; }
    // The VARIANT that goes into the array, per the packing table; false
    // when the type is not one of the table's or the value does not fit it.
    bool ToVariant(VARIANT* out) const;

private:
    CommandValue(VARTYPE vt, Kind kind) : m_vt(vt), m_kind(kind) {}

    VARTYPE m_vt;
    Kind m_kind;
    LONGLONG m_number = 0;
    double m_real = 0;
    void* m_pointer = nullptr;
};

// Where the receiver wants one value: the requested type and the address
// to write it to. A by-reference type takes the address of a pointer, which
// receives the pointer the sender packed.
class CommandOut {
public:
    enum class Kind { Value32, Value64, Real, Text, Object, Pointer };

    CommandOut(VARTYPE vt, int* p) : CommandOut(vt, Kind::Value32, p) {}
    CommandOut(VARTYPE vt, unsigned int* p) : CommandOut(vt, Kind::Value32, p) {}
    CommandOut(VARTYPE vt, long* p) : CommandOut(vt, Kind::Value32, p) {}
    CommandOut(VARTYPE vt, unsigned long* p) : CommandOut(vt, Kind::Value32, p) {}
    CommandOut(VARTYPE vt, LONGLONG* p) : CommandOut(vt, Kind::Value64, p) {}
    CommandOut(VARTYPE vt, ULONGLONG* p) : CommandOut(vt, Kind::Value64, p) {}
    CommandOut(VARTYPE vt, double* p) : CommandOut(vt, Kind::Real, p) {}
    CommandOut(VARTYPE vt, BSTR* p) : CommandOut(vt, Kind::Text, p) {}
    CommandOut(VARTYPE vt, IUnknown** p) : CommandOut(vt, Kind::Object, p) {}
    template <class T>
    CommandOut(VARTYPE vt, T** p) : CommandOut(vt, Kind::Pointer, p) {}

    VARTYPE Type() const { return m_vt; }
    // Whether the address fits the requested type.
    bool Fits() const;
    // Writes the element per the unpacking table; DISP_E_TYPEMISMATCH when
    // a text, an object or a reference is asked of an element that is not one.
    HRESULT Write(const VARIANT& element) const;

private:
    CommandOut(VARTYPE vt, Kind kind, void* p) : m_vt(vt), m_kind(kind), m_pointer(p) {}

    VARTYPE m_vt;
    Kind m_kind;
    void* m_pointer;
};

// Owns the array of one command; the array lives until the holder goes,
// after InvokeCommand has returned.
class CVariantSafearray {
public:
    explicit CVariantSafearray(ULONG count) : m_count(count) {}
    ~CVariantSafearray();
    CVariantSafearray(const CVariantSafearray&) = delete;
    CVariantSafearray& operator=(const CVariantSafearray&) = delete;

    SAFEARRAY* Create();
    // Fills the elements in order, one value each. E_FAIL when the array was
    // never created or the count is 0; E_INVALIDARG when the values do not
    // match the count or the packing table.
    HRESULT Prepare(std::initializer_list<CommandValue> values);

    SAFEARRAY* Get() const { return m_array; }
    operator SAFEARRAY*() const { return m_array; }

private:
    ULONG m_count;
    SAFEARRAY* m_array = nullptr;
};

// Reads elements 0 to outs.size() - 1 in order. E_INVALIDARG for no outs, a
// null array or an out that does not fit its type; otherwise the first
// failure, the outs before it already written.
HRESULT ExtractFromSafearray(SAFEARRAY* psa, std::initializer_list<CommandOut> outs);
