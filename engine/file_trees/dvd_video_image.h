// The image of a DVD-Video disc: a UDF tree of the disc layer built from
// the VIDEO_TS and AUDIO_TS folders of a source folder, in the order a
// player reads them. In each folder the entries are added VIDEO_TS.IFO,
// VIDEO_TS.VOB, VIDEO_TS.BUP first, then the title sets' IFO, VOB and BUP
// files, then everything else; the layer lays the files out in that order.
//
//   CDvdVideoImage image;
//   if (image.Build("D:\\movie\\") == DVD_IMAGE_OK)
//       grabber.TrackAtOnceFromTree(image.Handle(), ...);
#pragma once
#include <disc/disc_layer.h>
#include <string>
#include <vector>

enum DVD_IMAGE_ERROR {
    DVD_IMAGE_OK = 0,
    DVD_IMAGE_NO_VIDEO_TS = 1,  // VIDEO_TS missing or no folder
    DVD_IMAGE_NO_AUDIO_TS = 2,  // AUDIO_TS missing or no folder
    DVD_IMAGE_FILL_FAILED = 3,  // a folder or file could not be added
    DVD_IMAGE_BUILD_FAILED = 4  // the layer's build failed
};

class CDvdVideoImage {
public:
    CDvdVideoImage() = default;
    ~CDvdVideoImage() { Free(); }
    CDvdVideoImage(const CDvdVideoImage&) = delete;
    CDvdVideoImage& operator=(const CDvdVideoImage&) = delete;

    // Builds the image of `folder` (trailing backslashes aside) with the
    // volume name "VideoDVD"; a second build starts from nothing.
    DVD_IMAGE_ERROR Build(const std::string& folder);
    DiscHandle Handle() const { return m_image; }
    uint64_t Size() const;
    void Free();

    // The next node number of the process: every folder and file of every
    // tree takes one, whichever drive's job builds it.
    static uint32_t NextNodeNumber();

private:
    DiscHandle AddFolder(const std::string& name, DiscHandle parent);
    bool Fill(DiscHandle node, const std::string& folder);

    std::vector<DiscHandle> m_nodes;  // in the order made; freed backwards
    DiscHandle m_image = 0;
};
