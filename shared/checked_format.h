// Format strings that come from a language file the user can edit: one is
// used only when it asks for the same arguments, in the same order and of
// the same kinds, as the program's own text; otherwise the program's own
// text is used, so a wrong translation cannot read past the arguments.
#pragma once
#include <string>
#include <vector>

// The argument kinds a printf format reads, in order ("%s %5.2f%%" gives
// {"s", "f"}); a width or precision "*" reads an int of its own. An
// incomplete, positional or "%n" conversion gives {"!"}.
std::vector<std::string> FormatConversions(const std::string& format);
// `translated` when it reads what `builtin` reads, else `builtin`.
const std::string& CheckedFormat(const std::string& translated, const std::string& builtin);
