#include "session_takeover.h"
#include "engine_tree_preparation.h"
#include <com/bstr.h>
#include <shared/log.h>

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

HRESULT ImportSessionTrack(IFileTree* tree, IMedium* medium, IDevice* device, unsigned tracks, int importTrack,
                           unsigned* startAddress, bool* imported)
{
    if (imported) *imported = false;
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
            hr = tree->ImportTrack(track, device);
            if (imported) *imported = SUCCEEDED(hr);
            return hr;
        }
    }
    return S_OK;
}

void CopyImportedEntries(IFileTree* engine, IFileTreeNode* folder, CUserFSTree& tree, CUserFSEntry* into)
{
    if (!into) return;
    com::ComPtr<IFileTreeNode> kid;
    if (engine->GetFirstKid(folder, &kid) != S_OK) return;
    while (kid && kid->IsValid() == S_OK) {
        com::Bstr name;
        unsigned attributes = 0;
        if (kid->GetName(&name) == S_OK && kid->GetAttributes(&attributes) == S_OK) {
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                CopyImportedEntries(engine, kid, tree, tree.AddImportedFolder(into, name.Ansi()));
            } else {
                hyper size = 0;
                kid->GetSize(&size);
                tree.AddImportedFile(into, name.Ansi(), LONGLONG(size));
            }
        }
        com::ComPtr<IFileTreeNode> next;
        if (engine->GetNextKid(folder, kid, &next) != S_OK) break;
        kid = next;
    }
}

HRESULT TakeOverPreviousSession(CUserFSTree& tree, int deviceId, int importTrack)
{
    CLogFunctionScope scope("TakeOverPreviousSession");
    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IMedium> medium;
    com::ComPtr<IFileTree> engineTree;
    com::ComPtr<IFileTreeNode> root;
    unsigned tracks = 0, startAddress = 0;
    bool imported = false;
    HRESULT hr = devices.CoCreate(CLSID_CoDevices, IID_IDevices, ENGINE_CLASS_CONTEXT);
    if (SUCCEEDED(hr)) hr = OpenMedium(devices, deviceId, device, medium, &tracks);
    if (SUCCEEDED(hr)) hr = engineTree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, ENGINE_CLASS_CONTEXT);
    if (SUCCEEDED(hr)) hr = ImportSessionTrack(engineTree, medium, device, tracks, importTrack, &startAddress, &imported);
    if (SUCCEEDED(hr) && !imported) return S_FALSE;
    if (SUCCEEDED(hr)) hr = engineTree->GetRootNode(&root);
    if (FAILED(hr)) {
        LogFailure("TakeOverPreviousSession", hr);
        return hr;
    }
    CopyImportedEntries(engineTree, root, tree, tree.GetRoot());
    return S_OK;
}
