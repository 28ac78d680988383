// Stand-ins for the common services a host binds into a project: a logger
// that keeps its lines, a translator whose message box records what it was
// asked and answers from a script, and settings held in a map.
#pragma once
#include "common.h"
#include <com/object.h>
#include <com/ptr.h>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CTestLogger : public com::ObjectRoot<com::SingleThreadModel>, public ILogger {
public:
    COM_INTERFACES_BEGIN(CTestLogger)
        COM_INTERFACE(ILogger)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    STDMETHODIMP LogEvent(BSTR text) override;
    STDMETHODIMP LogEventB(BSTR text, long) override { return LogEvent(text); }
    STDMETHODIMP LogCreateObject(unsigned, BSTR) override { return S_OK; }
    STDMETHODIMP LogDestroyObject(unsigned) override { return S_OK; }
    STDMETHODIMP LogEnterFunction(BSTR) override { return S_OK; }
    STDMETHODIMP LogLeaveFunction(BSTR) override { return S_OK; }
    STDMETHODIMP DumpFuncPath() override { return S_OK; }

    bool Logged(const std::string& text) const;
    std::vector<std::string> lines;
};

class CTestTranslator : public com::ObjectRoot<com::SingleThreadModel>, public ITranslator, public IMessenger {
public:
    COM_INTERFACES_BEGIN(CTestTranslator)
        COM_INTERFACE(ITranslator)
        COM_INTERFACE(IMessenger)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    // Texts set by the test win; then the string table of a module that
    // was gulped into the section, as the real translator does.
    STDMETHODIMP GetLangStr(BSTR section, unsigned long id, BSTR* result) override;
    STDMETHODIMP GulpResources(ULONG_PTR module, BSTR section) override;
    STDMETHODIMP SetMainWnd(HWND) override { return S_OK; }
    STDMETHODIMP MessageBox(unsigned long* result, unsigned long type, VARIANT caption, VARIANT message,
                            VARIANT check) override;

    struct Box {
        unsigned long type;
        std::string caption, message;
    };
    std::map<std::pair<std::string, unsigned long>, std::string> texts;
    std::map<std::string, HMODULE> gulped;
    std::vector<Box> boxes;
    std::deque<unsigned long> answers;  // the buttons pressed, in order; MBX_CANCEL when none left
    // What the user does while the box is open, before it is answered.
    std::function<void(const Box&)> whileOpen;
};

class CTestSettings : public com::ObjectRoot<com::SingleThreadModel>, public ISettings {
public:
    COM_INTERFACES_BEGIN(CTestSettings)
        COM_INTERFACE(ISettings)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    STDMETHODIMP GetDWORD(BSTR section, BSTR key, BSTR tag, unsigned long* value, unsigned long def) override;
    STDMETHODIMP GetString(BSTR section, BSTR key, BSTR tag, BSTR* value, BSTR def) override;
    STDMETHODIMP GetDouble(BSTR, BSTR, BSTR, double* value, double def) override;
    STDMETHODIMP SetDWORD(BSTR section, BSTR key, BSTR tag, unsigned long value) override;
    STDMETHODIMP SetString(BSTR section, BSTR key, BSTR tag, BSTR value) override;
    STDMETHODIMP SetDouble(BSTR, BSTR, BSTR, double) override { return S_OK; }

    static std::string Address(BSTR section, BSTR key, BSTR tag);
    std::map<std::string, std::string> values;  // "section/key/tag" -> text
};

// The application's title in the test settings: one per test program, so
// that programs running side by side keep their registry keys apart.
std::string TestAppTitle();

// The three services bound into this module's pointers for a test's life.
struct TestServices {
    TestServices();
    ~TestServices();
    com::ComObject<CTestLogger>* logger = nullptr;
    com::ComObject<CTestTranslator>* translator = nullptr;
    com::ComObject<CTestSettings>* settings = nullptr;
};
