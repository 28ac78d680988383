#include "session_import.h"
#include "engine_tree_preparation.h"
#include <com/bstr.h>

namespace {

void CopyFolder(IFileTree* engine, IFileTreeNode* folder, CUserFSTree& tree, CUserFSEntry* into)
{
    com::ComPtr<IFileTreeNode> kid;
    if (!into || engine->GetFirstKid(folder, &kid) != S_OK) return;
    while (kid && kid->IsValid() == S_OK) {
        com::Bstr name;
        unsigned attributes = 0;
        if (SUCCEEDED(kid->GetName(&name)) && SUCCEEDED(kid->GetAttributes(&attributes))) {
            if (attributes & 0x10) {
                CopyFolder(engine, kid, tree, tree.AddImportedFolder(into, name.Ansi()));
            } else {
                hyper size = 0;
                kid->GetSize(&size);
                tree.AddImportedFile(into, name.Ansi(), size);
            }
        }
        com::ComPtr<IFileTreeNode> next;
        if (engine->GetNextKid(folder, kid, &next) != S_OK) break;
        kid = next;
    }
}

}  // namespace

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

HRESULT TakeOverSession(IFileTree* tree, IMedium* medium, IDevice* device, unsigned tracks, int importTrack,
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

HRESULT ImportSession(unsigned deviceId, int importTrack, com::ComPtr<IFileTree>& tree)
{
    tree.Reset();
    if (importTrack < 1) return E_FAIL;
    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IMedium> medium;
    com::ComPtr<IFileTree> imported;
    unsigned tracks = 0, startAddress = 0;
    bool done = false;
    HRESULT hr = devices.CoCreate(CLSID_CoDevices, IID_IDevices, ENGINE_CLASS_CONTEXT);
    if (SUCCEEDED(hr)) hr = OpenMedium(devices, int(deviceId), device, medium, &tracks);
    if (SUCCEEDED(hr)) hr = imported.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, ENGINE_CLASS_CONTEXT);
    if (SUCCEEDED(hr)) hr = TakeOverSession(imported, medium, device, tracks, importTrack, &startAddress, &done);
    if (SUCCEEDED(hr) && !done) hr = E_FAIL;
    if (SUCCEEDED(hr)) tree = imported;
    return hr;
}

void CopyImportedTree(IFileTree* engine, CUserFSTree& tree)
{
    com::ComPtr<IFileTreeNode> root;
    if (engine && SUCCEEDED(engine->GetRootNode(&root)) && root) CopyFolder(engine, root, tree, tree.GetRoot());
}
