// The node numbers of DVD-Video trees: two drives build their trees at
// once, and no number is handed out twice.
#include <gtest/gtest.h>
#include "file_trees/dvd_video_image.h"
#include <algorithm>
#include <thread>
#include <vector>

TEST(DvdVideoImage, NodeNumbersStayUniqueWhenTwoThreadsTakeThemAtOnce)
{
    const size_t perThread = 200000;
    std::vector<uint32_t> first(perThread), second(perThread);
    auto take = [](std::vector<uint32_t>* numbers) {
        for (uint32_t& n : *numbers) n = CDvdVideoImage::NextNodeNumber();
    };
    std::thread a(take, &first), b(take, &second);
    a.join();
    b.join();
    std::vector<uint32_t> all(first);
    all.insert(all.end(), second.begin(), second.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all.end(), std::adjacent_find(all.begin(), all.end()));
    EXPECT_EQ(all.back() - all.front() + 1, all.size()) << "the numbers run on without gaps";
}
