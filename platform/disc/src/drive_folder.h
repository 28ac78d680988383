// The drives' files in the data folder:
//   <data>/VirtualDrives/changes.stamp   counter, rises with every change
//   <data>/VirtualDrives/<name>.drive    drive description (DriveSpec)
//   <data>/VirtualDrives/<name>.medium   the medium in it, absent when empty
//   <data>/VirtualDrives/<name>.img      the medium's data: 2048-byte sectors
//                                        by logical block address (sparse)
//   <data>/VirtualDrives/<name>.raw      raw 2352-byte sectors of the tracks
//                                        that keep them (Mode 2, audio), by
//                                        logical block address (sparse)
//   <data>/VirtualDrives/<name>.fault    a fault armed from another process,
//                                        taken by the layer that loads it
// A pressed disc names its own image file instead of <name>.img.
#pragma once

#include "drive_spec.h"
#include "error.h"
#include "medium.h"

#include <string>
#include <vector>

namespace disc {

class DriveFolder {
public:
    explicit DriveFolder(std::string dataFolder);

    // Creates the folder; a folder without drives gets the default pair.
    Error prepare();
    const std::string& folder() const { return folder_; }

    std::vector<std::string> driveNames() const;
    Error loadDrive(const std::string& name, DriveSpec& out) const;
    Error saveDrive(const std::string& name, const DriveSpec& spec) const;
    bool loadMedium(const std::string& name, Medium& out) const;  // false: no medium
    Error saveMedium(const std::string& name, const Medium& medium) const;
    std::string imagePath(const std::string& name, const Medium& medium) const;
    std::string rawPath(const std::string& name) const;

    uint32_t readStamp() const;
    void bumpStamp() const;
    static uint64_t newSerial();

    // Medium changes, as the console tool makes them; each closes the tray and
    // bumps the drive's medium stamp and the folder's change stamp.
    Error insertBlank(const std::string& name, uint32_t type, uint32_t capacity) const;
    Error insertPressed(const std::string& name, const std::string& isoPath) const;
    Error removeMedium(const std::string& name) const;
    Error exportImage(const std::string& name, const std::string& isoPath) const;
    // A CD's recorded tracks as raw sectors in <base>.bin with <base>.cue.
    Error exportRaw(const std::string& name, const std::string& base) const;
    Error setTray(const std::string& name, bool open) const;
    // A fault for the drive's next operation of its kind, as the console
    // tool arms it: the layer that next loads the drive takes it (once) and
    // arms it there (DiscLayer_InjectFault).
    Error setFault(const std::string& name, const DiscFault& fault) const;
    bool takeFault(const std::string& name, DiscFault& out) const;

private:
    std::string path(const std::string& name, const char* extension) const;
    Error writeText(const std::string& file, const std::string& text) const;
    bool readText(const std::string& file, std::string& out) const;
    Error replaceMedium(const std::string& name, const Medium* medium) const;

    std::string folder_;
};

}  // namespace disc
