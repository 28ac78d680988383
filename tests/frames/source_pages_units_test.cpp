// The source page frame's own parts, without a page: the file dialogs'
// filter, the image files a page deletes, and the frame's answers before a
// page is made.
#include "files.h"
#include "image_files.h"
#include "source_page_frame.h"
#include <com/object.h>
#include <com/ptr.h>
#include <shared/variant_safearray.h>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

TEST(SourcePageFiles, TheFilterListsEachImageTypeAllOfThemAndAllFiles)
{
    EXPECT_EQ("All supported files (*.mds;*.iso)|*.mds;*.iso|MDS image files (*.mds)|*.mds|"
              "ISO image files (*.iso)|*.iso|All files (*.*)|*.*|",
              CCoPelgrave::CreateFilterString());
}

TEST(SourcePageFiles, AnImageSetIsXmfOrXmWithDigitsOnly)
{
    const struct {
        const char* extension;
        bool inSet;
    } cases[] = {{"xm0", true}, {"xm12", true}, {"XM3", true}, {"xmf", true}, {"XMF", true}, {"xml", false},
                 {"xm", false}, {"xm1a", false}, {"xmff", false}, {"mds", false}, {"x0", false}};
    for (const auto& c : cases) EXPECT_EQ(c.inSet, IsImageSetExtension(c.extension)) << c.extension;
    EXPECT_EQ("C:\\images\\x.mds", AsDescriptorPath("C:\\images\\x.iso"));
    EXPECT_EQ("C:\\images\\x.mds", AsDescriptorPath("C:\\images\\x.mds"));
    EXPECT_EQ("C:\\images\\x.y.mds", AsDescriptorPath("C:\\images\\x.y.z"));
    EXPECT_EQ("", AsDescriptorPath(""));
}

std::vector<std::string> FilesIn(const TempFolder& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SourcePageFiles, DeletingAnImageTakesItsSetButNothingElse)
{
    TempFolder folder;
    for (const char* name : {"disc.mds", "disc.xm0", "disc.xm12", "disc.XMF", "disc.xml", "disc.xm1a", "other.xm0",
                             "song.iso", "song.xm0"})
        WriteFileBytes(folder.File(name), "x");
    CreateDirectoryA(folder.File("disc.xm3").c_str(), nullptr);

    DeleteImage(folder.File("disc.mds"));
    EXPECT_EQ((std::vector<std::string>{"disc.xm1a", "disc.xm3", "disc.xml", "other.xm0", "song.iso", "song.xm0"}),
              FilesIn(folder));
    // An .iso goes alone: files beside it that look like a set stay.
    DeleteImage(folder.File("song.iso"));
    EXPECT_EQ((std::vector<std::string>{"disc.xm1a", "disc.xm3", "disc.xml", "other.xm0", "song.xm0"}),
              FilesIn(folder));
    // An empty path deletes nothing, wherever the current folder is.
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA(folder.Path().c_str());
    DeleteImageSet("");
    DeleteImage("");
    SetCurrentDirectoryA(before);
    EXPECT_EQ(5u, FilesIn(folder).size());
    RemoveDirectoryA(folder.File("disc.xm3").c_str());
}

TEST(SourcePageFiles, TemporaryImageFoldersMadeInOneTickAreNeverShared)
{
    std::vector<std::string> folders;
    for (int i = 0; i < 5; ++i) folders.push_back(MakeTemporaryImageFolder());
    for (const std::string& folder : folders) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ('\\', folder.back());
        EXPECT_EQ(1, std::count(folders.begin(), folders.end(), folder)) << folder;
    }
    for (const std::string& folder : folders) EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << folder;
}

// A partner that records nothing: the frame needs one to send to.
class CQuietPartner : public com::ObjectRoot<com::SingleThreadModel>, public ICommandPerformer {
public:
    COM_INTERFACES_BEGIN(CQuietPartner)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()
    STDMETHODIMP SetPartnerNoAddRef(IUnknown*) override { return S_OK; }
    STDMETHODIMP InvokeCommand(IUnknown*, REFCLSID, unsigned int, SAFEARRAY*) override { return S_OK; }
};

TEST(SourcePageFrame, WithoutAPageItAnswersFailAndKeepsTheLastButtonLayout)
{
    com::ComPtr<IUnknown> frame;
    ASSERT_EQ(S_OK, com::CreateObject<CCoPelgrave>(IID_IUnknown, reinterpret_cast<void**>(&frame)));
    com::ComPtr<ICommandPerformer> performer;
    ASSERT_EQ(S_OK, frame.As(IID_ICommandPerformer, &performer));
    com::ComPtr<ICommandPerformer> partner;
    ASSERT_EQ(S_OK, com::CreateObject<CQuietPartner>(IID_ICommandPerformer, reinterpret_cast<void**>(&partner)));
    performer->SetPartnerNoAddRef(partner);

    com::ComPtr<IOwnWindowEx> own;
    ASSERT_EQ(S_OK, frame.As(IID_IOwnWindowEx, &own));
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(E_FAIL, own->GetOwnWindow(&window));
    EXPECT_EQ(nullptr, window);
    EXPECT_EQ(E_INVALIDARG, own->CreateOwnWindowEx(nullptr, 1));

    CVariantSafearray enable(1);
    enable.Create();
    enable.Prepare({{VT_UI4, 1u}});
    for (unsigned id : {PCID_ENABLE_UI, PCID_START, PCID_RESULT, PCID_SOURCE_READY, PCID_ACTIVE_CHANGED_NOTIFY,
                        PCID_CANCEL})
        EXPECT_EQ(E_FAIL, performer->InvokeCommand(partner, GUID_NULL, id, enable)) << id;
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, performer->InvokeCommand(partner, GUID_NULL, 4711, nullptr));
    EXPECT_EQ(E_INVALIDARG, performer->InvokeCommand(nullptr, GUID_NULL, PCID_START, nullptr));

    // A layout sent again replaces the copy it frees.
    for (unsigned width : {90u, 120u}) {
        CVariantSafearray layout(4);
        layout.Create();
        layout.Prepare({{VT_UI4, 14u}, {VT_UI4, 14u}, {VT_UI4, width}, {VT_UI4, 28u}});
        EXPECT_EQ(S_OK, performer->InvokeCommand(partner, GUID_NULL, PCID_SET_BUTTONS_POS, layout));
    }
    long modified = 1;
    com::ComPtr<ILoadSave> loadSave;
    ASSERT_EQ(S_OK, frame.As(IID_ILoadSave, &loadSave));
    EXPECT_EQ(S_OK, loadSave->GetModified(&modified));
    EXPECT_EQ(0, modified);
    EXPECT_EQ(E_POINTER, loadSave->GetModified(nullptr));
}

}  // namespace
