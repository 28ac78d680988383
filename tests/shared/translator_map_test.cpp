// CTranslator's message-map entries, chained into a window that holds a
// toolbar.
#include <gtest/gtest.h>
#include "files.h"
#include <shared/translator.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <window/window_impl.h>

using com::Bstr;
using com::ComPtr;

namespace {

const CLSID CLSID_ToolbarOwner = {0x22222222, 0x3333, 0x4444, {0x55, 0x55, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66}};
const int kSaveCommand = 300;

class CToolbarOwner : public wnd::WindowImpl<CToolbarOwner>,
                      public CTranslator<CToolbarOwner, &CLSID_ToolbarOwner> {
public:
    WND_MSG_MAP_BEGIN(CToolbarOwner)
        WND_CHAIN(CTranslator<CToolbarOwner, &CLSID_ToolbarOwner>)
    WND_MSG_MAP_END()
};

class TranslatorMap : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(dir.File("app.lng"), "[22222222-3333-4444-5555-666666666666]\r\n"
                                            "0x0012C=Saves the project\\nSave\r\n");
        ComPtr<ITranslator> translator;
        ASSERT_EQ(S_OK, translator.CoCreate(CLSID_CoTranslator, IID_ITranslator));
        ASSERT_EQ(S_OK, translator->Init(Bstr(dir.File("app.lng"))));
        ASSERT_EQ(S_OK, BindServicePointer(translator, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator)));
        ASSERT_TRUE(owner.Create(nullptr, nullptr, "owner", WS_OVERLAPPEDWINDOW));
    }
    void TearDown() override
    {
        owner.Destroy();
        BindServicePointer(nullptr, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator));
    }
    // Runs the owner's map; false when no entry took the notification.
    bool Notify(NMHDR* header)
    {
        LRESULT result = -1;
        bool handled = owner.ProcessWindowMessage(owner, WM_NOTIFY, header->idFrom,
                                                  reinterpret_cast<LPARAM>(header), result, 0) != FALSE;
        if (handled) {
            EXPECT_EQ(0, result);
        }
        return handled;
    }

    TempFolder dir;
    CToolbarOwner owner;
};

}  // namespace

TEST_F(TranslatorMap, ToolTipsInBothFormsComeFromTheLanguageFile)
{
    NMTTDISPINFOA ansi = {{nullptr, kSaveCommand, TTN_GETDISPINFOA}};
    EXPECT_TRUE(Notify(&ansi.hdr));
    EXPECT_STREQ("Save", ansi.lpszText);

    NMTTDISPINFOW wide = {{nullptr, kSaveCommand, TTN_GETDISPINFOW}};
    EXPECT_TRUE(Notify(&wide.hdr));
    EXPECT_STREQ(L"Save", wide.lpszText);

    NMTTDISPINFOW unknown = {{nullptr, kSaveCommand + 1, TTN_GETDISPINFOW}};
    EXPECT_FALSE(Notify(&unknown.hdr));
}

TEST_F(TranslatorMap, OnlyTheMouseMovesTheHotItemUnasked)
{
    struct Case {
        DWORD flags;
        bool handled;
    } cases[] = {{HICF_MOUSE | HICF_ENTERING, true}, {HICF_ARROWKEYS, false}, {HICF_ACCELERATOR, false}};
    for (const Case& c : cases) {
        NMTBHOTITEM hot = {{nullptr, 1, static_cast<UINT>(TBN_HOTITEMCHANGE)}};
        hot.dwFlags = c.flags;
        EXPECT_EQ(c.handled, Notify(&hot.hdr)) << c.flags;
    }
    LRESULT result = 0;
    EXPECT_FALSE(owner.ProcessWindowMessage(owner, WM_MENUSELECT, 0, 0, result, 0));
}

TEST_F(TranslatorMap, ARealToolbarGetsItsToolTip)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | TBSTYLE_TOOLTIPS, 0, 0, 200, 30, owner,
                                   reinterpret_cast<HMENU>(1), nullptr, nullptr);
    ASSERT_TRUE(toolbar);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON button = {I_IMAGENONE, kSaveCommand, TBSTATE_ENABLED, BTNS_BUTTON};
    ASSERT_TRUE(SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)));
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(tips);
    char text[80] = "";
    TTTOOLINFOA tool = {sizeof(tool)};
    tool.hwnd = toolbar;
    tool.uId = kSaveCommand;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ("Save", text);
}
