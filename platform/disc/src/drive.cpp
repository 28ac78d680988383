#include "drive.h"

#include <algorithm>

namespace disc {

uint32_t pickSpeed(const std::vector<uint32_t>& table, uint32_t request) {
    if (table.empty()) return 0;
    uint32_t best = *std::min_element(table.begin(), table.end());
    uint32_t fastest = *std::max_element(table.begin(), table.end());
    if (request == 0xFFFF) return fastest;
    for (uint32_t s : table)
        if (s <= request && s > best) best = s;
    return best;
}

Drive::Drive(std::shared_ptr<const DriveFolder> folder, std::string name, DriveSpec s)
    : spec(std::move(s)), folder_(std::move(folder)), name_(std::move(name)), id_(spec.id()) {}

const Medium* Drive::readyMedium() const {
    if (removed || spec.trayOpen || !medium) return nullptr;
    return &*medium;
}

const std::vector<uint32_t>& Drive::readTable() const {
    bool dvd = medium && isDvdType(medium->type) && !spec.dvdReadSpeeds.empty();
    return dvd ? spec.dvdReadSpeeds : spec.cdReadSpeeds;
}

const std::vector<uint32_t>& Drive::writeTable() const {
    bool dvd = medium && isDvdType(medium->type) && !spec.dvdWriteSpeeds.empty();
    return dvd ? spec.dvdWriteSpeeds : spec.cdWriteSpeeds;
}

uint32_t Drive::readSpeed(uint32_t request) const { return pickSpeed(readTable(), request); }
uint32_t Drive::writeSpeed(uint32_t request) const { return pickSpeed(writeTable(), request); }
uint32_t Drive::maxReadSpeed() const { return pickSpeed(readTable(), 0xFFFF); }
uint32_t Drive::maxWriteSpeed() const { return pickSpeed(writeTable(), 0xFFFF); }

bool Drive::beginJob() {
    bool expected = false;
    return busy_.compare_exchange_strong(expected, true);
}

void Drive::endJob() { busy_.store(false); }

void Drive::armFault(const DiscFault& fault, bool fromOutside) {
    std::lock_guard<std::mutex> lock(faultMutex_);
    if (fault.operation == 0) { faults_.clear(); return; }
    faults_.push_back({fault, fromOutside ? ++faultClock_ : 0});
}

std::optional<DiscFault> Drive::takeFault(uint32_t operation, uint64_t madeAt) {
    std::lock_guard<std::mutex> lock(faultMutex_);
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->fault.operation != operation || it->armedAt > madeAt) continue;
        DiscFault f = it->fault;
        faults_.erase(it);
        return f;
    }
    return std::nullopt;
}

uint64_t Drive::faultClock() {
    std::lock_guard<std::mutex> lock(faultMutex_);
    return faultClock_;
}

}  // namespace disc
