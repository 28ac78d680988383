#include <gtest/gtest.h>
#include <window/window_impl.h>
#include <string>
#include <vector>

namespace {

const UINT WM_PASS_ON = WM_APP + 1;  // the first entry declines it
const UINT WM_MIXIN = WM_APP + 2;

// A mixin with a map of its own, chained into the window's.
template <class T>
class CounterMixin {
public:
    WND_MSG_MAP_BEGIN(CounterMixin)
        WND_MESSAGE(WM_MIXIN, OnMixin)
        WND_NOTIFY_CODE(NM_RCLICK, OnRightClick)
    WND_MSG_MAP_END()

    LRESULT OnMixin(UINT, WPARAM, LPARAM, BOOL&) { static_cast<T*>(this)->log += "mixin "; return 5; }
    LRESULT OnRightClick(int, NMHDR*, BOOL&) { static_cast<T*>(this)->log += "mixin-rclick "; return 6; }
};

class CMapWindow : public wnd::WindowImpl<CMapWindow>, public CounterMixin<CMapWindow> {
public:
    WND_MSG_MAP_BEGIN(CMapWindow)
        WND_MESSAGE(WM_NCCREATE, OnNcCreate)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_APP, OnApp)
        WND_MESSAGE(WM_PASS_ON, OnDecline)
        WND_MESSAGE_RANGE(WM_PASS_ON, WM_PASS_ON, OnApp)
        WND_COMMAND(100, OnCommand)
        WND_COMMAND_CODE(101, BN_CLICKED, OnCommand)
        WND_COMMAND_RANGE(200, 210, OnCommandRange)
        WND_NOTIFY(7, NM_DBLCLK, OnNotify)
        WND_NOTIFY_ID(8, OnNotify)
        WND_NOTIFY_CODE(NM_CLICK, OnNotify)
        WND_CHAIN(CounterMixin<CMapWindow>)
    WND_ALT_MAP(1)
        WND_MESSAGE(WM_APP, OnAltApp)
    WND_MSG_MAP_END()

    LRESULT OnNcCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        boundAtNcCreate = FromHandle(m_hWnd) == this;
        handled = FALSE;  // the default procedure must see it too
        return 0;
    }
    LRESULT OnCreate(UINT, WPARAM, LPARAM l, BOOL&)
    {
        createParam = reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams;
        return 0;
    }
    LRESULT OnApp(UINT msg, WPARAM w, LPARAM, BOOL&)
    {
        log += "app" + std::to_string(msg - WM_APP) + " ";
        return static_cast<LRESULT>(w) + 1;
    }
    LRESULT OnDecline(UINT, WPARAM, LPARAM, BOOL& handled) { log += "decline "; handled = FALSE; return 99; }
    LRESULT OnAltApp(UINT, WPARAM, LPARAM, BOOL&) { log += "alt "; return 3; }
    LRESULT OnCommand(WORD code, WORD id, HWND, BOOL&)
    {
        log += "cmd" + std::to_string(id) + ":" + std::to_string(code) + " ";
        return 1;
    }
    LRESULT OnCommandRange(WORD, WORD id, HWND, BOOL&) { log += "range" + std::to_string(id) + " "; return 2; }
    LRESULT OnNotify(int id, NMHDR* header, BOOL&)
    {
        log += "notify" + std::to_string(id) + ":" + std::to_string(static_cast<int>(header->code)) + " ";
        return 4;
    }
    void OnFinalMessage(HWND hWnd) override { finalHandle = hWnd; handleAtFinal = m_hWnd; }

    std::string log;
    bool boundAtNcCreate = false;
    void* createParam = nullptr;
    HWND finalHandle = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(1);
};

// A plain top-level window of the test, destroyed at the end of the test.
struct MapWindowFixture : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, nullptr, "map", WS_OVERLAPPEDWINDOW, 0, 0, &param));
    }
    void TearDown() override
    {
        if (window.IsWindow()) window.Destroy();
    }
    int param = 0;
    CMapWindow window;
};

LRESULT Notify(HWND to, UINT_PTR id, UINT code)
{
    NMHDR header = {nullptr, id, code};
    return SendMessageA(to, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

TEST_F(MapWindowFixture, BindsBeforeNcCreateAndUnbindsAfterTheLastMessage)
{
    EXPECT_TRUE(window.boundAtNcCreate);
    EXPECT_EQ(&param, window.createParam);
    HWND hWnd = window;
    window.Destroy();
    EXPECT_EQ(hWnd, window.finalHandle);
    EXPECT_EQ(nullptr, window.handleAtFinal);
    EXPECT_EQ(nullptr, wnd::WindowObject::FromHandle(hWnd));
}

TEST_F(MapWindowFixture, DispatchesEachKindOfEntry)
{
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        UINT notifyCode;  // WM_NOTIFY: the code, wParam the control
        LRESULT result;
        const char* log;
    } cases[] = {
        {"message", WM_APP, 41, 0, 42, "app0 "},
        {"declined entry falls to the next", WM_PASS_ON, 9, 0, 10, "decline app1 "},
        {"command, any code", WM_COMMAND, MAKEWPARAM(100, 5), 0, 1, "cmd100:5 "},
        {"command with its code", WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0, 1, "cmd101:0 "},
        {"command with another code", WM_COMMAND, MAKEWPARAM(101, BN_DBLCLK), 0, 0, ""},
        {"command range, first", WM_COMMAND, MAKEWPARAM(200, 0), 0, 2, "range200 "},
        {"command range, last", WM_COMMAND, MAKEWPARAM(210, 0), 0, 2, "range210 "},
        {"command past the range", WM_COMMAND, MAKEWPARAM(211, 0), 0, 0, ""},
        {"notify by control and code", WM_NOTIFY, 7, NM_DBLCLK, 4, "notify7:-3 "},
        {"notify by control, other code", WM_NOTIFY, 7, NM_RETURN, 0, ""},
        {"notify of one control, any code", WM_NOTIFY, 8, NM_RETURN, 4, "notify8:-4 "},
        {"notify by code, any control", WM_NOTIFY, 3, NM_CLICK, 4, "notify3:-2 "},
        {"chained message", WM_MIXIN, 0, 0, 5, "mixin "},
        {"chained notify", WM_NOTIFY, 3, NM_RCLICK, 6, "mixin-rclick "},
    };
    for (const Case& c : cases) {
        window.log.clear();
        LRESULT result = c.msg == WM_NOTIFY ? Notify(window, c.wParam, c.notifyCode)
                                            : SendMessageA(window, c.msg, c.wParam, 0);
        EXPECT_EQ(c.result, result) << c.what;
        EXPECT_EQ(c.log, window.log) << c.what;
    }
}

TEST_F(MapWindowFixture, AlternateSectionsAreSeparate)
{
    LRESULT result = 0;
    EXPECT_TRUE(window.ProcessWindowMessage(window, WM_APP, 0, 0, result, 1));
    EXPECT_EQ(3, result);
    EXPECT_FALSE(window.ProcessWindowMessage(window, WM_COMMAND, 100, 0, result, 1));
    EXPECT_FALSE(window.ProcessWindowMessage(window, WM_APP, 0, 0, result, 2));
    EXPECT_EQ("alt ", window.log);
}

// A push button taken over by an object: the parent reflects the button's
// notifications back to it.
class CReflectedButton : public wnd::WindowObject {
public:
    WND_MSG_MAP_BEGIN(CReflectedButton)
        WND_REFLECTED_COMMAND_CODE(BN_CLICKED, OnClicked)
        WND_MESSAGE(WM_APP, OnApp)
    WND_MSG_MAP_END()
    LRESULT OnClicked(WORD, WORD id, HWND, BOOL&) { clicks += static_cast<int>(id); return 0; }
    LRESULT OnApp(UINT, WPARAM, LPARAM, BOOL&) { return 77; }
    int clicks = 0;
};

class CReflectingParent : public wnd::WindowImpl<CReflectingParent> {
public:
    WND_MSG_MAP_BEGIN(CReflectingParent)
        WND_REFLECT_NOTIFICATIONS()
    WND_MSG_MAP_END()
};

TEST(Reflection, ASubclassedControlHandlesItsOwnNotifications)
{
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, nullptr, "parent", WS_OVERLAPPEDWINDOW));
    HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 50, 20, parent,
                                  reinterpret_cast<HMENU>(12), nullptr, nullptr);
    CReflectedButton object;
    ASSERT_TRUE(object.SubclassWindow(button));
    EXPECT_FALSE(CReflectedButton().SubclassWindow(button));  // one object per window
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(12, object.clicks);
    EXPECT_EQ(77, SendMessageA(button, WM_APP, 0, 0));
    EXPECT_EQ(1, SendMessageA(button, WM_GETTEXTLENGTH, 0, 0));  // the button's own procedure answers

    EXPECT_EQ(button, object.UnsubclassWindow());
    EXPECT_EQ(0, SendMessageA(button, WM_APP, 0, 0));
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(12, object.clicks);
    parent.Destroy();
}

// The list view asks its parent for the notification format when it is
// created and for item texts when they are read.
class CListParent : public wnd::WindowImpl<CListParent> {
public:
    WND_MSG_MAP_BEGIN(CListParent)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_NOTIFY_CODE(LVN_GETDISPINFOA, OnGetDispInfo)
    WND_MSG_MAP_END()
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&)
    {
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 200, 100, m_hWnd,
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
        return list ? 0 : -1;
    }
    LRESULT OnGetDispInfo(int, NMHDR* header, BOOL&)
    {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        if (info->item.mask & LVIF_TEXT) lstrcpynA(info->item.pszText, "from the parent", info->item.cchTextMax);
        return 0;
    }
    HWND list = nullptr;
};

TEST(NotifyFormat, WindowsAskForAnsiNotifications)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    CListParent parent;
    ASSERT_TRUE(parent.Create(nullptr, nullptr, "list", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(NFR_ANSI, SendMessageA(parent, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(parent.list), NF_QUERY));

    LVCOLUMNA column = {LVCF_WIDTH, 0, 100};
    SendMessageA(parent.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item = {LVIF_TEXT};
    item.pszText = LPSTR_TEXTCALLBACKA;
    ASSERT_EQ(0, SendMessageA(parent.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    char text[64] = "";
    LVITEMA get = {LVIF_TEXT};
    get.pszText = text;
    get.cchTextMax = sizeof(text);
    SendMessageA(parent.list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&get));
    EXPECT_STREQ("from the parent", text);
    parent.Destroy();
}

TEST(WindowClass, NamedClassesAreFoundByName)
{
    class CNamed : public wnd::WindowImpl<CNamed> {
    public:
        WND_CLASS("Tavell.Test.Named", 0, nullptr)
        WND_MSG_MAP_BEGIN(CNamed)
        WND_MSG_MAP_END()
    };
    CNamed first, second;
    ASSERT_TRUE(first.Create(HWND_MESSAGE, nullptr, "first", 0));
    ASSERT_TRUE(second.Create(HWND_MESSAGE, nullptr, "second", 0));
    EXPECT_EQ(static_cast<HWND>(first), FindWindowExA(HWND_MESSAGE, nullptr, "Tavell.Test.Named", "first"));
    EXPECT_FALSE(first.Create(HWND_MESSAGE, nullptr, "again", 0));  // an object has one window
    first.Destroy();
    second.Destroy();
}
