// Taking over a disc's previous session: the session's files read from the
// drive into an engine file tree, and that tree copied into the user's tree
// as imported entries.
#pragma once
#include "user_fs_tree.h"
#include "engine.h"
#include <com/ptr.h>

// The device's medium, checked the way a burn needs it; its track count
// (0 when the medium cannot tell).
HRESULT OpenMedium(IDevices* devices, int deviceId, com::ComPtr<IDevice>& device, com::ComPtr<IMedium>& medium,
                   unsigned* tracks);
// From the last track down: the open track gives the start address, and the
// closed track numbered `importTrack` below it is imported into `tree`.
// `imported` (may be null) tells whether a track was.
HRESULT TakeOverSession(IFileTree* tree, IMedium* medium, IDevice* device, unsigned tracks, int importTrack,
                        unsigned* startAddress, bool* imported = nullptr);
// The session that ends with track `importTrack` on the device's disc, as a
// new engine file tree. E_FAIL when the disc holds no such session behind
// which it can be continued.
HRESULT ImportSession(unsigned deviceId, int importTrack, com::ComPtr<IFileTree>& tree);
// Every node under the engine tree's root as imported entries under the
// user tree's root, in order; nodes that cannot be read are skipped.
void CopyImportedTree(IFileTree* engine, CUserFSTree& tree);
