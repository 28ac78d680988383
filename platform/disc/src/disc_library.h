// The started layer: the drive folder, the drives found in it and the tables
// of open grabbers and trees. The drives are synchronised with the folder
// whenever its change stamp moves, so media that another process (the console
// tool) inserts or removes show up here.
#pragma once

#include "drive.h"
#include "drive_folder.h"
#include "handle_table.h"
#include "iso_tree.h"
#include "udf_tree.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace disc {

struct Grabber {
    std::shared_ptr<Drive> drive;
    DiscCallback callback = nullptr;
    void* context = nullptr;
    uint32_t bufferBytes = 0;
    uint32_t locks = 0;  // tray locks this handle holds; under the drive's mutex
    uint64_t madeAt = 0;  // the drive's fault clock when the handle was made
    uint32_t readRequest = 0xFFFF, writeRequest = 0xFFFF;  // KB/s; the handle's own
};

class DiscLibrary {
public:
    static Error start(const std::string& dataFolder);
    static void stop();
    // The started layer, or null.
    static std::shared_ptr<DiscLibrary> current();

    explicit DiscLibrary(const std::string& dataFolder);

    const DriveFolder& folder() const { return *folder_; }
    void sync();  // reload drives and media when the change stamp moved
    std::vector<std::shared_ptr<Drive>> drives();
    std::shared_ptr<Drive> drive(uint32_t id);
    uint32_t stamp() const { return folder_->readStamp(); }

    HandleTable<Grabber> grabbers {1};
    HandleTable<IsoTree> trees {2};
    HandleTable<UdfNode> udfNodes {3};

private:
    void load(const std::string& name);

    std::shared_ptr<DriveFolder> folder_;
    std::mutex mutex_;
    uint32_t seenStamp_ = UINT32_MAX;
    std::map<std::string, std::shared_ptr<Drive>> drives_;
};

}  // namespace disc
