#include "xml_file.h"
#include <cstdio>
#include <cstring>

std::string FormatXmlDword(unsigned long value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    return text;
}

std::string FormatXmlDouble(double value)
{
    char text[128];
    std::snprintf(text, sizeof(text), "%e", value);
    std::string s = text;
    // The C runtime here prints at least two exponent digits; the format
    // has three.
    std::size_t e = s.find_first_of("eE");
    if (e != std::string::npos && e + 1 < s.size() && (s[e + 1] == '+' || s[e + 1] == '-')) {
        std::size_t digits = s.size() - (e + 2);
        if (digits < 3) s.insert(e + 2, 3 - digits, '0');
    }
    return s;
}

XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return XmlLoad::Missing;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return XmlLoad::Unopenable;
    bool ok = doc.LoadFile(file, TIXML_ENCODING_LEGACY);
    std::fclose(file);
    return ok ? XmlLoad::Loaded : XmlLoad::Unparsable;
}

HRESULT SaveXmlFile(TiXmlDocument& doc, const std::string& path)
{
    std::string folder = ".";
    std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) folder = path.substr(0, slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "tb", 0, temp)) return E_FAIL;

    // Text mode, as TinyXML saves: line ends become CR LF.
    FILE* file = std::fopen(temp, "w");
    bool ok = file && doc.SaveFile(file);
    if (file) {
        ok = (std::fflush(file) == 0) && ok && !std::ferror(file);
        ok = (std::fclose(file) == 0) && ok;
    }
    if (ok) ok = MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileA(temp);
    return ok ? S_OK : E_FAIL;
}
