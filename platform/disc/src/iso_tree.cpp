#include "iso_tree.h"

#include "iso_names.h"
#include "os_seam.h"

#include <atomic>

namespace disc {

namespace {

// Node identifiers are unique in the process, so a node of one tree never
// names a node of another, and a removed node's identifier is never reused.
uint32_t newNodeId() {
    static std::atomic<uint32_t> next {1};
    return 0x30000000u | (next++ & 0x0FFFFFFFu);
}

}  // namespace

IsoTree::IsoTree(bool joliet) : joliet_(joliet) {
    IsoNode root;
    root.folder = true;
    root.modified = os::nowSeconds();
    root_ = link(0, std::move(root));
}

const IsoNode* IsoTree::find(uint32_t id) const {
    auto it = nodes_.find(id);
    return it == nodes_.end() ? nullptr : &it->second;
}

const IsoNode* IsoTree::findFolder(uint32_t id) const {
    const IsoNode* n = find(id);
    return n && n->folder ? n : nullptr;
}

uint32_t IsoTree::findKid(uint32_t folder, const std::u16string& joliet) const {
    const IsoNode* f = findFolder(folder);
    if (!f) return 0;
    auto it = f->index.find(iso::foldedName(joliet));
    return it == f->index.end() ? 0 : it->second;
}

Error IsoTree::checkChangeable(uint32_t folder, const IsoNode*& out) const {
    if (building) return fail(DISC_E_BUSY, "the tree is being built");
    out = findFolder(folder);
    if (!out) return fail(DISC_E_INVALID_HANDLE, "the parent is not a folder of this tree");
    return {};
}

Error IsoTree::checkNewName(const IsoNode& folder, const std::string& name, std::u16string& joliet,
                            uint32_t except) const {
    if (Error e = iso::jolietName(name, joliet)) return e;
    auto it = folder.index.find(iso::foldedName(joliet));
    if (it != folder.index.end() && it->second != except)
        return fail(DISC_E_DUPLICATE_NAME, "a sibling already has the name " + name);
    return {};
}

uint32_t IsoTree::link(uint32_t parent, IsoNode node) {
    node.id = newNodeId();
    node.parent = parent;
    uint32_t id = node.id;
    auto folded = iso::foldedName(node.joliet);
    nodes_.emplace(id, std::move(node));
    if (parent) {
        IsoNode& p = nodes_.at(parent);
        IsoNode& n = nodes_.at(id);
        n.prev = p.lastKid;
        if (p.lastKid) nodes_.at(p.lastKid).next = id;
        else p.firstKid = id;
        p.lastKid = id;
        p.index.emplace(std::move(folded), id);
    }
    ++version_;
    return id;
}

void IsoTree::unlink(IsoNode& node) {
    IsoNode& p = nodes_.at(node.parent);
    if (node.prev) nodes_.at(node.prev).next = node.next;
    else p.firstKid = node.next;
    if (node.next) nodes_.at(node.next).prev = node.prev;
    else p.lastKid = node.prev;
    p.index.erase(iso::foldedName(node.joliet));
    node.prev = node.next = 0;
}

Error IsoTree::addFile(uint32_t parent, const std::string& source, const std::string& name, uint32_t& id) {
    const IsoNode* folder = nullptr;
    if (Error e = checkChangeable(parent, folder)) return e;
    IsoNode node;
    node.name = name.empty() ? os::fileName(source) : name;
    if (Error e = checkNewName(*folder, node.name, node.joliet, 0)) return e;
    os::File file;
    if (uint32_t err = file.openRead(source)) return fail(DISC_E_FILE, "cannot open " + source, err);
    os::FileInfo info;
    if (uint32_t err = file.info(info)) return fail(DISC_E_FILE, "cannot read " + source, err);
    if (info.directory) return fail(DISC_E_FILE, "a folder is not a file: " + source, os::kErrAccessDenied);
    node.source = source;
    node.size = info.size;
    node.modified = info.modified;
    id = link(parent, std::move(node));
    return {};
}

Error IsoTree::addFolder(uint32_t parent, const std::string& name, uint32_t& id) {
    const IsoNode* folder = nullptr;
    if (Error e = checkChangeable(parent, folder)) return e;
    IsoNode node;
    node.folder = true;
    node.name = name;
    node.modified = os::nowSeconds();
    if (Error e = checkNewName(*folder, name, node.joliet, 0)) return e;
    id = link(parent, std::move(node));
    return {};
}

Error IsoTree::addImported(uint32_t parent, IsoNode node, uint32_t& id) {
    const IsoNode* folder = nullptr;
    if (Error e = checkChangeable(parent, folder)) return e;
    if (Error e = checkNewName(*folder, node.name, node.joliet, 0)) return e;
    node.imported = true;
    id = link(parent, std::move(node));
    return {};
}

void IsoTree::eraseSubtree(uint32_t id) {
    std::vector<uint32_t> pending {id};
    while (!pending.empty()) {
        uint32_t cur = pending.back();
        pending.pop_back();
        auto it = nodes_.find(cur);
        for (uint32_t k = it->second.firstKid; k; k = nodes_.at(k).next) pending.push_back(k);
        nodes_.erase(it);
    }
}

bool IsoTree::remove(uint32_t id) {
    auto it = nodes_.find(id);
    if (building || it == nodes_.end() || id == root_) return false;
    unlink(it->second);
    eraseSubtree(id);
    ++version_;
    return true;
}

Error IsoTree::rename(uint32_t id, const std::string& name) {
    auto it = nodes_.find(id);
    if (building) return fail(DISC_E_BUSY, "the tree is being built");
    if (it == nodes_.end() || id == root_) return fail(DISC_E_INVALID_HANDLE, "no such node");
    IsoNode& node = it->second;
    IsoNode& parent = nodes_.at(node.parent);
    std::u16string joliet;
    if (Error e = checkNewName(parent, name, joliet, id)) return e;
    parent.index.erase(iso::foldedName(node.joliet));
    node.name = name;
    node.joliet = joliet;
    parent.index.emplace(iso::foldedName(joliet), id);
    ++version_;
    return {};
}

std::vector<uint32_t> IsoTree::kids(uint32_t folder) const {
    std::vector<uint32_t> out;
    const IsoNode* f = findFolder(folder);
    for (uint32_t k = f ? f->firstKid : 0; k; k = nodes_.at(k).next) out.push_back(k);
    return out;
}

void IsoTree::setIsoName(uint32_t id, const std::string& isoName) {
    auto it = nodes_.find(id);
    if (it != nodes_.end()) it->second.isoName = isoName;
}

}  // namespace disc
