#include <gtest/gtest.h>
#include <window/dialog.h>
#include <window/window_impl.h>
#include "dialog_test.h"
#include <string>

namespace {

const UINT WM_RUN = WM_APP;       // the modal dialog's scenario
const UINT WM_ASK = WM_APP + 1;   // a question answered through DWLP_MSGRESULT
const UINT_PTR kSafetyTimer = 1;  // ends a dialog whose scenario got stuck

class CTestDialog : public wnd::DialogImpl<CTestDialog> {
public:
    enum { IDD = IDD_TEST_DIALOG };

    WND_MSG_MAP_BEGIN(CTestDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_RUN, OnRun)
        WND_MESSAGE(WM_ASK, OnAsk)
        WND_MESSAGE(WM_TIMER, OnTimer)
        WND_COMMAND_RANGE(IDC_TEST_FIRST, IDC_TEST_SECOND, OnButton)
        WND_COMMAND(IDOK, OnOk)
        WND_NOTIFY(IDC_TEST_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
    WND_MSG_MAP_END()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM init, BOOL&)
    {
        initParam = init;
        listAskedAnsi = ::SendMessageA(GetDlgItem(IDC_TEST_LIST), WM_NOTIFYFORMAT,
                                     reinterpret_cast<WPARAM>(m_hWnd), NF_REQUERY) == NFR_ANSI;
        ::SetTimer(m_hWnd, kSafetyTimer, 10000, nullptr);
        if (modal) PostMessage(WM_RUN);
        return TRUE;
    }
    LRESULT OnRun(UINT, WPARAM, LPARAM, BOOL&)
    {
        // Buttons pressed the way the dialog manager reports them.
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_SECOND, BN_CLICKED),
                    reinterpret_cast<LPARAM>(HWND(GetDlgItem(IDC_TEST_SECOND))));
        GetDlgItem(IDC_TEST_FIRST).SendMessage(BM_CLICK);
        askAnswer = SendMessage(WM_ASK, 20);
        listText = ReadCallbackText();
        GetDlgItem(IDOK).SendMessage(BM_CLICK);
        return 0;
    }
    LRESULT OnAsk(UINT, WPARAM w, LPARAM, BOOL&) { return static_cast<LRESULT>(w) * 2; }
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) { EndDialog(-2); return 0; }
    LRESULT OnButton(WORD, WORD id, HWND, BOOL&) { pressed += std::to_string(id) + " "; return 0; }
    LRESULT OnOk(WORD, WORD, HWND, BOOL&) { EndDialog(42); return 0; }
    LRESULT OnGetDispInfo(int, NMHDR* header, BOOL&)
    {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        if (info->item.mask & LVIF_TEXT) lstrcpynA(info->item.pszText, "ansi", info->item.cchTextMax);
        return 0;
    }
    void OnFinalMessage(HWND) override { finalMessages++; }

    std::string ReadCallbackText()
    {
        wnd::Window list = GetDlgItem(IDC_TEST_LIST);
        LVCOLUMNA column = {LVCF_WIDTH, 0, 100};
        list.SendMessage(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        LVITEMA item = {LVIF_TEXT};
        item.pszText = LPSTR_TEXTCALLBACKA;
        list.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        char text[32] = "";
        LVITEMA get = {LVIF_TEXT};
        get.pszText = text;
        get.cchTextMax = sizeof(text);
        list.SendMessage(LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&get));
        return text;
    }

    bool modal = true;
    LPARAM initParam = 0;
    bool listAskedAnsi = false;
    std::string pressed;
    LRESULT askAnswer = 0;
    std::string listText;
    int finalMessages = 0;
};

struct Dialogs : testing::Test {
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

class CPlainWindow : public wnd::WindowImpl<CPlainWindow> {
public:
    WND_MSG_MAP_BEGIN(CPlainWindow)
    WND_MSG_MAP_END()
};

}  // namespace

TEST_F(Dialogs, ModalDialogRunsItsMapAndEndsWithItsResult)
{
    CTestDialog dialog;
    EXPECT_EQ(42, dialog.DoModal(nullptr, 7));
    EXPECT_EQ(7, dialog.initParam);
    EXPECT_EQ("1002 1001 ", dialog.pressed);
    EXPECT_EQ(40, dialog.askAnswer);
    EXPECT_TRUE(dialog.listAskedAnsi);
    EXPECT_EQ("ansi", dialog.listText);
    EXPECT_EQ(1, dialog.finalMessages);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(42, dialog.DoModal(nullptr));  // an object serves one dialog after another
}

TEST_F(Dialogs, ModelessDialogLivesUntilDestroyed)
{
    CTestDialog dialog;
    dialog.modal = false;
    HWND hWnd = dialog.Create(nullptr, 3);
    ASSERT_TRUE(hWnd);
    EXPECT_EQ(3, dialog.initParam);
    EXPECT_EQ(&dialog, wnd::WindowObject::FromHandle(hWnd));
    EXPECT_EQ(nullptr, dialog.Create(nullptr));  // one window per object
    EXPECT_EQ(30, SendMessageA(hWnd, WM_ASK, 15, 0));
    SendMessageA(dialog.GetDlgItem(IDC_TEST_FIRST), BM_CLICK, 0, 0);
    EXPECT_EQ("1001 ", dialog.pressed);
    EXPECT_EQ("ansi", dialog.ReadCallbackText());
    dialog.Destroy();
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(1, dialog.finalMessages);
}

TEST_F(Dialogs, CentresOverItsOwner)
{
    CPlainWindow owner;
    RECT place = {100, 80, 900, 680};
    ASSERT_TRUE(owner.Create(nullptr, &place, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    CTestDialog dialog;
    dialog.modal = false;
    ASSERT_TRUE(dialog.Create(owner));
    dialog.CenterWindow();
    RECT o = owner.GetWindowRect(), d = dialog.GetWindowRect();
    EXPECT_NEAR((o.left + o.right) / 2, (d.left + d.right) / 2, 1);
    EXPECT_NEAR((o.top + o.bottom) / 2, (d.top + d.bottom) / 2, 1);
    dialog.Destroy();
    owner.Destroy();
}

TEST_F(Dialogs, AFailedDialogLeavesNoBindingBehind)
{
    struct CMissing : wnd::DialogImpl<CMissing> {
        enum { IDD = 999 };
        WND_MSG_MAP_BEGIN(CMissing)
        WND_MSG_MAP_END()
    } missing;
    EXPECT_EQ(-1, missing.DoModal(nullptr));
    EXPECT_EQ(nullptr, missing.Create(nullptr));
    // The next window of the thread must not be taken for the failed dialog's.
    CPlainWindow window;
    ASSERT_TRUE(window.Create(nullptr, nullptr, "w", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(&window, wnd::WindowObject::FromHandle(window));
    EXPECT_EQ(nullptr, missing.m_hWnd);
    window.Destroy();
}
