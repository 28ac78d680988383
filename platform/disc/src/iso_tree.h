// The folders and files of a data disc until its image is built. Each folder
// keeps its children in insertion order (a linked list, so walking and removal
// are cheap) and an index by case-folded Joliet name for look-ups.
#pragma once

#include "disc/disc_layer.h"
#include "error.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace disc {

struct IsoImage;

struct Extent {
    uint32_t lba = 0;
    uint64_t size = 0;
};

struct IsoNode {
    uint32_t id = 0, parent = 0, firstKid = 0, lastKid = 0, prev = 0, next = 0;
    bool folder = false;
    std::string name;            // as given, code-page text
    std::u16string joliet;       // its UCS-2 form
    std::string source;          // file added from disk
    uint64_t size = 0;           // bytes, files only
    int64_t modified = 0;        // seconds since 1970
    bool imported = false;       // came from an earlier session
    std::vector<Extent> extents; // imported files keep their sections
    std::string isoName;         // primary identifier of the last build
    std::unordered_map<std::u16string, uint32_t> index;  // folded name -> child
};

// Where an imported tree came from: a write to any other medium, or to this
// one after an erase, would reference blocks that are not there.
struct ImportOrigin {
    bool imported = false;
    uint64_t serial = 0;
    uint32_t generation = 0;
};

class IsoTree {
public:
    explicit IsoTree(bool joliet);

    std::mutex& mutex() { return mutex_; }

    uint32_t root() const { return root_; }
    const IsoNode* find(uint32_t id) const;
    const IsoNode* findFolder(uint32_t id) const;
    uint32_t findKid(uint32_t folder, const std::u16string& joliet) const;  // case-insensitive

    Error addFile(uint32_t parent, const std::string& source, const std::string& name, uint32_t& id);
    Error addFolder(uint32_t parent, const std::string& name, uint32_t& id);
    Error addImported(uint32_t parent, IsoNode node, uint32_t& id);
    bool remove(uint32_t id);
    Error rename(uint32_t id, const std::string& name);
    std::vector<uint32_t> kids(uint32_t folder) const;
    void setIsoName(uint32_t id, const std::string& isoName);

    bool joliet() const { return joliet_; }
    uint64_t version() const { return version_; }  // rises with every change
    size_t nodeCount() const { return nodes_.size(); }

    ImportOrigin origin;
    std::shared_ptr<const IsoImage> image;  // the last build
    uint64_t imageVersion = 0;              // version() it was built from
    DiscCallback callback = nullptr;
    void* context = nullptr;
    // A build runs and has let go of the lock for a callback: the tree may be
    // read but not changed.
    bool building = false;

private:
    Error checkChangeable(uint32_t folder, const IsoNode*& out) const;
    Error checkNewName(const IsoNode& folder, const std::string& name, std::u16string& joliet,
                       uint32_t except) const;
    uint32_t link(uint32_t parent, IsoNode node);
    void unlink(IsoNode& node);
    void eraseSubtree(uint32_t id);

    std::mutex mutex_;
    bool joliet_;
    uint32_t root_ = 0;
    uint64_t version_ = 0;
    std::unordered_map<uint32_t, IsoNode> nodes_;
};

}  // namespace disc
