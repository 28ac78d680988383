#include "file_trees/iso_file_tree.h"
#include <com/guard.h>
#include "file_trees/iso_file_tree_node.h"
#include "devices/grabber.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <mbstring.h>
#include <vector>

// {27489EC6-74A0-4EF9-BE0D-554FAB51F4D4}
const IID IID_CCoISOFileTree = {0x27489ec6, 0x74a0, 0x4ef9, {0xbe, 0x0d, 0x55, 0x4f, 0xab, 0x51, 0xf4, 0xd4}};

namespace {

const char* const PUBLISHER = "Tavell software";
const char* const APPLICATION = "Tavell Burner";

// An empty text is no text for the layer.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

bool SameName(const char* a, const char* b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

// The names of a path, cut at each backslash character (a backslash byte
// inside a double-byte character does not cut). Backslashes at either end
// give no names; a path of backslashes alone gives one empty name, which no
// node has, so the root is not reachable by path.
std::vector<std::string> PathNames(const std::string& path)
{
    std::vector<std::string> names;
    const unsigned char* text = reinterpret_cast<const unsigned char*>(path.c_str());
    for (const unsigned char* end = _mbschr(text, '\\'); end; text = end + 1, end = _mbschr(text, '\\'))
        names.emplace_back(reinterpret_cast<const char*>(text), static_cast<size_t>(end - text));
    names.emplace_back(reinterpret_cast<const char*>(text));
    size_t first = 0, last = names.size();
    while (first < last && names[first].empty()) ++first;
    while (last > first && names[last - 1].empty()) --last;
    if (first == last) return {std::string()};
    return std::vector<std::string>(names.begin() + static_cast<std::ptrdiff_t>(first),
                                    names.begin() + static_cast<std::ptrdiff_t>(last));
}

// A node argument. Its ISimpleRawPtr is asked for before the tree's lock is
// taken: a node that a client made itself is a proxy, and the question goes
// to the client. Only the engine's node objects answer it.
class NodeArg {
public:
    explicit NodeArg(IFileTreeNode* node)
    {
        if (node) node->QueryInterface(IID_ISimpleRawPtr, reinterpret_cast<void**>(&m_raw));
    }
    // Under the tree's lock: the handle field of a node of `tree` whose entry
    // is still there, else null. The node's tree is compared first, and a
    // node of another tree is asked nothing: two trees that are given each
    // other's nodes never wait for each other's lock.
    DiscNodeHandle* Tested(const std::shared_ptr<CISOTree>& tree) const
    {
        if (!m_raw) return nullptr;
        auto* ref = reinterpret_cast<ISONodeRef*>(m_raw->GetRawPtr());
        if (ref->tree != tree || !ref->node) return nullptr;
        uint32_t attributes = 0;
        return IsoTree_GetAttributes(tree->Handle(), ref->node, &attributes) == DISC_OK ? &ref->node : nullptr;
    }

private:
    com::ComPtr<ISimpleRawPtr> m_raw;
};

}  // namespace

HRESULT CCoISOFileTree::FinalConstruct()
{
    m_tree = CISOTree::Create();
    return m_tree ? S_OK : E_FAIL;
}

STDMETHODIMP CCoISOFileTree::ImportTrack(ITrack* a_pTrack, IDevice* a_pDevice)
{
    return com::Guarded("CCoISOFileTree::ImportTrack", [&]() -> HRESULT {
        if (!a_pTrack || !a_pDevice) return E_INVALIDARG;
        com::ComPtr<IRawPtr> device;
        if (FAILED(a_pDevice->QueryInterface(IID_IRawPtr, reinterpret_cast<void**>(&device)))) return E_FAIL;
        unsigned track = 0;
        if (FAILED(a_pTrack->GetTrackNumber(&track))) return E_FAIL;
        com::AutoLock lock(m_tree->Lock());
        // The device lock is held from LockRawPtr on, also when it lends no
        // grabber: every lock is undone.
        DiscHandle grabber = static_cast<DiscHandle>(device->LockRawPtr());
        struct Unlock {
            IRawPtr* device;
            ~Unlock() { device->UnlockRawPtr(); }
        } unlock{device.Get()};
        return grabber ? ImportSession(grabber, track) : E_FAIL;
    });
}

HRESULT CCoISOFileTree::ImportSession(DiscHandle grabber, unsigned track)
{
    m_tree->m_result = IsoTree_ImportSession(grabber, m_tree->Handle(), track, 1, m_tree->m_text,
                                             sizeof(m_tree->m_text), &m_tree->m_systemError);
    return m_tree->m_result == DISC_OK ? S_OK : E_FAIL;
}

STDMETHODIMP CCoISOFileTree::GetRootNode(IFileTreeNode** a_ppRoot)
{
    return com::Guarded("CCoISOFileTree::GetRootNode", [&]() -> HRESULT {
        if (!a_ppRoot) return E_POINTER;
        com::AutoLock lock(m_tree->Lock());
        return CCoISOFileTreeNode::Create(m_tree, IsoTree_GetRoot(m_tree->Handle()), a_ppRoot);
    });
}

STDMETHODIMP CCoISOFileTree::GetFirstKid(IFileTreeNode* a_pParent, IFileTreeNode** a_ppKid)
{
    return com::Guarded("CCoISOFileTree::GetFirstKid", [&]() -> HRESULT {
        if (!a_ppKid) return E_POINTER;
        *a_ppKid = nullptr;
        NodeArg parentArg(a_pParent);
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle* parent = parentArg.Tested(m_tree);
        if (!parent) return E_FAIL;
        // No child gives a node that is not valid, and still S_OK.
        return CCoISOFileTreeNode::Create(m_tree, IsoTree_GetFirstKid(m_tree->Handle(), *parent), a_ppKid);
    });
}

STDMETHODIMP CCoISOFileTree::GetNextKid(IFileTreeNode* a_pParent, IFileTreeNode* a_pKid,
                                        IFileTreeNode** a_ppNextKid)
{
    return com::Guarded("CCoISOFileTree::GetNextKid", [&]() -> HRESULT {
        if (!a_ppNextKid) return E_POINTER;
        *a_ppNextKid = nullptr;
        NodeArg parentArg(a_pParent), kidArg(a_pKid);
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle* parent = parentArg.Tested(m_tree);
        DiscNodeHandle* kid = kidArg.Tested(m_tree);
        if (!parent || !kid) return E_FAIL;
        DiscNodeHandle next = IsoTree_GetNextKid(m_tree->Handle(), *parent, *kid);
        if (!next) return E_FAIL;
        return CCoISOFileTreeNode::Create(m_tree, next, a_ppNextKid);
    });
}

STDMETHODIMP CCoISOFileTree::Add(IFileTreeNode* a_pParent, BSTR a_bsSourcePathAndName, BSTR a_bsNewName,
                                 IFileTreeNode** a_ppNode)
{
    return com::Guarded("CCoISOFileTree::Add", [&]() -> HRESULT {
        if (!a_ppNode) return E_POINTER;
        *a_ppNode = nullptr;
        const std::string source = com::AnsiFromBstr(a_bsSourcePathAndName);
        const std::string name = com::AnsiFromBstr(a_bsNewName);
        NodeArg parentArg(a_pParent);
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle* parent = parentArg.Tested(m_tree);
        if (!parent) return E_FAIL;
        DiscNodeHandle node = 0;
        m_tree->m_result = IsoTree_Add(m_tree->Handle(), m_tree->m_text, sizeof(m_tree->m_text), &m_tree->m_systemError,
                                       OrNull(source), OrNull(name), 0, *parent, &node);
        if (m_tree->m_result == DISC_E_FILE && m_tree->m_systemError == DISC_SYSERR_SHARING_VIOLATION)
            return SCARD_E_SHARING_VIOLATION;
        if (m_tree->m_result != DISC_OK || !node) return E_FAIL;
        return CCoISOFileTreeNode::Create(m_tree, node, a_ppNode);
    });
}

// The folder's index answers in constant time. A name it finds is taken
// only when the code page's comparison agrees; otherwise the children are
// walked, so the answer is always the walk's: the first child whose name
// the code page's comparison finds equal.
DiscNodeHandle CCoISOFileTree::FindKid(DiscNodeHandle folder, const char* name)
{
    char isoName[260], kidName[260], source[260];
    DiscNodeHandle kid = IsoTree_FindKid(m_tree->Handle(), folder, name);
    if (kid && IsoTree_GetName(m_tree->Handle(), kid, isoName, kidName, source) == DISC_OK && SameName(kidName, name)) {
        // Siblings differ beyond letter case, so no earlier child matches too.
        return kid;
    }
    return WalkKids(folder, name);
}

DiscNodeHandle CCoISOFileTree::WalkKids(DiscNodeHandle folder, const char* name)
{
    char isoName[260], kidName[260], source[260];
    const DiscHandle tree = m_tree->Handle();
    for (DiscNodeHandle kid = IsoTree_GetFirstKid(tree, folder); kid; kid = IsoTree_GetNextKid(tree, folder, kid))
        if (IsoTree_GetName(tree, kid, isoName, kidName, source) == DISC_OK && SameName(kidName, name)) return kid;
    return 0;
}

STDMETHODIMP CCoISOFileTree::GetNodeByPath(IFileTreeNode** a_ppNode, BSTR a_bsNodePathAndName)
{
    return com::Guarded("CCoISOFileTree::GetNodeByPath", [&]() -> HRESULT {
        if (!a_ppNode) return E_POINTER;
        *a_ppNode = nullptr;
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle node = IsoTree_GetRoot(m_tree->Handle());
        if (!node) return E_FAIL;
        const std::string path = com::AnsiFromBstr(a_bsNodePathAndName);
        if (path.empty()) return E_INVALIDARG;
        for (const std::string& name : PathNames(path)) {
            node = FindKid(node, name.c_str());
            if (!node) return E_FAIL;
        }
        return CCoISOFileTreeNode::Create(m_tree, node, a_ppNode);
    });
}

STDMETHODIMP CCoISOFileTree::Remove(IFileTreeNode* a_pNode)
{
    return com::Guarded("CCoISOFileTree::Remove", [&]() -> HRESULT {
        NodeArg nodeArg(a_pNode);
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle* node = nodeArg.Tested(m_tree);
        if (!node) return E_FAIL;
        // The layer clears the node object's handle: that object names nothing now.
        return IsoTree_Remove(m_tree->Handle(), node, 1) == 1 ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoISOFileTree::Rename(IFileTreeNode* a_pNode, BSTR a_bsNewName)
{
    return com::Guarded("CCoISOFileTree::Rename", [&]() -> HRESULT {
        const std::string name = com::AnsiFromBstr(a_bsNewName);
        NodeArg nodeArg(a_pNode);
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle* node = nodeArg.Tested(m_tree);
        if (!node) return E_FAIL;
        return IsoTree_Rename(m_tree->Handle(), *node, "", name.c_str(), "") == 1 ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoISOFileTree::BuildImage()
{
    return com::Guarded("CCoISOFileTree::BuildImage", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        m_tree->m_result = IsoTree_Build(m_tree->Handle(), m_tree->m_text, sizeof(m_tree->m_text),
                                         &m_tree->m_systemError, m_startLBA, 100, 1, m_volumeLabel.c_str(), PUBLISHER,
                                         APPLICATION);
        return m_tree->m_result == DISC_OK ? S_OK : E_FAIL;
    });
}

void CCoISOFileTree::LogBuildFailure()
{
    com::AutoLock lock(m_tree->Lock());
    LogDiscFailure(m_tree->m_result, DISC_OP_TREE_BUILD, m_tree->m_text);
}

// Adds and removes a folder: the layer's tree is then known to take changes.
STDMETHODIMP CCoISOFileTree::Initialize()
{
    return com::Guarded("CCoISOFileTree::Initialize", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        DiscNodeHandle folder = 0;
        if (IsoTree_Add(m_tree->Handle(), m_tree->m_text, sizeof(m_tree->m_text), &m_tree->m_systemError, nullptr,
                        "1", 0, IsoTree_GetRoot(m_tree->Handle()), &folder) == DISC_OK)
            IsoTree_Remove(m_tree->Handle(), &folder, 1);
        return S_OK;
    });
}

STDMETHODIMP CCoISOFileTree::SetStartLBA(unsigned int a_uiStartLBA)
{
    return com::Guarded("CCoISOFileTree::SetStartLBA", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        m_startLBA = a_uiStartLBA;
        return S_OK;
    });
}

// A label that cannot be stored is reported: the image would otherwise
// carry the previous one.
STDMETHODIMP CCoISOFileTree::SetVolumeLabel(BSTR a_bsVolumeLabel)
{
    return com::Guarded("CCoISOFileTree::SetVolumeLabel", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        m_volumeLabel = com::AnsiFromBstr(a_bsVolumeLabel);
        return S_OK;
    });
}

STDMETHODIMP CCoISOFileTree::DoFinalize(unsigned int a_uiDoFinalie)
{
    return com::Guarded("CCoISOFileTree::DoFinalize", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        m_finalize = a_uiDoFinalie;
        return S_OK;
    });
}

STDMETHODIMP CCoISOFileTree::IsDoFinalize()
{
    return com::Guarded("CCoISOFileTree::IsDoFinalize", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        return m_finalize ? S_OK : S_FALSE;
    });
}

STDMETHODIMP CCoISOFileTree::SetBootImage(BSTR a_bsBootImagePath)
{
    return com::Guarded("CCoISOFileTree::SetBootImage", [&]() -> HRESULT {
        com::AutoLock lock(m_tree->Lock());
        m_bootImage = com::AnsiFromBstr(a_bsBootImagePath);
        return S_OK;
    });
}

STDMETHODIMP_(ULONG_PTR) CCoISOFileTree::GetRawPtr()
{
    return m_tree->Handle();
}
