// CEngineTreeSync: brings an engine file tree (fresh, or holding the disc's
// previous session) into line with the user's tree in three passes:
// removals of imported entries, renames of imported entries, additions of
// everything else. The passes hold only the engine nodes of the folders on
// the way down and call the engine once per step the tree needs.
#pragma once
#include "data_editor_texts.h"
#include "user_fs_tree.h"
#include "engine.h"
#include "message_box.h"
#include <com/ptr.h>
#include <string>
#include <vector>

// What the passes ask of the frame around them; the tests answer it.
class IEngineTreeSyncHost {
public:
    virtual ~IEngineTreeSyncHost() = default;
    // A failure for the user: the system box with the application's title,
    // error icon.
    virtual void ShowFailure(const std::string& text) = 0;
    // The question about a source in use (the messenger's box, warning icon,
    // check box, Cancel and Skip): its result bits.
    virtual unsigned AskLockedFile(const std::string& text, const std::string& checkText) = 0;
    // The caption of the task panel's progress action.
    virtual void ShowProgress(const std::string& caption) = 0;
    // Lets the window's waiting messages through.
    virtual void Pump() = 0;
    // Whether the user asked to cancel (a pumped message may have set it).
    virtual bool CancelRequested() = 0;
};

// The locked-file question: Skip (with the check box: skip all) or Cancel.
const unsigned LOCKED_QUESTION_TYPE = MBX_ICONWARNING | MBX_CHECKBOX | MBX_CANCEL | MBX_SKIP;
const unsigned LOCKED_SKIP = MBX_SKIP, LOCKED_SKIP_ALL = MBX_SKIP | MBX_CHECKBOX;

class CEngineTreeSync {
public:
    CEngineTreeSync(const CUserFSTree& tree, IFileTree* engineTree, IEngineTreeSyncHost& host,
                    const CDataEditorTexts& texts);

    // The three passes from the engine's root, then the root's name as the
    // volume label. S_OK; SCARD_W_CANCELLED_BY_USER on a cancel (no
    // message); E_FAIL after one message to the user.
    HRESULT Run(IFileTreeNode* engineRoot, const std::vector<std::string>& removedPaths);

private:
    struct Stop {
        HRESULT result;
    };
    void Removals(const std::vector<std::string>& removedPaths);
    void Renames(const CUserFSEntry* folder);
    void Additions(const CUserFSEntry* folder, IFileTreeNode* engineFolder);
    void AddEntry(const CUserFSEntry* entry, IFileTreeNode* engineFolder);
    void Step(unsigned stringId, const char* captionFormat);
    com::ComPtr<IFileTreeNode> NodeByPath(const std::string& path);
    [[noreturn]] void Fail(const std::string& text);

    const CUserFSTree& m_tree;
    IFileTree* m_engineTree;
    IEngineTreeSyncHost& m_host;
    const CDataEditorTexts& m_texts;
    std::string m_processing;  // the captions' first part
    DWORD m_counter = 0;
    DWORD m_lastPercent = 0;
    bool m_skipAllLocked = false;
};
