// The C interface of UDF trees and DVD-Video images.
#include "call_frame.h"
#include "disc/disc_layer.h"
#include "disc_library.h"
#include "grabber_call.h"
#include "os_seam.h"

using namespace disc;

namespace {

std::u16string folded(const std::string& name) {
    std::u16string u;
    if (!os::ansiToUcs2(name, u)) u.assign(name.begin(), name.end());
    for (char16_t& c : u) c = os::foldCase(c);
    return u;
}

// Adds a node under `parent` (or as a root) and hands out its handle.
Error add(DiscHandle* handle, std::shared_ptr<UdfNode> node, DiscHandle parent) {
    auto lib = DiscLibrary::current();
    if (!lib) return notStarted();
    if (!handle) return fail(DISC_E_INVALID_ARGUMENT, "no handle to fill");
    *handle = 0;
    if (node->name.empty() && parent) return fail(DISC_E_BAD_NAME, "a node needs a name");
    if (node->name.find_first_of("/\\") != std::string::npos) return fail(DISC_E_BAD_NAME, "a name holds no path");
    if (parent) {
        auto p = lib->udfNodes.get(parent);
        if (!p || !p->folder) return fail(DISC_E_INVALID_HANDLE, "the parent is no folder node");
        for (const auto& k : p->kids)
            if (folded(k->name) == folded(node->name)) return fail(DISC_E_DUPLICATE_NAME, node->name + " is there");
        node->hasParent = true;
        p->kids.push_back(node);
    }
    *handle = lib->udfNodes.add(std::move(node));
    return {};
}

}  // namespace

extern "C" {

int UdfTree_AddFolder(DiscHandle* node, char* text, uint32_t textSize, uint32_t* systemError, uint32_t nodeNumber,
                      const char* name, DiscHandle parent) {
    CallFrame frame {DISC_OP_UDF_ADD_FOLDER, text, textSize, systemError, nullptr};
    auto n = std::make_shared<UdfNode>();
    n->number = nodeNumber;
    n->name = name ? name : "";
    n->folder = true;
    return frame.finish(add(node, std::move(n), parent));
}

int UdfTree_AddFile(DiscHandle* node, char* text, uint32_t textSize, uint32_t* systemError, uint32_t nodeNumber,
                    const char* name, const char* sourcePath, DiscHandle parent) {
    CallFrame frame {DISC_OP_UDF_ADD_FILE, text, textSize, systemError, nullptr};
    if (node) *node = 0;
    if (!sourcePath || !*sourcePath || !parent) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "no source or parent"));
    os::File f;
    if (uint32_t err = f.openRead(sourcePath)) return frame.finish(fail(DISC_E_FILE, std::string("cannot open ") + sourcePath, err));
    os::FileInfo info;
    if (uint32_t err = f.info(info)) return frame.finish(fail(DISC_E_FILE, std::string("cannot read ") + sourcePath, err));
    auto n = std::make_shared<UdfNode>();
    n->number = nodeNumber;
    n->name = name && *name ? name : os::fileName(sourcePath);
    n->source = sourcePath;
    n->size = info.size;
    n->modified = info.modified;
    return frame.finish(add(node, std::move(n), parent));
}

int UdfTree_FreeNode(DiscHandle* node, uint32_t) {
    auto lib = DiscLibrary::current();
    if (!lib) return DISC_E_NOT_STARTED;
    if (!node || !lib->udfNodes.remove(*node)) return DISC_E_INVALID_HANDLE;
    *node = 0;
    return DISC_OK;
}

int UdfTree_BuildImage(DiscHandle* image, char* text, uint32_t textSize, uint32_t* systemError, DiscHandle root,
                       DiscHandle videoTs, DiscHandle audioTs, const char* volumeName) {
    CallFrame frame {DISC_OP_UDF_BUILD, text, textSize, systemError, nullptr};
    auto lib = DiscLibrary::current();
    if (!lib) return frame.finish(notStarted());
    if (!image) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "no handle to fill"));
    *image = 0;
    auto r = lib->udfNodes.get(root), v = lib->udfNodes.get(videoTs), a = lib->udfNodes.get(audioTs);
    if (!r || !v || !a || !r->folder || r->hasParent) return frame.finish(fail(DISC_E_INVALID_HANDLE, "not a root and its folders"));
    auto under = [&](const std::shared_ptr<UdfNode>& n) {
        for (const auto& k : r->kids)
            if (k == n && n->folder) return true;
        return false;
    };
    if (!under(v) || !under(a)) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "VIDEO_TS and AUDIO_TS must be folders of the root"));
    auto img = std::make_shared<IsoImage>();
    if (Error e = buildUdfImage(*r, volumeName ? volumeName : "", os::nowSeconds(), *img)) return frame.finish(e);
    auto holder = std::make_shared<IsoTree>(false);
    holder->image = img;
    holder->imageVersion = holder->version();
    *image = lib->trees.add(std::move(holder));
    return frame.finish({});
}

int UdfTree_FreeImage(DiscHandle* image) {
    auto lib = DiscLibrary::current();
    if (!lib) return DISC_E_NOT_STARTED;
    if (!image || !lib->trees.remove(*image)) return DISC_E_INVALID_HANDLE;
    *image = 0;
    return DISC_OK;
}

}  // extern "C"
