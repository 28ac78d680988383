// CISOTree: the disc layer's ISO tree behind one engine file tree, with the
// lock that every operation on the tree or its nodes holds. The file tree
// and each of its node objects share it, so the layer's tree lives until the
// last of them is gone.
#pragma once
#include <disc/disc_layer.h>
#include <com/lock.h>
#include <memory>

class CISOTree {
public:
    // Null when the layer makes no tree (it is not started).
    static std::shared_ptr<CISOTree> Create();
    ~CISOTree();
    CISOTree(const CISOTree&) = delete;
    CISOTree& operator=(const CISOTree&) = delete;

    DiscHandle Handle() const { return m_handle; }
    com::CriticalSection& Lock() { return m_lock; }

    // The frame of the layer's calls that report a failure; the result of
    // the last add, build and import stays in m_result.
    char m_text[1024] = "";
    uint32_t m_systemError = 0;
    int m_result = DISC_OK;

private:
    CISOTree() = default;
    DiscHandle m_handle = 0;
    com::CriticalSection m_lock;
};

// What a node object names: a node of one tree (null when it names nothing).
struct ISONodeRef {
    std::shared_ptr<CISOTree> tree;
    DiscNodeHandle node = 0;
};
