// CCoLogger: the diagnostic sink of a process. Time-stamped lines in one log
// file, the objects alive by identifier and class, counts per class written
// as a table at the end, and the path of functions entered and not left.
#pragma once
#include "common.h"
#include <com/object.h>
#include <list>
#include <map>
#include <string>

class CCoLogger : public com::ObjectRoot<com::MultiThreadModel>, public ILogger {
public:
    COM_INTERFACES_BEGIN(CCoLogger)
        COM_INTERFACE(ILogger)
    COM_INTERFACES_END()

    ~CCoLogger();

    STDMETHODIMP Init(BSTR a_sLogFile) override;
    STDMETHODIMP LogEvent(BSTR a_psLogStr) override;
    STDMETHODIMP LogEventB(BSTR a_psLogStr, long a_bSuccess) override;
    STDMETHODIMP LogCreateObject(unsigned int a_uiID, BSTR a_bsClassName) override;
    STDMETHODIMP LogDestroyObject(unsigned int a_uiID) override;
    STDMETHODIMP LogEnterFunction(BSTR a_bsFuncName) override;
    STDMETHODIMP LogLeaveFunction(BSTR a_bsFuncName) override;
    STDMETHODIMP DumpFuncPath() override;

private:
    struct ClassCount {
        int created = 0;
        int alive = 0;
    };

    HRESULT LogLine(const std::string& text);
    bool WriteRaw(const std::string& bytes);
    void WriteMemoryTable();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::map<unsigned, std::string> m_objects;
    std::map<std::string, ClassCount> m_classes;  // byte-wise order of class names
    std::list<std::string> m_funcPath;  // one path for the whole process
};

// Cuts the open file to its last 512 KB, starting at a line beginning.
HRESULT TrimLogFile(HANDLE file);
