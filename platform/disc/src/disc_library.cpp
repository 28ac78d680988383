#include "disc_library.h"

#include <algorithm>

namespace disc {

namespace {
std::mutex g_libraryMutex;
std::shared_ptr<DiscLibrary> g_library;
}  // namespace

Error DiscLibrary::start(const std::string& dataFolder) {
    if (dataFolder.empty()) return fail(DISC_E_INVALID_ARGUMENT, "no data folder");
    auto lib = std::make_shared<DiscLibrary>(dataFolder);
    if (Error e = lib->folder_->prepare()) return e;
    lib->sync();
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    g_library = std::move(lib);
    return {};
}

void DiscLibrary::stop() {
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    if (g_library) {
        g_library->grabbers.clear();
        g_library->trees.clear();
        g_library->udfNodes.clear();
    }
    g_library.reset();
}

std::shared_ptr<DiscLibrary> DiscLibrary::current() {
    std::lock_guard<std::mutex> lock(g_libraryMutex);
    return g_library;
}

DiscLibrary::DiscLibrary(const std::string& dataFolder) : folder_(std::make_shared<DriveFolder>(dataFolder)) {}

void DiscLibrary::load(const std::string& name) {
    DriveSpec spec;
    if (folder_->loadDrive(name, spec)) return;
    auto it = drives_.find(name);
    if (it == drives_.end()) {
        it = drives_.emplace(name, std::make_shared<Drive>(folder_, name, spec)).first;
    } else if (it->second->busy()) {
        return;  // a running job owns the medium; catch up at the next change
    }
    Drive& d = *it->second;
    DiscFault fault;
    if (folder_->takeFault(name, fault)) d.armFault(fault, true);
    Medium m;
    bool present = folder_->loadMedium(name, m);
    std::lock_guard<std::mutex> lock(d.mutex());
    d.spec = spec;
    d.removed = false;
    d.medium = present ? std::optional<Medium>(m) : std::nullopt;
}

void DiscLibrary::sync() {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t stamp = folder_->readStamp();
    if (stamp == seenStamp_) return;
    seenStamp_ = stamp;
    std::vector<std::string> names = folder_->driveNames();
    for (auto& [name, drive] : drives_) {
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        std::lock_guard<std::mutex> driveLock(drive->mutex());
        drive->removed = true;
    }
    for (const std::string& name : names) load(name);
}

std::vector<std::shared_ptr<Drive>> DiscLibrary::drives() {
    sync();
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<Drive>> out;
    for (auto& [name, drive] : drives_) {
        std::lock_guard<std::mutex> driveLock(drive->mutex());
        if (!drive->removed) out.push_back(drive);
    }
    return out;
}

std::shared_ptr<Drive> DiscLibrary::drive(uint32_t id) {
    for (auto& d : drives())
        if (d->id() == id) return d;
    return nullptr;
}

}  // namespace disc
