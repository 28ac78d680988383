#include "engine_tree_preparation.h"
#include "session_import.h"
#include <com/ptr.h>
#include <shared/log.h>

namespace {

HRESULT SyncInto(IFileTree* tree, const EngineTreeJob& job, IEngineTreeSyncHost& host, const CDataEditorTexts& texts)
{
    com::ComPtr<IFileTreeNode> root;
    HRESULT hr = tree->GetRootNode(&root);
    if (SUCCEEDED(hr) && root->IsValid() == S_FALSE) {
        root.Reset();
        tree->Initialize();
        hr = tree->GetRootNode(&root);
    }
    if (FAILED(hr)) return hr;
    CEngineTreeSync sync(*job.tree, tree, host, texts);
    return sync.Run(root, *job.removedPaths);
}

}  // namespace

HRESULT PrepareEngineTree(const EngineTreeJob& job, IEngineTreePreparationHost& host, const CDataEditorTexts& texts)
{
    CLogFunctionScope scope("PrepareEngineTree");
    // An empty session would hide what the disc held before: nothing is
    // burned without at least one entry, unless the user removed entries
    // of the previous session (then hiding them is what was asked).
    if (!job.tree->GetRoot()->FirstChild() && job.removedPaths->empty()) {
        LogWarning("the project is empty: nothing to burn");
        host.ShowFailure(texts.Text(IDS_PROJECT_EMPTY));
        host.SourceReady(E_FAIL, nullptr);
        return E_FAIL;
    }
    host.AddProgressAction(texts.Text(IDS_PROCESSING_CHANGES));
    host.Pump();

    com::ComPtr<IFileTree> resultTree;
    HRESULT hr = S_OK;
    {
        com::ComPtr<IDevices> devices;
        com::ComPtr<IDevice> device;
        com::ComPtr<IMedium> medium;
        com::ComPtr<IFileTree> tree;
        unsigned tracks = 0, startAddress = 0;
        hr = devices.CoCreate(CLSID_CoDevices, IID_IDevices, ENGINE_CLASS_CONTEXT);
        if (SUCCEEDED(hr)) hr = OpenMedium(devices, host.CurrentDeviceId(), device, medium, &tracks);
        if (SUCCEEDED(hr)) hr = tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, ENGINE_CLASS_CONTEXT);
        if (SUCCEEDED(hr)) {
            hr = TakeOverSession(tree, medium, device, tracks, job.importTrack, &startAddress);
            tree->SetStartLBA(startAddress);
            tree->DoFinalize(job.finalize);
            if (SUCCEEDED(hr)) {
                hr = SyncInto(tree, job, host, texts);
                resultTree = tree;
            }
        }
        if (FAILED(hr)) LogFailure("PrepareEngineTree", hr);
        // The sync shows its own failures; the steps before it have none.
        if (FAILED(hr) && !resultTree) host.ShowFailure(texts.Format(IDS_PREPARATION_FAILED, unsigned(hr)));
    }
    host.RemoveProgressAction();
    host.SourceReady(hr, resultTree);
    return hr;
}
