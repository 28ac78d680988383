// The previous session of a multisession disc: finding the track to take
// over, importing it into an engine file tree, and copying what it holds
// into the user's tree as imported entries.
#pragma once
#include "user_fs_tree.h"
#include "engine.h"
#include <com/ptr.h>

// The device's medium, checked the way a burn needs it; its track count
// (0 when the medium cannot tell).
HRESULT OpenMedium(IDevices* devices, int deviceId, com::ComPtr<IDevice>& device, com::ComPtr<IMedium>& medium,
                   unsigned* tracks);

// From the last track down: the open track gives the start address, and
// the closed track numbered `importTrack` below it is imported into `tree`.
// S_OK also when no track qualified; `imported` tells whether one did.
HRESULT ImportSessionTrack(IFileTree* tree, IMedium* medium, IDevice* device, unsigned tracks, int importTrack,
                           unsigned* startAddress, bool* imported = nullptr);

// Every node under the engine's `folder` becomes an imported entry under
// `into`, in the engine's order; nodes whose name or attributes cannot be
// read are left out.
void CopyImportedEntries(IFileTree* engine, IFileTreeNode* folder, CUserFSTree& tree, CUserFSEntry* into);

// The whole take-over for a new project: the disc in the drive `deviceId`,
// its session of track `importTrack` imported and copied under the root.
// S_OK when it was; S_FALSE when no track qualified (nothing copied); else
// the failure of the engine call (nothing copied).
HRESULT TakeOverPreviousSession(CUserFSTree& tree, int deviceId, int importTrack);
