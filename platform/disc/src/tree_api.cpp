// The C interface of ISO 9660 + Joliet trees.
#include "call_frame.h"
#include "disc/disc_layer.h"
#include "disc_library.h"
#include "iso_image.h"
#include "iso_reader.h"
#include "medium_reader.h"
#include "os_seam.h"
#include "progress_reporter.h"

#include <cstring>

using namespace disc;

namespace {

constexpr size_t kNameField = 260;

std::shared_ptr<IsoTree> treeOf(DiscHandle handle) {
    auto lib = DiscLibrary::current();
    return lib ? lib->trees.get(handle) : nullptr;
}

void copyField(char* out, const std::string& text) {
    if (!out) return;
    std::strncpy(out, text.c_str(), kNameField - 1);
    out[kNameField - 1] = '\0';
}

// Reads the medium's cooked view; blocks past its files read as zeros.
class MediumSectorReader : public SectorReader {
public:
    MediumSectorReader(MediumReader& reader, uint32_t limit) : reader_(reader), limit_(limit) {}
    uint32_t limit() const override { return limit_; }
    bool read(uint32_t lba, uint32_t count, uint8_t* out) override {
        return uint64_t(lba) + count <= limit_ && !reader_.cooked(lba, count, out);
    }

private:
    MediumReader& reader_;
    uint32_t limit_;
};

// Builds under the tree's lock, letting go of it for each callback; the
// building flag keeps the tree unchanged meanwhile.
Error buildTree(IsoTree& t, uint32_t start, const VolumeTexts& texts) {
    ProgressReporter reporter(t.callback, t.context);
    std::unique_lock<std::mutex> lock(t.mutex());
    if (t.building) return fail(DISC_E_BUSY, "the tree is being built");
    struct Building {
        IsoTree& t;
        explicit Building(IsoTree& tree) : t(tree) { t.building = true; }
        ~Building() { t.building = false; }
    };
    const uint32_t total = static_cast<uint32_t>(t.nodeCount());
    uint32_t blocks = 0;
    {
        Building building(t);
        lock.unlock();
        reporter.analyzeBegin();
        lock.lock();
        auto progress = [&](uint32_t laidOut, uint32_t nodes) {
            if (!reporter.due(false)) return;
            lock.unlock();
            reporter.treeProgress(nodes, laidOut);
            lock.lock();
        };
        auto image = std::make_shared<IsoImage>();
        if (Error e = buildIsoImage(t, start, texts, os::nowSeconds(), *image, progress)) return e;
        blocks = image->blocks;
        t.image = std::move(image);
        t.imageVersion = t.version();
    }
    lock.unlock();
    reporter.due(true);
    reporter.treeProgress(total, total);
    reporter.targetSize(start, blocks);
    return {};
}

Error importSession(DiscLibrary& lib, Grabber& g, IsoTree& tree, uint32_t trackNumber) {
    Drive& d = *g.drive;
    if (!d.beginJob()) return fail(DISC_E_BUSY, "the drive is busy");
    struct End { Drive& d; ~End() { d.endJob(); } } end {d};
    Medium medium;
    {
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
        medium = *m;
    }
    const Track* first = medium.sessionStartTrack(trackNumber);
    if (!first) return fail(DISC_E_NO_TRACK, "no written track " + std::to_string(trackNumber));
    if (first->mode != 4) return fail(DISC_E_BAD_FORMAT, "not a data track");
    MediumReader mediumReader;
    if (Error e = mediumReader.open(lib.folder(), d.name(), medium)) return e;
    MediumSectorReader reader(mediumReader, medium.usedEnd());
    ImportedEntry root;
    if (Error e = readIsoSession(reader, first->start, root)) return e;
    std::lock_guard<std::mutex> lock(tree.mutex());
    if (tree.building) return fail(DISC_E_BUSY, "the tree is being built");
    addImportedEntries(tree, root);
    tree.origin = ImportOrigin {true, medium.serial, medium.generation};
    return {};
}

}  // namespace

extern "C" {

int IsoTree_Create(DiscHandle* tree, char* text, uint32_t textSize, uint32_t* systemError, DiscCallback callback,
                   void* context, uint32_t bootRecord, uint32_t rockRidge, uint32_t joliet, uint32_t) {
    CallFrame frame {DISC_OP_TREE_CREATE, text, textSize, systemError, nullptr};
    if (!tree) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "no handle to fill"));
    *tree = 0;
    auto lib = DiscLibrary::current();
    if (!lib) return frame.finish(fail(DISC_E_NOT_STARTED, "the disc layer is not started"));
    if (bootRecord || rockRidge) return frame.finish(fail(DISC_E_NOT_SUPPORTED, "no boot record or Rock Ridge"));
    auto t = std::make_shared<IsoTree>(joliet != 0);
    t->callback = callback;
    t->context = context;
    *tree = lib->trees.add(std::move(t));
    return frame.finish({});
}

DiscNodeHandle IsoTree_GetRoot(DiscHandle tree) {
    auto t = treeOf(tree);
    return t ? t->root() : 0;
}

DiscNodeHandle IsoTree_GetFirstKid(DiscHandle tree, DiscNodeHandle parent) {
    auto t = treeOf(tree);
    if (!t) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    const IsoNode* p = t->findFolder(parent);
    return p ? p->firstKid : 0;
}

DiscNodeHandle IsoTree_GetNextKid(DiscHandle tree, DiscNodeHandle parent, DiscNodeHandle child) {
    auto t = treeOf(tree);
    if (!t) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    const IsoNode* c = t->find(child);
    return c && c->parent == parent ? c->next : 0;
}

DiscNodeHandle IsoTree_FindKid(DiscHandle tree, DiscNodeHandle parent, const char* name) {
    auto t = treeOf(tree);
    std::u16string joliet;
    if (!t || !name || !os::ansiToUcs2(name, joliet)) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    return t->findKid(parent, joliet);
}

int IsoTree_Add(DiscHandle tree, char* text, uint32_t textSize, uint32_t* systemError, const char* sourcePath,
                const char* name, uint32_t flags, DiscNodeHandle parent, DiscNodeHandle* node) {
    CallFrame frame {DISC_OP_TREE_ADD, text, textSize, systemError, nullptr};
    if (node) *node = 0;
    auto t = treeOf(tree);
    if (!t) return frame.finish(fail(DISC_E_INVALID_HANDLE, "not a tree handle"));
    if (!node || flags) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "bad arguments"));
    std::string source = sourcePath ? sourcePath : "", given = name ? name : "";
    std::lock_guard<std::mutex> lock(t->mutex());
    uint32_t id = 0;
    Error e = source.empty() ? t->addFolder(parent, given, id) : t->addFile(parent, source, given, id);
    if (!e) *node = id;
    return frame.finish(e);
}

int IsoTree_Remove(DiscHandle tree, DiscNodeHandle* node, uint32_t) {
    auto t = treeOf(tree);
    if (!t || !node) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    if (!t->remove(*node)) return 0;
    *node = 0;
    return 1;
}

int IsoTree_Rename(DiscHandle tree, DiscNodeHandle node, const char*, const char* name, const char*) {
    auto t = treeOf(tree);
    if (!t || !name) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    return t->rename(node, name).ok() ? 1 : 0;
}

int IsoTree_GetName(DiscHandle tree, DiscNodeHandle node, char* isoName, char* name, char* sourcePath) {
    auto t = treeOf(tree);
    if (!t) return DISC_E_INVALID_HANDLE;
    std::lock_guard<std::mutex> lock(t->mutex());
    const IsoNode* n = t->find(node);
    if (!n) return DISC_E_INVALID_HANDLE;
    copyField(isoName, n->isoName);
    copyField(name, n->name);
    copyField(sourcePath, n->source);
    return DISC_OK;
}

int IsoTree_GetAttributes(DiscHandle tree, DiscNodeHandle node, uint32_t* attributes) {
    auto t = treeOf(tree);
    if (!t) return DISC_E_INVALID_HANDLE;
    if (!attributes) return DISC_E_INVALID_ARGUMENT;
    std::lock_guard<std::mutex> lock(t->mutex());
    const IsoNode* n = t->find(node);
    if (!n) return DISC_E_INVALID_HANDLE;
    *attributes = (n->folder ? 0x10u : 0x80u) | (n->imported ? 0x01u : 0u);
    return DISC_OK;
}

int IsoTree_GetSize(DiscHandle tree, DiscNodeHandle node, uint64_t* size) {
    auto t = treeOf(tree);
    if (!t) return DISC_E_INVALID_HANDLE;
    if (!size) return DISC_E_INVALID_ARGUMENT;
    std::lock_guard<std::mutex> lock(t->mutex());
    const IsoNode* n = t->find(node);
    if (!n) return DISC_E_INVALID_HANDLE;
    *size = n->folder ? 0 : n->size;
    return DISC_OK;
}

int IsoTree_Build(DiscHandle tree, char* text, uint32_t textSize, uint32_t* systemError, uint32_t startAddress,
                  uint32_t, uint32_t, const char* volumeLabel, const char* publisher, const char* application) {
    CallFrame frame {DISC_OP_TREE_BUILD, text, textSize, systemError, nullptr};
    auto t = treeOf(tree);
    if (!t) return frame.finish(fail(DISC_E_INVALID_HANDLE, "not a tree handle"));
    VolumeTexts texts {volumeLabel ? volumeLabel : "", publisher ? publisher : "", application ? application : ""};
    return frame.finish(buildTree(*t, startAddress, texts));
}

uint32_t IsoTree_GetImageSize(DiscHandle tree, uint32_t* high) {
    if (high) *high = 0;
    auto t = treeOf(tree);
    if (!t) return 0;
    std::lock_guard<std::mutex> lock(t->mutex());
    uint64_t bytes = t->image ? uint64_t(t->image->blocks) * 2048 : 0;
    if (high) *high = static_cast<uint32_t>(bytes >> 32);
    return static_cast<uint32_t>(bytes);
}

int IsoTree_ImportSession(DiscHandle grabber, DiscHandle tree, uint32_t trackNumber, uint32_t, char* text,
                          uint32_t textSize, uint32_t* systemError) {
    CallFrame frame {DISC_OP_TREE_IMPORT, text, textSize, systemError, nullptr};
    auto lib = DiscLibrary::current();
    if (!lib) return frame.finish(fail(DISC_E_NOT_STARTED, "the disc layer is not started"));
    auto g = lib->grabbers.get(grabber);
    auto t = lib->trees.get(tree);
    if (!g || !t) return frame.finish(fail(DISC_E_INVALID_HANDLE, "bad grabber or tree handle"));
    lib->sync();
    return frame.finish(importSession(*lib, *g, *t, trackNumber));
}

}  // extern "C"
