#include "engine_tree_sync.h"
#include <com/bstr.h>
#include <shared/log.h>
#include <cstdio>
#include <exception>

CEngineTreeSync::CEngineTreeSync(const CUserFSTree& tree, IFileTree* engineTree, IEngineTreeSyncHost& host,
                                 const CDataEditorTexts& texts)
    : m_tree(tree), m_engineTree(engineTree), m_host(host), m_texts(texts)
{
}

HRESULT CEngineTreeSync::Run(IFileTreeNode* engineRoot, const std::vector<std::string>& removedPaths)
{
    try {
        m_processing = m_texts.Text(IDS_PROCESSING_CHANGES);
        m_counter = m_lastPercent = 0;
        Removals(removedPaths);
        m_counter = m_lastPercent = 0;
        Renames(m_tree.GetRoot());
        m_counter = m_lastPercent = 0;
        m_skipAllLocked = false;
        Additions(m_tree.GetRoot(), engineRoot);
        // The label the user gave the disc (the root's name).
        const HRESULT hr = m_engineTree->SetVolumeLabel(com::Bstr(m_tree.GetRoot()->m_name));
        if (FAILED(hr)) {
            LogFailure("IFileTree::SetVolumeLabel", hr);
            Fail(m_texts.Text(IDS_UNEXPECTED_FAILURE));
        }
        return S_OK;
    } catch (const Stop& stop) {
        return stop.result;
    } catch (const std::exception& e) {
        LogPrintf("ERROR: bringing the engine tree into line: %s", e.what());
    } catch (...) {
        LogWarning("bringing the engine tree into line stopped by an unknown exception");
    }
    m_host.ShowFailure(m_texts.Text(IDS_UNEXPECTED_FAILURE));
    return E_FAIL;
}

void CEngineTreeSync::Fail(const std::string& text)
{
    m_host.ShowFailure(text);
    throw Stop{E_FAIL};
}

com::ComPtr<IFileTreeNode> CEngineTreeSync::NodeByPath(const std::string& path)
{
    com::ComPtr<IFileTreeNode> node;
    if (FAILED(m_engineTree->GetNodeByPath(&node, com::Bstr(path))) || !node)
        Fail(m_texts.Format(IDS_NODE_NOT_FOUND, path.c_str()));
    return node;
}

// Before each entry: the window's messages, the cancel, and the caption
// whenever the whole percent changes.
void CEngineTreeSync::Step(unsigned stringId, const char* captionFormat)
{
    m_host.Pump();
    if (m_host.CancelRequested()) throw Stop{SCARD_W_CANCELLED_BY_USER};
    ++m_counter;
    const DWORD percent = DWORD(ULONGLONG(m_counter) * 100 / m_tree.GetEntryCount());
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    char caption[1024];
    std::snprintf(caption, sizeof(caption), captionFormat, m_processing.c_str(), m_texts.Text(stringId).c_str(),
                  int(percent));
    m_host.ShowProgress(caption);
}

void CEngineTreeSync::Removals(const std::vector<std::string>& removedPaths)
{
    m_host.ShowProgress(m_processing + ", " + m_texts.Text(IDS_APPLYING_REMOVALS));
    m_host.Pump();
    for (const std::string& path : removedPaths) {
        if (m_host.CancelRequested()) throw Stop{SCARD_W_CANCELLED_BY_USER};
        com::ComPtr<IFileTreeNode> node = NodeByPath(path);
        if (FAILED(m_engineTree->Remove(node))) Fail(m_texts.Format(IDS_REMOVE_FAILED, path.c_str()));
    }
}

// Children before their folder: a renamed imported folder's entries are
// found under the paths of the old session only while it keeps its old name.
void CEngineTreeSync::Renames(const CUserFSEntry* folder)
{
    for (const CUserFSEntry* entry = folder->FirstChild(); entry; entry = entry->NextSibling()) {
        Step(IDS_APPLYING_RENAMES, "%s, %s %i%%");
        if (entry->IsFolder()) Renames(entry);
        if (!(entry->m_attributes & UFA_IMPORTED_RENAMED)) continue;
        com::ComPtr<IFileTreeNode> node = NodeByPath(entry->m_sourcePath);
        if (FAILED(m_engineTree->Rename(node, com::Bstr(entry->m_name))))
            Fail(m_texts.Format(IDS_RENAME_FAILED, entry->m_sourcePath.c_str(), entry->m_name.c_str()));
    }
}

void CEngineTreeSync::Additions(const CUserFSEntry* folder, IFileTreeNode* engineFolder)
{
    for (const CUserFSEntry* entry = folder->FirstChild(); entry; entry = entry->NextSibling()) {
        Step(IDS_ADDING_FILES, "%s %s  %i%%");
        if (!entry->IsImported()) {
            AddEntry(entry, engineFolder);
            continue;
        }
        // Already in the engine's tree, under its current name since the
        // renames: only its folder's content is walked.
        com::ComPtr<IFileTreeNode> node = NodeByPath(m_tree.GetEntryPath(entry));
        if (entry->IsFolder()) Additions(entry, node);
    }
}

void CEngineTreeSync::AddEntry(const CUserFSEntry* entry, IFileTreeNode* engineFolder)
{
    // A folder goes in by its name alone: the engine takes a source path for
    // a file only.
    com::Bstr source(entry->IsFolder() ? std::string() : entry->m_sourcePath);
    com::ComPtr<IFileTreeNode> node;
    const HRESULT hr = m_engineTree->Add(engineFolder, source.Length() ? source.Get() : nullptr,
                                         com::Bstr(entry->m_name), &node);
    if (SUCCEEDED(hr) && node) {
        if (entry->IsFolder()) Additions(entry, node);
        return;
    }
    if (hr == SCARD_E_SHARING_VIOLATION && !entry->IsFolder()) {
        if (m_skipAllLocked) return;
        const unsigned answer = m_host.AskLockedFile(m_texts.Format(IDS_FILE_LOCKED, entry->m_sourcePath.c_str()),
                                                     m_texts.Text(IDS_SKIP_ALL_LOCKED));
        if (answer == LOCKED_SKIP) return;
        if (answer == LOCKED_SKIP_ALL) {
            m_skipAllLocked = true;
            return;
        }
        throw Stop{E_FAIL};
    }
    const std::string path = m_tree.GetEntryPath(entry);
    if (entry->IsFolder()) Fail(m_texts.Format(IDS_ADD_FOLDER_FAILED, path.c_str()));
    // A source gone since it was added is said to be missing, not too long.
    if (GetFileAttributesA(entry->m_sourcePath.c_str()) == INVALID_FILE_ATTRIBUTES)
        Fail(m_texts.Format(IDS_SOURCE_MISSING, path.c_str(), entry->m_sourcePath.c_str()));
    Fail(m_texts.Format(IDS_ADD_FILE_FAILED, path.c_str(), entry->m_sourcePath.c_str()));
}
