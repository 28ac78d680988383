// Registry helpers for registration code.
#pragma once
#include <windows.h>
#include <string>

namespace com {

// Creates the key (and the missing keys above it) and sets a text value
// ("" names the default value).
HRESULT SetRegText(HKEY root, const std::string& key, const char* name, const std::string& value);
HRESULT SetRegDword(HKEY root, const std::string& key, const char* name, DWORD value);
// Removes a key with everything below it; a missing key is no error.
HRESULT DeleteRegTree(HKEY root, const std::string& key);
// Reads a text value; false when missing.
bool GetRegText(HKEY root, const std::string& key, const char* name, std::string* value);

}  // namespace com
