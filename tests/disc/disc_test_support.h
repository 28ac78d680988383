// Shared fixture of the disc layer's tests: a fresh data folder per test, the
// default drives, and helpers to build and burn trees and run the ISO tools.
#pragma once

#include "disc/disc_layer.h"
#include "disc_call_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace disc_test {

namespace fs = std::filesystem;

using ::Frame;
using ::kCd;
using ::kDvd;

class DiscTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DiscHandle grabber(DiscDeviceAddress a, DiscCallback cb = nullptr, void* ctx = nullptr);
    DiscHandle newTree();
    DiscNodeHandle addFile(DiscHandle tree, DiscNodeHandle parent, const std::string& name, const std::string& data);
    DiscNodeHandle addFolder(DiscHandle tree, DiscNodeHandle parent, const std::string& name);
    std::string writeSource(const std::string& name, const std::string& data);
    // Builds the tree at the drive's next writable address and writes it.
    int burn(DiscHandle g, DiscHandle tree, bool leaveOpen = true, bool test = false, const char* label = "DATA");
    int closeSession(DiscHandle g);
    uint32_t nextWritable(DiscHandle g);
    std::string exportMedium(const std::string& drive);  // path of the .iso
    std::string mediumBytes(const std::string& drive);   // the medium's files
    std::string tool(const std::string& args);           // runs disc_tool

    fs::path root_, data_, sources_;
};

std::string run(const std::string& command, int* status = nullptr);  // stdout of a shell command
std::string md5(const std::string& data);
std::string readFile(const fs::path& p);
// Track starts and kinds of a CUE sheet's disc as cd-info lists them.
std::vector<std::pair<uint32_t, std::string>> cdInfoTracks(const std::string& cue);

}  // namespace disc_test
