#include <gtest/gtest.h>
#include "near_color.h"
#include "common.h"
#include "hosting.h"
#include "commands.h"
#include "task_panel.h"
#include <shared/colors.h>
#include <shared/variant_safearray.h>
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <cstdlib>
#include <vector>

using com::Bstr;
using com::ComPtr;

namespace {

const unsigned NONE = 0xFFFFFFFF;

// How many more GDI objects the process can make: a leak shows as fewer.
// (Wine's GetGuiResources always answers 0, so count by filling the table.)
int FreeGdiSlots()
{
    std::vector<HRGN> regions;
    for (int i = 0; i < 100000; ++i) {
        HRGN r = CreateRectRgn(0, 0, 1, 1);
        if (!r) break;
        regions.push_back(r);
    }
    for (HRGN r : regions) DeleteObject(r);
    return static_cast<int>(regions.size());
}

// A project stand-in that records the commands the panel sends it.
class CFakePartner : public com::ObjectRoot<com::SingleThreadModel>, public ICommandPerformer {
public:
    COM_INTERFACES_BEGIN(CFakePartner)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    struct Sent {
        unsigned command, pane, action;
        bool fromPanel;
    };
    std::vector<Sent> sent;
    ITaskBar* panel = nullptr;
    // What the partner does inside its handler.
    void (*onClick)(CFakePartner&, unsigned pane, unsigned action) = nullptr;

    STDMETHODIMP SetPartnerNoAddRef(IUnknown*) override { return S_OK; }
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID clsid, unsigned id, SAFEARRAY* data) override
    {
        unsigned pane = 0, action = 0;
        EXPECT_EQ(S_OK, ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}));
        sent.push_back({id, pane, action, IsEqualCLSID(clsid, CLSID_CoPanelCtrl) && com::SameObject(sender, panel)});
        if (onClick) onClick(*this, pane, action);
        return S_OK;
    }
};

class TaskPanel : public testing::Test {
protected:
    void SetUp() override
    {
        // Hidden: Wine takes its time over showing a top-level window.
        parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 220, 600, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(parent);
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoPanelCtrl>(&impl));
        impl->QueryInterface(IID_ITaskBar, reinterpret_cast<void**>(&bar));
        impl->QueryInterface(IID_IOwnWindow, reinterpret_cast<void**>(&own));
        impl->Release();
        ASSERT_EQ(S_OK, own->CreateOwnWindow(parent));
        ASSERT_EQ(S_OK, own->GetOwnWindow(&window));
        MoveWindow(window, 0, 0, 200, 580, TRUE);
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CFakePartner>(&partner));
        partner->panel = bar;
        ComPtr<ICommandPerformer> performer;
        ASSERT_EQ(S_OK, bar.As(IID_ICommandPerformer, &performer));
        ASSERT_EQ(S_OK, performer->SetPartnerNoAddRef(static_cast<ICommandPerformer*>(partner)));
    }
    void TearDown() override
    {
        own.Reset();
        bar.Reset();
        if (partner) partner->Release();
        DestroyWindow(parent);
    }
    void Fill()
    {
        ASSERT_EQ(S_OK, bar->AddPane(1, Bstr("First pane"), nullptr));
        ASSERT_EQ(S_OK, bar->AddAction(1, 10, Bstr("Add files"), LoadIcon(nullptr, IDI_APPLICATION)));
        ASSERT_EQ(S_OK, bar->AddAction(1, 11, Bstr("Remove files"), nullptr));
        ASSERT_EQ(S_OK, bar->AddPane(2, Bstr("Second pane"), LoadIcon(nullptr, IDI_INFORMATION)));
        ASSERT_EQ(S_OK, bar->AddAction(2, 20, Bstr("Burn"), nullptr));
    }
    POINT Centre(unsigned pane, unsigned action)
    {
        RECT r = {};
        EXPECT_TRUE(impl->ItemRect(pane, action, &r)) << pane << "/" << action;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Mouse(UINT msg, POINT p) { SendMessageA(window, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y)); }
    void Click(POINT down, POINT up)
    {
        Mouse(WM_MOUSEMOVE, down);
        Mouse(WM_LBUTTONDOWN, down);
        Mouse(WM_MOUSEMOVE, up);
        Mouse(WM_LBUTTONUP, up);
    }
    void Click(unsigned pane, unsigned action) { Click(Centre(pane, action), Centre(pane, action)); }
    std::pair<unsigned, unsigned> Active()
    {
        unsigned pane = 0, action = 0;
        EXPECT_EQ(S_OK, bar->GetActive(&pane, &action));
        return {pane, action};
    }

    HWND parent = nullptr;
    HWND window = nullptr;
    com::ComObject<CCoPanelCtrl>* impl = nullptr;
    ComPtr<ITaskBar> bar;
    ComPtr<IOwnWindow> own;
    com::ComObject<CFakePartner>* partner = nullptr;
};

}  // namespace

TEST_F(TaskPanel, WindowAndClassAndCommandsRefused)
{
    char name[64];
    GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ("TaskPanelXP", name);
    EXPECT_EQ(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
              GetWindowLongA(window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    EXPECT_EQ(E_INVALIDARG, own->CreateOwnWindow(reinterpret_cast<HWND>(0x1234)));

    ComPtr<ICommandPerformer> performer;
    ASSERT_EQ(S_OK, bar.As(IID_ICommandPerformer, &performer));
    EXPECT_EQ(E_INVALIDARG, performer->InvokeCommand(nullptr, CLSID_CoPanelCtrl, 96, nullptr));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, performer->InvokeCommand(bar, CLSID_CoPanelCtrl, 96, nullptr));
    EXPECT_EQ(E_POINTER, performer->SetPartnerNoAddRef(nullptr));
    ComPtr<ILogger> notAPerformer;
    ASSERT_EQ(S_OK, notAPerformer.CoCreate(CLSID_CoLogger, IID_ILogger));
    EXPECT_EQ(E_FAIL, performer->SetPartnerNoAddRef(notAPerformer));
}

TEST_F(TaskPanel, PanesAndActionsFollowTheirRules)
{
    EXPECT_EQ(S_OK, bar->AddAction(7, 70, Bstr("orphan"), nullptr));  // no pane 7: nothing done
    RECT r;
    EXPECT_FALSE(impl->ItemRect(7, 70, &r));
    Fill();
    EXPECT_EQ(E_FAIL, bar->RenamePane(9, Bstr("x")));
    EXPECT_EQ(E_FAIL, bar->RenameAction(1, 99, Bstr("x")));
    EXPECT_EQ(E_FAIL, bar->ChangeAction(1, 99, Bstr("x"), nullptr));
    EXPECT_EQ(E_FAIL, bar->SetActionIcon(9, 10, nullptr));
    EXPECT_EQ(E_NOTIMPL, bar->SetPaneIcon(1, nullptr));
    EXPECT_EQ(E_NOTIMPL, bar->ChangePane(1, Bstr("x"), nullptr));
    EXPECT_EQ(S_OK, bar->EnableAction(9, 9, 0));

    EXPECT_EQ(std::make_pair(NONE, NONE), Active());
    EXPECT_EQ(S_OK, bar->SetActive(2, 20));
    EXPECT_EQ(std::make_pair(2u, 20u), Active());
    unsigned action = 0;
    EXPECT_EQ(S_OK, bar->GetPaneActiveAction(2, &action));
    EXPECT_EQ(20u, action);
    EXPECT_EQ(S_OK, bar->GetPaneActiveAction(1, &action));
    EXPECT_EQ(NONE, action);
    EXPECT_EQ(S_OK, bar->SetActive(1, NONE));  // a pane alone: its actions keep their flags
    EXPECT_EQ(std::make_pair(1u, NONE), Active());
    EXPECT_EQ(S_OK, bar->GetPaneActiveAction(2, &action));
    EXPECT_EQ(20u, action);
    EXPECT_EQ(S_OK, bar->SetActive(5, 1));  // unknown pane: every pane inactive
    EXPECT_EQ(std::make_pair(NONE, NONE), Active());

    // A second AddPane of an identifier drops its actions and keeps its icon.
    RECT before, after;
    ASSERT_TRUE(impl->ItemRect(2, NONE, &before));
    EXPECT_EQ(S_OK, bar->AddPane(2, Bstr("Second pane"), nullptr));
    EXPECT_FALSE(impl->ItemRect(2, 20, &r));
    ASSERT_TRUE(impl->ItemRect(2, NONE, &after));
    EXPECT_EQ(before.top, after.top);  // still below its icon
    EXPECT_EQ(S_OK, bar->RemovePane(1));
    ASSERT_TRUE(impl->ItemRect(2, NONE, &after));
    EXPECT_EQ(6 + 16, after.top);  // first now, and its icon still takes 16 pixels above the header
}

TEST_F(TaskPanel, ClicksReachThePartner)
{
    Fill();
    Click(1, 10);
    Click(2, NONE);
    ASSERT_EQ(2u, partner->sent.size());
    EXPECT_EQ(PCID_ACTIVE_CHANGED_NOTIFY, partner->sent[0].command);
    EXPECT_EQ(1u, partner->sent[0].pane);
    EXPECT_EQ(10u, partner->sent[0].action);
    EXPECT_TRUE(partner->sent[0].fromPanel);
    EXPECT_EQ(2u, partner->sent[1].pane);
    EXPECT_EQ(NONE, partner->sent[1].action);
    EXPECT_EQ(std::make_pair(2u, NONE), Active());

    bar->EnableAction(1, 11, 0);
    Click(1, 11);                           // disabled: nothing
    Click(Centre(1, 10), Centre(2, 20));    // pressed on one, released on another: nothing
    Click(POINT{100, 570}, POINT{100, 570});  // empty space
    EXPECT_EQ(2u, partner->sent.size());
    bar->EnableAction(1, 11, 1);
    Click(1, 11);
    EXPECT_EQ(3u, partner->sent.size());
}

TEST_F(TaskPanel, APartnerMayRemoveTheClickedItemOrTheWindow)
{
    Fill();
    partner->onClick = [](CFakePartner& p, unsigned pane, unsigned) { p.panel->RemovePane(pane); };
    Click(1, 10);
    RECT r;
    EXPECT_FALSE(impl->ItemRect(1, 10, &r));
    partner->onClick = [](CFakePartner& p, unsigned, unsigned) {
        HWND w = nullptr;
        ComPtr<IOwnWindow> own;
        p.panel->QueryInterface(IID_IOwnWindow, reinterpret_cast<void**>(&own));
        own->GetOwnWindow(&w);
        DestroyWindow(w);
    };
    Click(2, 20);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(2u, partner->sent.size());
}

TEST_F(TaskPanel, LayoutHasAMinimumWidth)
{
    Fill();
    MoveWindow(window, 0, 0, 40, 580, TRUE);
    RECT header;
    ASSERT_TRUE(impl->ItemRect(1, NONE, &header));
    EXPECT_EQ(6, header.left);
    EXPECT_EQ(6 + 76 - 12, header.right);
}

namespace {

// Whether any pixel of the rectangle has the colour: text shows as a few.
bool AnyPixel(HDC dc, const RECT& r, COLORREF colour)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Near(GetPixel(dc, x, y), colour, 2)) return true;
    return false;
}

}  // namespace

// What the panel paints, read back from its window: the background, the
// active and inactive headers and bodies, and the texts of an active, a
// hovered and a disabled action. TASK_PANEL_SHOW_MS holds the filled panel
// on screen that long, for a look at it.
TEST_F(TaskPanel, FilledPanelPaintsItsParts)
{
    Fill();
    ASSERT_EQ(S_OK, bar->AddAction(2, 21, Bstr("Erase disc"), LoadIcon(nullptr, IDI_WARNING)));
    ASSERT_EQ(S_OK, bar->AddAction(2, 22, Bstr("A long action caption that wraps onto a second line"), nullptr));
    ASSERT_EQ(S_OK, bar->AddPane(3, Bstr("Third pane, without actions"), nullptr));
    ASSERT_EQ(S_OK, bar->SetActionIcon(2, 20, LoadIcon(nullptr, IDI_QUESTION)));
    bar->EnableAction(2, 21, 0);
    bar->SetActive(1, 10);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    Mouse(WM_MOUSEMOVE, Centre(2, 20));
    UpdateWindow(window);

    const COLORREF blueText = ShiftColorHLS(RGB(120, 159, 227), -50, 0);
    HDC dc = GetDC(window);
    RECT header1, header2, add, remove, burn, erase;
    impl->ItemRect(1, NONE, &header1);
    impl->ItemRect(2, NONE, &header2);
    impl->ItemRect(1, 10, &add);
    impl->ItemRect(1, 11, &remove);
    impl->ItemRect(2, 20, &burn);
    impl->ItemRect(2, 21, &erase);
    EXPECT_TRUE(Near(RGB(120, 159, 227), GetPixel(dc, 2, 0)));  // background top
    EXPECT_TRUE(Near(RGB(254, 254, 254), GetPixel(dc, header1.left + 2, header1.bottom - 2)));  // active header
    EXPECT_TRUE(Near(RGB(200, 212, 246), GetPixel(dc, header1.right - 4, header1.bottom - 2)));
    EXPECT_TRUE(Near(ShiftColorHLS(RGB(200, 212, 246), -50, 0), GetPixel(dc, header2.left + 2, header2.bottom - 2)));
    EXPECT_TRUE(Near(RGB(213, 222, 246), GetPixel(dc, add.right + 2, add.bottom + 2)));  // active body
    EXPECT_TRUE(Near(ShiftColorHLS(RGB(213, 222, 246), -7, 0), GetPixel(dc, burn.right + 2, burn.bottom + 2)));
    EXPECT_TRUE(AnyPixel(dc, header1, ShiftColorHLS(RGB(120, 159, 227), -50, 0)));  // active caption
    EXPECT_TRUE(AnyPixel(dc, header2, RGB(213, 222, 246)));                          // inactive caption
    EXPECT_TRUE(AnyPixel(dc, add, blueText));                                        // active action
    EXPECT_TRUE(AnyPixel(dc, remove, blueText));
    EXPECT_TRUE(AnyPixel(dc, burn, RGB(120, 159, 227)));                             // hovered action
    EXPECT_TRUE(AnyPixel(dc, erase, ShiftColorHLS(RGB(95, 114, 210), 20, -50)));   // disabled action
    EXPECT_TRUE(AnyPixel(dc, erase, RGB(254, 254, 254)));
    ReleaseDC(window, dc);

    if (const char* show = getenv("TASK_PANEL_SHOW_MS")) {
        const DWORD until = GetTickCount() + static_cast<DWORD>(atoi(show));
        MSG msg;
        while (GetTickCount() < until) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(20);
        }
    }
}

// A click whose command opened a dialog: when it returns the cursor is
// elsewhere, and the clicked header is drawn as active, not hovered.
TEST_F(TaskPanel, AClickedItemLosesItsHoverLookWhenTheCursorHasGone)
{
    Fill();
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    partner->onClick = [](CFakePartner&, unsigned, unsigned) { SetCursorPos(1200, 1000); };
    Click(2, NONE);
    ASSERT_EQ(1u, partner->sent.size());
    UpdateWindow(window);
    RECT header = {};
    impl->ItemRect(2, NONE, &header);
    HDC dc = GetDC(window);
    EXPECT_TRUE(AnyPixel(dc, header, ShiftColorHLS(RGB(120, 159, 227), -50, 0)));  // active caption
    EXPECT_FALSE(AnyPixel(dc, header, ShiftColorHLS(RGB(120, 159, 227), -70, 0))) << "still hovered";
    ReleaseDC(window, dc);
}

TEST_F(TaskPanel, GdiObjectsStayFlatWhileTheMouseMoves)
{
    Fill();
    ShowWindow(parent, SW_SHOWNOACTIVATE);  // painted for real (showing costs Wine a moment)
    // Moves, repaints, and icons replaced and removed with their items, as
    // a user's session makes them.
    auto session = [&](int moves) {
        for (int i = 0; i < moves; ++i) {
            Mouse(WM_MOUSEMOVE, POINT{(i * 7) % 200, (i * 13) % 580});
            if (i % 100 == 0) {
                InvalidateRect(window, nullptr, FALSE);
                UpdateWindow(window);
                bar->SetActionIcon(1, 10, LoadIcon(nullptr, i % 200 ? IDI_WARNING : IDI_ERROR));
                bar->ChangeAction(2, 20, Bstr("Burn"), LoadIcon(nullptr, IDI_QUESTION));
                bar->AddPane(9, Bstr("Passing pane"), LoadIcon(nullptr, IDI_INFORMATION));
                bar->AddAction(9, 90, Bstr("Passing action"), LoadIcon(nullptr, IDI_WARNING));
                bar->AddAction(9, 91, Bstr("Another"), LoadIcon(nullptr, IDI_ERROR));
                bar->RemoveAction(9, 90);
                if (i % 200) bar->RemovePane(9);  // else the next AddPane drops its actions
            }
        }
        UpdateWindow(window);
    };
    session(300);  // the system's own caches fill here
    const int before = FreeGdiSlots();
    ASSERT_GT(before, 1000);
    session(3000);
    EXPECT_GE(FreeGdiSlots(), before - 2);
}
