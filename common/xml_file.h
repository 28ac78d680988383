// What the settings file and the project save file share: the number forms
// of their values, reading a file byte-wise, and saving safely.
#pragma once
#include <windows.h>
#include <string>
#include <tinyxml.h>

// "%d" of the 32 bits (so 0xFFFFFFFF is "-1").
std::string FormatXmlDword(unsigned long value);
// "%e" with the three-digit exponent of the files' format ("1.500000e+000").
std::string FormatXmlDouble(double value);

enum class XmlLoad { Loaded, Missing, Unopenable, Unparsable };

// The deepest nesting of elements a file may have: far beyond what a
// project holds (its folders come from paths of at most 260 characters),
// far below what the recursive parser and readers have stack for.
const std::size_t MAX_XML_DEPTH = 256;

// Whether the elements of the XML text nest at most `limit` deep (comments,
// CDATA, declarations and quoted values skipped). A cheap look that never
// recurses, made before the text is parsed.
bool NestsWithin(const std::string& text, std::size_t limit);

// Loads `path` with the byte-wise (legacy) encoding: the files hold ANSI
// text of the system code page, not UTF-8. A file that begins with the
// UTF-8 byte-order mark (one saved by an editor) is UTF-8: it is read as
// its ANSI text. A text nested deeper than MAX_XML_DEPTH is Unparsable.
XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path);

// Whether TinyXML reads `name` back as an element or attribute name: not
// empty, a letter, '_' or a byte of 127 and above first, then those, digits,
// '-', '.' and ':'. Any other name would make the whole file unreadable.
bool IsXmlName(const std::string& name);

// Prints the document as TinyXML saves it into a temporary file beside
// `path`, then replaces `path` with it. E_FAIL on any failing step; the old
// file is then untouched.
HRESULT SaveXmlFile(TiXmlDocument& doc, const std::string& path);
