// The start module's command line, split into arguments: blanks separate
// arguments (a run of blanks is one separator); an argument that starts
// with a double quote runs to the next double quote, quotes not included,
// or to the end of the line when none follows; any other argument runs to
// the next blank. The first argument is the program's own path.
#pragma once
#include <string>
#include <vector>

class CCommandLine {
public:
    explicit CCommandLine(const char* line);

    const std::string& Line() const { return m_line; }
    const std::vector<std::string>& Arguments() const { return m_arguments; }
    // The first argument after the program path, or null.
    const std::string* FirstParameter() const { return m_arguments.size() > 1 ? &m_arguments[1] : nullptr; }
    // The parameter is a switch ("-x" or "/x").
    static bool IsSwitch(const std::string& argument);

private:
    std::string m_line;
    std::vector<std::string> m_arguments;
};
