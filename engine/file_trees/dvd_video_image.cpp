#include "file_trees/dvd_video_image.h"
#include "devices/grabber.h"
#include <windows.h>
#include <atomic>
#include <set>

namespace {

// The order a player wants the files in; the last pattern takes the rest.
const char* const FILL_ORDER[] = {"video_ts.ifo", "video_ts.vob", "video_ts.bup", "vts_*.ifo",
                                  "vts_*.vob",    "vts_*.bup",    "*.*"};

std::string WithoutTrailingBackslashes(std::string path)
{
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Names compared as the file system does: without regard to case.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

}  // namespace

uint32_t CDvdVideoImage::NextNodeNumber()
{
    static std::atomic<uint32_t> counter{0};
    return ++counter;
}

DVD_IMAGE_ERROR CDvdVideoImage::Build(const std::string& folder)
{
    Free();
    const std::string base = WithoutTrailingBackslashes(folder);
    const std::string video = base + "\\VIDEO_TS", audio = base + "\\AUDIO_TS";
    if (!IsFolder(video)) return DVD_IMAGE_NO_VIDEO_TS;
    if (!IsFolder(audio)) return DVD_IMAGE_NO_AUDIO_TS;
    const DiscHandle root = AddFolder("", 0);
    const DiscHandle videoNode = root ? AddFolder("VIDEO_TS", root) : 0;
    const DiscHandle audioNode = root ? AddFolder("AUDIO_TS", root) : 0;
    if (!videoNode || !audioNode || !Fill(videoNode, video) || !Fill(audioNode, audio)) return DVD_IMAGE_FILL_FAILED;
    char text[1024] = "";
    uint32_t systemError = 0;
    if (LogDiscFailure(UdfTree_BuildImage(&m_image, text, sizeof(text), &systemError, root, videoNode, audioNode,
                                          "VideoDVD"),
                       DISC_OP_UDF_BUILD, text) != DISC_OK) {
        m_image = 0;
        return DVD_IMAGE_BUILD_FAILED;
    }
    return DVD_IMAGE_OK;
}

uint64_t CDvdVideoImage::Size() const
{
    uint32_t high = 0;
    const uint32_t low = IsoTree_GetImageSize(m_image, &high);
    return uint64_t(high) << 32 | low;
}

void CDvdVideoImage::Free()
{
    if (m_image) UdfTree_FreeImage(&m_image);
    m_image = 0;
    for (auto node = m_nodes.rbegin(); node != m_nodes.rend(); ++node) UdfTree_FreeNode(&*node, 1);
    m_nodes.clear();
}

DiscHandle CDvdVideoImage::AddFolder(const std::string& name, DiscHandle parent)
{
    char text[1024] = "";
    uint32_t systemError = 0;
    DiscHandle node = 0;
    if (LogDiscFailure(UdfTree_AddFolder(&node, text, sizeof(text), &systemError, NextNodeNumber(), name.c_str(),
                                         parent),
                       DISC_OP_UDF_ADD_FOLDER, text) != DISC_OK)
        return 0;
    m_nodes.push_back(node);
    return node;
}

bool CDvdVideoImage::Fill(DiscHandle node, const std::string& folder)
{
    std::set<std::string, NoCaseLess> added;
    for (const char* pattern : FILL_ORDER) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) continue;
        bool ok = true;
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == ".." || !added.insert(name).second) continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                const DiscHandle sub = AddFolder(name, node);
                ok = sub && Fill(sub, path);
            } else {
                char text[1024] = "";
                uint32_t systemError = 0;
                DiscHandle file = 0;
                ok = LogDiscFailure(UdfTree_AddFile(&file, text, sizeof(text), &systemError, NextNodeNumber(),
                                                    name.c_str(), path.c_str(), node),
                                    DISC_OP_UDF_ADD_FILE, text) == DISC_OK;
                if (ok) m_nodes.push_back(file);
            }
        } while (ok && FindNextFileA(find, &found));
        FindClose(find);
        if (!ok) return false;
    }
    return true;
}
