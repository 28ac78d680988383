#include "engine_tree_preparation.h"
#include <com/ptr.h>
#include <shared/log.h>

namespace {

// The device's medium, checked the way a burn needs it; its track count
// (0 when the medium cannot tell).
HRESULT OpenMedium(IDevices* devices, int deviceId, com::ComPtr<IDevice>& device, com::ComPtr<IMedium>& medium,
                   unsigned* tracks)
{
    HRESULT hr = devices->GetDeviceByID(unsigned(deviceId), &device);
    if (SUCCEEDED(hr)) hr = device.As(IID_IMedium, &medium);
    hyper total = 0, used = 0, free = 0;
    if (SUCCEEDED(hr)) hr = medium->GetSpaces(&total, &used, &free);
    if (FAILED(hr)) return hr;
    if (FAILED(medium->GetTrackCount(tracks))) *tracks = 0;
    return S_OK;
}

// From the last track down: the open track gives the start address, and
// the closed track numbered `importTrack` below it is taken over.
HRESULT TakeOverSession(IFileTree* tree, IMedium* medium, IDevice* device, unsigned tracks, int importTrack,
                        unsigned* startAddress)
{
    bool writableSeen = false;
    for (unsigned number = tracks; number >= 1; --number) {
        com::ComPtr<ITrack> track;
        unsigned freeBlocks = 0;
        HRESULT hr = medium->GetTrack(&track, number);
        if (SUCCEEDED(hr)) hr = track->GetFreeLBs(&freeBlocks);
        if (FAILED(hr)) return hr;
        if (freeBlocks > 0) {
            writableSeen = true;
            track->GetStartAdress(startAddress);
        } else if (writableSeen && int(number) == importTrack) {
            return tree->ImportTrack(track, device);
        }
    }
    return S_OK;
}

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
    }
    host.RemoveProgressAction();
    host.SourceReady(hr, resultTree);
    return hr;
}
