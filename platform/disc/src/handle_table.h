// Checked handles: the caller holds a number, never a pointer. The high four
// bits name the kind, so a tree handle given as a grabber is refused; the
// counter never repeats, so a destroyed handle stays invalid.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace disc {

template <class T>
class HandleTable {
public:
    explicit HandleTable(uint32_t kind) : kind_(kind << 28) {}

    uint32_t add(std::shared_ptr<T> object) {
        static std::atomic<uint32_t> counter {1};
        uint32_t handle = kind_ | (counter++ & 0x0FFFFFFFu);
        std::lock_guard<std::mutex> lock(mutex_);
        items_.emplace(handle, std::move(object));
        return handle;
    }

    std::shared_ptr<T> get(uint32_t handle) const {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = items_.find(handle);
        return it == items_.end() ? nullptr : it->second;
    }

    bool remove(uint32_t handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.erase(handle) != 0;
    }

    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.clear();
    }

    bool owns(uint32_t handle) const { return (handle & 0xF0000000u) == kind_; }

private:
    uint32_t kind_;
    mutable std::mutex mutex_;
    std::unordered_map<uint32_t, std::shared_ptr<T>> items_;
};

}  // namespace disc
