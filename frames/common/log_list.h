// CLogList: a frame's log list (the burning frame's, the source pages'), a
// one-column report list view whose rows are the job's lines, newest last and scrolled into view. It is
// never cleared.
#pragma once
#include <windows.h>

class CLogList {
public:
    // Takes the list view: full-row select and its one column.
    void Attach(HWND list);
    // A line formatted into 4,096 bytes (longer text is cut).
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Add(const char* text);
    // The column as wide as the list's client area less 2.
    void FitColumn();

private:
    HWND m_list = nullptr;
};
