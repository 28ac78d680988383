#include "com/registry.h"
#include <shlwapi.h>

namespace com {

HRESULT SetRegText(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    HKEY k;
    LONG rc = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExA(k, (name && *name) ? name : nullptr, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT SetRegDword(HKEY root, const std::string& key, const char* name, DWORD value)
{
    HKEY k;
    LONG rc = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(k);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT DeleteRegTree(HKEY root, const std::string& key)
{
    LONG rc = SHDeleteKeyA(root, key.c_str());
    return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) ? S_OK : HRESULT_FROM_WIN32(rc);
}

bool GetRegText(HKEY root, const std::string& key, const char* name, std::string* value)
{
    char buf[1024];
    DWORD size = sizeof(buf), type = 0;
    LONG rc = SHGetValueA(root, key.c_str(), name, &type, buf, &size);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value->assign(buf, size && !buf[size - 1] ? size - 1 : size);
    return true;
}

}  // namespace com
