#include "command_line.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CCommandLine::CCommandLine(const char* line) : m_line(line ? line : "")
{
    const char* p = m_line.c_str();
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (!*p) break;
        const char* start;
        if (*p == '"') {
            start = ++p;
            while (*p && *p != '"') ++p;
            m_arguments.emplace_back(start, p);
            if (*p) ++p;  // the closing quote
        } else {
            start = p;
            while (*p && !IsBlank(*p)) ++p;
            m_arguments.emplace_back(start, p);
        }
    }
}

bool CCommandLine::IsSwitch(const std::string& argument)
{
    return !argument.empty() && (argument[0] == '-' || argument[0] == '/');
}
