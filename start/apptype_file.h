// The application-type file beside the program: INI section "Data", every
// key optional. Start-up copies each key, in this order, into the common
// settings as key "ApptypeData", tag = the key's name.
#pragma once
#include <string>

struct CApptypeKey {
    const char* name;
    bool isString;
    const char* stringDefault;  // null: the application name
    unsigned long numberDefault;
};

// The fifteen keys in the order they are read and copied: ten strings,
// then five numbers.
extern const CApptypeKey APPTYPE_KEYS[15];

class CApptypeFile {
public:
    CApptypeFile(const std::string& path, const std::string& application);

    // At most 1,023 characters; a missing key gives the default.
    std::string ReadString(const char* key, const char* def) const;
    unsigned long ReadNumber(const char* key, unsigned long def) const;

    // Copies every key into the common settings ("ApptypeData").
    void CopyToSettings() const;
    static void CopyApptypeString(const char* key, const char* def, const std::string& file);
    static void CopyApptypeDword(const char* key, unsigned long def, const std::string& file);

private:
    std::string m_path;
    std::string m_application;
};
