// The disc-copy and image-burn projects with stub frames in place of the
// source page frame and the burning frame (registered in this process under
// their class identifiers): the burn of an image between the pages, the
// page's enabled state passed to both, the burning frame's questions, the
// device relay of the copy and the source page's window mode.
#include "project_fixture.h"
#include "source_projects.h"
#include <frames/source_pages/pelgrave_classes.h>
#include <drubeck.h>
#include <shared/variant_safearray.h>
#include <algorithm>

namespace {

const HRESULT CANCELLED = static_cast<HRESULT>(0x8010006E);

class SourceProjectTest : public ProjectTest {
protected:
    template <class T>
    T* OpenType()
    {
        T* project = static_cast<T*>(Open<T>());
        CommandTrace().clear();
        return project;
    }
    static HRESULT FromBurner(unsigned id, SAFEARRAY* data = nullptr) { return Stubs().burner->Send(id, data); }
    static HRESULT FromSource(unsigned id, SAFEARRAY* data = nullptr) { return Stubs().editor->Send(id, data); }

    // The source page's PCID_SOURCE_READY [UI4 result, BSTR path].
    static HRESULT SourceReady(HRESULT result, const char* path)
    {
        CVariantSafearray data(2);
        data.Create();
        HRESULT hr = data.Prepare({{VT_UI4, static_cast<unsigned long>(result)}, {VT_BSTR, com::Bstr(path).Get()}});
        return SUCCEEDED(hr) ? FromSource(PCID_SOURCE_READY, data) : hr;
    }
    // The burning frame's end: PCID_RESULT [HRESULT].
    static HRESULT BurnEnded(HRESULT result)
    {
        CVariantSafearray data(1);
        data.Create();
        data.Prepare({{VT_HRESULT, static_cast<long>(result)}});
        return FromBurner(PCID_RESULT, data);
    }
    static HRESULT AskNumber(CStubFrame* frame, unsigned id, long* value)
    {
        CVariantSafearray data(1);
        data.Create();
        HRESULT hr = data.Prepare({{VT_I4 | VT_BYREF, value}});
        return SUCCEEDED(hr) ? frame->Send(id, data) : hr;
    }
    static HRESULT AskPath(std::string* path)
    {
        BSTR text = nullptr;
        CVariantSafearray data(1);
        data.Create();
        HRESULT hr = data.Prepare({{VT_BSTR | VT_BYREF, &text}});
        if (SUCCEEDED(hr)) hr = FromBurner(BFCID_GET_ISOIMAGE_PATH, data);
        com::Bstr owned;
        owned.Attach(text);
        *path = owned.Ansi();
        if (SUCCEEDED(hr) && !text) return E_POINTER;
        return hr;
    }
    // The burning frame answers whether its burn was a test write.
    static void BurnerTestWrites(bool test)
    {
        Stubs().burner->script.onCommand = [test](CStubFrame&, unsigned id, SAFEARRAY* data, HRESULT& result) {
            if (id != BFCID_GET_TEST_WRITE) return false;
            long* out = nullptr;
            result = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
            if (SUCCEEDED(result)) *out = test ? 1 : 0;
            return true;
        };
    }

    StubClassRegistration sourceClasses{CLSID_CoPanelCtrl, CLSID_CoPelgrave, CLSID_CoDrubeck};
};

TEST_F(SourceProjectTest, TheImageBurnFlowBetweenThePagesEndsWithBothEnabled)
{
    struct Case {
        const char* name;
        unsigned failSource;   // a command the source page refuses (0: none)
        HRESULT sourceResult;  // what the page reports in PCID_SOURCE_READY
        bool testWrite;        // the burning frame's burn was a test write
        HRESULT burnResult;
        HRESULT requestResult;
        std::vector<std::string> trace;
    } cases[] = {
        {"burned", 0, S_OK, false, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Burner 290 0", "Burner 4599 byref", "Editor 292 0",
          "Editor 288 1", "Burner 288 1"}},
        // A successful test write leaves the page's files alone: no result reaches it.
        {"test write", 0, S_OK, true, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Burner 290 0", "Burner 4599 byref", "Editor 288 1",
          "Burner 288 1"}},
        // A failed burn reaches the page (which cleans up what it owns).
        {"burn failed", 0, S_OK, false, E_FAIL, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Burner 290 0", "Editor 292 2147500037", "Editor 288 1",
          "Burner 288 1"}},
        {"the page failed", 0, E_FAIL, false, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1"}},
        {"the page cancelled", 0, CANCELLED, false, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1"}},
        // A failed start of the source enables both pages again.
        {"the page refuses to start", PCID_START, S_OK, false, S_OK, E_ACCESSDENIED,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetScripts();
        Script(CLSID_StubEditor).offersOwnWindowEx = true;
        if (c.failSource) Script(CLSID_StubEditor).answers[c.failSource] = E_ACCESSDENIED;
        CCoEllidra* project = OpenType<CCoEllidra>();
        ASSERT_NE(nullptr, project);
        BurnerTestWrites(c.testWrite);
        EXPECT_EQ(c.requestResult, FromBurner(PCID_REQUEST_BURN));
        if (SUCCEEDED(c.requestResult)) {
            EXPECT_TRUE(IsWindowVisible(project->FrameWindow(0))) << "the page shows while it works";
            SourceReady(c.sourceResult, "C:\\images\\disc.iso");
        }
        if (SUCCEEDED(c.sourceResult) && !c.failSource) {
            EXPECT_TRUE(IsWindowVisible(project->FrameWindow(1))) << "the burning frame shows while it burns";
            long type = 0;
            EXPECT_EQ(S_OK, AskNumber(Stubs().burner, BFCID_GET_BURN_TYPE, &type));
            EXPECT_EQ(BURN_TYPE_IMAGE, type);
            std::string path;
            EXPECT_EQ(S_OK, AskPath(&path));
            EXPECT_EQ("C:\\images\\disc.iso", path);
            CommandTrace().erase(std::remove_if(CommandTrace().begin(), CommandTrace().end(),
                                                [](const std::string& line) { return line.find("Burner 4097") == 0; }),
                                 CommandTrace().end());
            EXPECT_EQ(S_OK, BurnEnded(c.burnResult));
        }
        EXPECT_EQ(c.trace, CommandTrace());
        EXPECT_EQ(nullptr, project->Routes().BurnFlow().Preparing());
        frame.reset();
        projects.clear();
        CMainFrameStandIn::Pump();
        frame = std::make_unique<CMainFrameStandIn>();
    }
}

TEST_F(SourceProjectTest, TheBurnersCancelDuringTheReadReachesTheSourcePage)
{
    ASSERT_NE(nullptr, OpenType<CCoQuorrel>());
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    EXPECT_EQ(S_OK, FromBurner(PCID_CANCEL));
    EXPECT_EQ(PCID_CANCEL, Stubs().editor->commands.back().id);
    EXPECT_FALSE(Stubs().editor->commands.back().fromProject) << "as the burning frame sent it";
}

TEST_F(SourceProjectTest, QuestionsAndTheEnabledStateAreAnsweredBySender)
{
    CCoQuorrel* copy = OpenType<CCoQuorrel>();
    ASSERT_NE(nullptr, copy);
    // The image path before any report: an empty text.
    std::string path = "unchanged";
    EXPECT_EQ(S_OK, AskPath(&path));
    EXPECT_EQ("", path);
    // The burning frame does not speak for the pages.
    CVariantSafearray off(1);
    off.Create();
    off.Prepare({{VT_BOOL, VARIANT_FALSE}});
    EXPECT_EQ(S_FALSE, FromBurner(PCID_ENABLE_UI, off));
    EXPECT_TRUE(CommandTrace().empty());
    // The source page does: first to itself, then to the burner.
    EXPECT_EQ(S_OK, FromSource(PCID_ENABLE_UI, off));
    EXPECT_EQ((std::vector<std::string>{"Editor 288 0", "Burner 288 0"}), CommandTrace());
    // The copy's page asks for the writing drive: the burning frame answers.
    CommandTrace().clear();
    long id = 0;
    EXPECT_EQ(S_OK, AskNumber(Stubs().editor, SFCID_GET_CURRENT_DEVICE_ID, &id));
    EXPECT_EQ((std::vector<std::string>{"Burner 4596 byref"}), CommandTrace());
    // A report or a path question from nobody's page is not taken.
    EXPECT_EQ(E_FAIL, SendAs(copy, copy->Self(), PCID_SOURCE_READY));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, SendAs(copy, copy->Self(), BFCID_GET_ISOIMAGE_PATH));
    for (unsigned other : {PCID_CLOSE_PROJECT, PCID_IMAGE_SIZE_CHANGED, PCID_GET_IMAGE_SIZE, DECID_4100})
        EXPECT_EQ(E_COMMAND_NOT_HANDLED, FromBurner(other)) << other;
    frame.reset();
    projects.clear();
    CMainFrameStandIn::Pump();
    frame = std::make_unique<CMainFrameStandIn>();

    // The image-burn project has no device relay.
    ASSERT_NE(nullptr, OpenType<CCoEllidra>());
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, AskNumber(Stubs().editor, SFCID_GET_CURRENT_DEVICE_ID, &id));
    EXPECT_TRUE(CommandTrace().empty());
}

TEST_F(SourceProjectTest, TheImageBurnAsksForTheImageSourcePageAndTheTypesNameThemselves)
{
    Script(CLSID_StubEditor).offersOwnWindowEx = true;
    CCoEllidra* image = OpenType<CCoEllidra>();
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(1, Stubs().editor->windowMode);
    BSTR raw = nullptr;
    EXPECT_EQ(S_OK, image->GetName(&raw));
    com::Bstr name;
    name.Attach(raw);
    EXPECT_EQ("CD/DVD Image Burning", name.Ansi());
    EXPECT_EQ(std::string("qvimgburn"), CCoEllidra::Type().extension);
    EXPECT_EQ(std::string("qvcopy"), CCoQuorrel::Type().extension);
    frame.reset();
    projects.clear();
    CMainFrameStandIn::Pump();
    frame = std::make_unique<CMainFrameStandIn>();
    ASSERT_NE(nullptr, OpenType<CCoQuorrel>());
    EXPECT_EQ(-1, Stubs().editor->windowMode) << "the copy's page through IOwnWindow";
}

}  // namespace
