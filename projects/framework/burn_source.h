// What a project's first frame hands the burning frame for a burn: the
// second value of the frame's PCID_SOURCE_READY [UI4 result, value], kept by
// the project until the burning frame asks for it (BFCID_GET_DATAIMAGE,
// BFCID_GET_ISOIMAGE_PATH, BFCID_GET_AUDIOIMAGE).
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <com/ptr.h>
#include <string>

class CBurnSource {
public:
    virtual ~CBurnSource() = default;
    // Keeps the value of a successful report; a failure stops the burn.
    virtual HRESULT Keep(SAFEARRAY* report) = 0;
    // Answers the burning frame's question through its one BYREF element.
    // E_FAIL, the out value untouched, when nothing is held.
    virtual HRESULT HandOver(SAFEARRAY* question) = 0;
    // The burn is over, or was never started.
    virtual void Drop() = 0;
};

// An engine object (the data disc's file tree, an audio CD layout): queried
// for its interface when kept, handed over once with a reference of the
// burning frame's own, then let go.
class CObjectBurnSource : public CBurnSource {
public:
    // `name` is the member's name in failure lines ("m_compFileTree").
    CObjectBurnSource(REFIID iid, const char* name) : m_iid(iid), m_name(name) {}
    HRESULT Keep(SAFEARRAY* report) override;
    HRESULT HandOver(SAFEARRAY* question) override;
    void Drop() override { m_object.Reset(); }
    IUnknown* Held() const { return m_object; }

private:
    const IID m_iid;
    const char* m_name;
    com::ComPtr<IUnknown> m_object;
};

// An image file's path: kept until the next report replaces it, a new BSTR
// each time it is asked for (empty before the first report).
class CPathBurnSource : public CBurnSource {
public:
    HRESULT Keep(SAFEARRAY* report) override;
    HRESULT HandOver(SAFEARRAY* question) override;
    void Drop() override {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
