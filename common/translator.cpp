#include "translator.h"
#include <shared/services.h>
#include <com/guard.h>
#include <com/text.h>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

std::string UnescapeNewlines(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string EscapeNewlines(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n"; else out += c;
    }
    return out;
}

// The NUL-separated strings of a profile buffer, ended by an empty one.
std::vector<std::string> SplitProfileList(const char* buffer)
{
    std::vector<std::string> items;
    for (const char* p = buffer; *p; p += lstrlenA(p) + 1) items.emplace_back(p);
    return items;
}

}  // namespace

STDMETHODIMP CCoTranslator::Init(BSTR a_psFileName)
{
    return com::Guarded("CCoTranslator::Init", [&]() -> HRESULT {
        if (!a_psFileName) return E_POINTER;
        com::ObjectLock<CCoTranslator> lock(this);
        const std::string name = com::AnsiFromBstr(a_psFileName);
        DWORD attributes = GetFileAttributesA(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            HANDLE file = CreateFileA(name.c_str(), 0, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) return E_INVALIDARG;
            CloseHandle(file);
            m_fileName = name;
            return S_OK;
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return E_INVALIDARG;
        m_fileName = name;
        LoadFile();
        return S_OK;
    });
}

void CCoTranslator::LoadFile()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(m_fileName.c_str(), GetFileExInfoStandard, &data)) return;
    const DWORD size = data.nFileSizeLow + 2;
    std::vector<char> names(size, '\0');
    GetPrivateProfileSectionNamesA(names.data(), size, m_fileName.c_str());
    std::vector<char> lines(size, '\0');
    for (const std::string& section : SplitProfileList(names.data())) {
        StringTable& table = m_sections[section];
        std::fill(lines.begin(), lines.end(), '\0');
        GetPrivateProfileSectionA(section.c_str(), lines.data(), size, m_fileName.c_str());
        for (const std::string& line : SplitProfileList(lines.data())) {
            std::size_t eq = line.find('=');
            std::string key = eq == std::string::npos ? line : line.substr(0, eq);
            std::string value = eq == std::string::npos ? line : line.substr(eq + 1);
            unsigned long id = eq == std::string::npos ? 0 : std::strtol(key.c_str(), nullptr, 16);
            table.emplace(id, UnescapeNewlines(value));  // the first line of an identifier wins
        }
    }
}

STDMETHODIMP CCoTranslator::GetLangStr(BSTR a_psSectionName, unsigned long a_iStrID, BSTR* a_ppResult)
{
    return com::Guarded("CCoTranslator::GetLangStr", [&]() -> HRESULT {
        if (!a_ppResult) return E_POINTER;
        com::ObjectLock<CCoTranslator> lock(this);
        auto section = m_sections.find(com::AnsiFromBstr(a_psSectionName));
        if (section == m_sections.end()) return E_FAIL;
        auto text = section->second.find(a_iStrID);
        if (text == section->second.end()) return E_FAIL;
        *a_ppResult = com::BstrFromAnsi(text->second);
        return S_OK;
    });
}

std::string CCoTranslator::CommonText(unsigned long id)
{
    com::ObjectLock<CCoTranslator> lock(this);
    auto section = m_sections.find(COMMON_LANG_SECTION);
    if (section == m_sections.end()) return std::string();
    auto text = section->second.find(id);
    return text == section->second.end() ? std::string() : text->second;
}

STDMETHODIMP CCoTranslator::GulpResources(ULONG_PTR a_hModule, BSTR a_psSectionName)
{
    return com::Guarded("CCoTranslator::GulpResources", [&]() -> HRESULT {
        com::ObjectLock<CCoTranslator> lock(this);
        if (!a_hModule) return E_FAIL;
        m_gulpSection = a_psSectionName ? com::AnsiFromBstr(a_psSectionName) : COMMON_LANG_SECTION;
        m_sections[m_gulpSection];
        HMODULE module = reinterpret_cast<HMODULE>(a_hModule);
        m_gulpFailure = nullptr;
        BOOL ok = EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_STRING), OnStringBlock,
                                     reinterpret_cast<LONG_PTR>(this));
        // A block that failed stopped the walk; its exception goes to the guard.
        if (m_gulpFailure) std::rethrow_exception(std::exchange(m_gulpFailure, nullptr));
        return ok ? S_OK : E_FAIL;
    });
}

// Called by the system: no exception may unwind through it, so one is kept
// for GulpResources and the walk stops.
BOOL CALLBACK CCoTranslator::OnStringBlock(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto* self = reinterpret_cast<CCoTranslator*>(param);
    try {
        if (IS_INTRESOURCE(name)) self->GulpBlock(module, static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
    } catch (...) {
        self->m_gulpFailure = std::current_exception();
        return FALSE;
    }
}

void CCoTranslator::GulpBlock(HMODULE module, unsigned block)
{
    StringTable& table = m_sections[m_gulpSection];
    const unsigned first = (block - 1) * 16;
    for (unsigned id = first; id < first + 16; ++id) {
        if (table.count(id)) continue;
        char text[2047];  // at most 2,046 characters
        int n = LoadStringA(module, id, text, sizeof(text));
        if (n <= 0) continue;
        table.emplace(id, std::string(text, n));
        if (m_fileName.empty()) continue;
        char key[16];
        std::snprintf(key, sizeof(key), "0x%05X", id);
        WritePrivateProfileStringA(m_gulpSection.c_str(), key, EscapeNewlines(std::string(text, n)).c_str(),
                                   m_fileName.c_str());
    }
}

STDMETHODIMP CCoTranslator::SetMainWnd(HWND a_hWnd)
{
    com::ObjectLock<CCoTranslator> lock(this);
    m_mainWnd = a_hWnd;
    return S_OK;
}
