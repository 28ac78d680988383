// The preparation of a data burn: a fresh engine file tree, the previous
// session of the disc taken over when the project continues one, the user's
// edits replayed onto it, and the result handed to the project.
#pragma once
#include "engine_tree_sync.h"
#include <string>
#include <vector>

// The sync's host plus what the preparation says to the project.
class IEngineTreePreparationHost : public IEngineTreeSyncHost {
public:
    // The task panel's progress action, shown and taken away again.
    virtual void AddProgressAction(const std::string& caption) = 0;
    virtual void RemoveProgressAction() = 0;
    // The drive the project burns on; -1 when it names none.
    virtual int CurrentDeviceId() = 0;
    // The result and the tree (null when none was made) for the project.
    virtual void SourceReady(HRESULT result, IFileTree* tree) = 0;
};

const DWORD ENGINE_CLASS_CONTEXT = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                   CLSCTX_REMOTE_SERVER;

struct EngineTreeJob {
    const CUserFSTree* tree;
    const std::vector<std::string>* removedPaths;  // imported entries the user removed, in order
    int importTrack;    // the track whose session is taken over; -1 for none
    unsigned finalize;  // close the disc after the burn
};

// Runs the whole preparation on the calling (window) thread; the host hears
// of every step, and of the result last. Returns the result it reported.
HRESULT PrepareEngineTree(const EngineTreeJob& job, IEngineTreePreparationHost& host, const CDataEditorTexts& texts);
