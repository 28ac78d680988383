// The message box of IMessenger, shown for real and driven by a helper
// thread that finds it, reads it and presses its buttons.
#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include "message_box_ids.h"
#include <message_box.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

using com::Bstr;
using com::ComPtr;

namespace {

// The common section as the start module's string table fills it, with
// some captions that differ from the dialog template's.
const char kLanguageFile[] =
    "[00000000-0000-0000-C000-000000000046]\r\n"
    "0x00001=Tavell Burner\r\n"
    "0x00002=Error\r\n"
    "0x00003=Warning\r\n"
    "0x00010=The file already exists.\\nReplace it?\r\n"
    "0x00011=Do not ask again\r\n"
    "0x0000B=Try again\r\n"
    "0x0000E=OK\r\n";

const int kButtonIds[] = {IDC_MBX_YES,  IDC_MBX_YESTOALL, IDC_MBX_NO,     IDC_MBX_NOTOALL,
                          IDC_MBX_SKIP, IDC_MBX_SKIPALL,  IDC_MBX_RETRY,  IDC_MBX_IGNORE,
                          IDC_MBX_IGNOREALL, IDC_MBX_OK,  IDC_MBX_CANCEL};
const int kIconIds[] = {IDC_MBX_QUESTION, IDC_MBX_INFORMATION, IDC_MBX_WARNING, IDC_MBX_ERROR};

// A VARIANT argument: a text or a string identifier.
struct Arg {
    explicit Arg(const char* text) { VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = Bstr(text).Detach(); }
    explicit Arg(long id) { VariantInit(&v); V_VT(&v) = VT_I4; V_I4(&v) = id; }
    ~Arg() { VariantClear(&v); }
    VARIANT v;
};

// The box as the helper thread sees it.
struct BoxView {
    HWND box = nullptr;
    std::string caption;
    RECT client = {};
    std::vector<int> shown;  // visible buttons, left to right
    std::vector<RECT> shownRects;
    std::vector<int> icons;  // visible icon statics
    bool check = false;
    RECT message = {}, checkBox = {};
    int okWidth = 0;
    HWND owner = nullptr;
};

std::string TextOf(HWND w)
{
    char text[256] = "";
    GetWindowTextA(w, text, sizeof(text));
    return text;
}

RECT RectIn(HWND box, int id)
{
    RECT r = {};
    GetWindowRect(GetDlgItem(box, id), &r);
    MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

BoxView Read(HWND box)
{
    BoxView v;
    v.box = box;
    v.caption = TextOf(box);
    GetClientRect(box, &v.client);
    for (int id : kButtonIds)
        if (IsWindowVisible(GetDlgItem(box, id))) v.shown.push_back(id);
    std::sort(v.shown.begin(), v.shown.end(),
              [box](int a, int b) { return RectIn(box, a).left < RectIn(box, b).left; });
    for (int id : v.shown) v.shownRects.push_back(RectIn(box, id));
    for (int id : kIconIds)
        if (IsWindowVisible(GetDlgItem(box, id))) v.icons.push_back(id);
    v.check = IsWindowVisible(GetDlgItem(box, IDC_MBX_CHECK)) != FALSE;
    v.message = RectIn(box, IDC_MBX_MESSAGE);
    v.checkBox = RectIn(box, IDC_MBX_CHECK);
    v.okWidth = RectIn(box, IDC_MBX_OK).right - RectIn(box, IDC_MBX_OK).left;
    v.owner = GetWindow(box, GW_OWNER);
    return v;
}

BOOL CALLBACK TakeVisibleDialog(HWND w, LPARAM p)
{
    char name[16] = "";
    GetClassNameA(w, name, sizeof(name));
    if (lstrcmpA(name, "#32770") || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

// The visible dialog of a thread.
HWND FindBox(DWORD thread)
{
    HWND found = nullptr;
    EnumThreadWindows(thread, TakeVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WaitFor(const std::function<bool()>& condition, int ms = 5000)
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (condition()) return true;
        Sleep(10);
    }
    return condition();
}

void Press(HWND box, int id)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void Key(HWND box, UINT key)
{
    // To the focused control, as the keyboard would deliver it.
    GUITHREADINFO info = {sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
    HWND to = info.hwndFocus ? info.hwndFocus : box;
    PostMessageA(to, WM_KEYDOWN, key, 1);
    PostMessageA(to, WM_KEYUP, key, 0xC0000001);
}

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(dir.File("app.lng"), kLanguageFile);
        ASSERT_EQ(S_OK, translator.CoCreate(CLSID_CoTranslator, IID_ITranslator));
        ASSERT_EQ(S_OK, translator->Init(Bstr(dir.File("app.lng"))));
        ASSERT_EQ(S_OK, translator.As(IID_IMessenger, &messenger));
    }

    // Shows a box; `act` runs on a helper thread with the box's view and
    // must end it. A box left open is cancelled and fails the test.
    unsigned long Show(unsigned long type, const Arg& caption, const Arg& message, const Arg& check,
                       const std::function<void(const BoxView&)>& act)
    {
        const DWORD self = GetCurrentThreadId();
        std::thread helper([&] {
            HWND box = nullptr;
            if (!WaitFor([&] { return (box = FindBox(self)) != nullptr; })) return;
            act(Read(box));
            if (!WaitFor([&] { return !IsWindow(box); })) {
                ADD_FAILURE() << "the box stayed open";
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
        });
        unsigned long result = 0xDEADBEEF;
        EXPECT_EQ(S_OK, messenger->MessageBox(&result, type, caption.v, message.v, check.v));
        helper.join();
        return result;
    }
    unsigned long Show(unsigned long type, const std::function<void(const BoxView&)>& act)
    {
        return Show(type, Arg("Caption"), Arg("Message"), Arg("check"), act);
    }

    TempFolder dir;
    ComPtr<ITranslator> translator;
    ComPtr<IMessenger> messenger;
};

}  // namespace

TEST_F(MessageBoxTest, ShowsTheButtonsAndIconsOfTheTypeAndAnswersWithTheirBits)
{
    const int all[] = {IDC_MBX_YES,  IDC_MBX_YESTOALL, IDC_MBX_NO,        IDC_MBX_NOTOALL, IDC_MBX_SKIP,
                       IDC_MBX_SKIPALL, IDC_MBX_RETRY, IDC_MBX_IGNORE,    IDC_MBX_IGNOREALL, IDC_MBX_OK,
                       IDC_MBX_CANCEL};
    struct Case {
        unsigned long type;
        std::vector<int> shown, icons;
        bool check;      // shown, and checked before pressing
        int press;
        unsigned long result;
    } cases[] = {
        {0, {IDC_MBX_OK}, {}, false, IDC_MBX_OK, MBX_OK},
        {MBX_YES | MBX_NO | MBX_ICONQUESTION, {IDC_MBX_YES, IDC_MBX_NO}, {IDC_MBX_QUESTION}, false, IDC_MBX_NO, MBX_NO},
        {0x2C10, {IDC_MBX_SKIP, IDC_MBX_CANCEL}, {IDC_MBX_WARNING}, true, IDC_MBX_SKIP, 0x810},
        {0x7FF | MBX_ICONERROR, std::vector<int>(std::begin(all), std::end(all)), {IDC_MBX_ERROR}, false,
         IDC_MBX_IGNOREALL, MBX_IGNOREALL},
        {MBX_RETRY | MBX_CANCEL | MBX_CHECKBOX | MBX_ICONINFORMATION, {IDC_MBX_RETRY, IDC_MBX_CANCEL},
         {IDC_MBX_INFORMATION}, false, IDC_MBX_CANCEL, MBX_CANCEL},
    };
    for (const Case& c : cases) {
        BoxView seen;
        unsigned long result = Show(c.type, [&](const BoxView& v) {
            seen = v;
            if (c.check) SendMessageA(GetDlgItem(v.box, IDC_MBX_CHECK), BM_SETCHECK, BST_CHECKED, 0);
            Press(v.box, c.press);
        });
        EXPECT_EQ(c.shown, seen.shown) << std::hex << c.type;
        EXPECT_EQ(c.icons, seen.icons) << std::hex << c.type;
        EXPECT_EQ((c.type & MBX_CHECKBOX) != 0, seen.check) << std::hex << c.type;
        EXPECT_EQ(c.result, result) << std::hex << c.type;
    }
}

TEST_F(MessageBoxTest, KeyboardAndCloseBoxAnswerWithAShownButtonOrCancel)
{
    struct Case {
        const char* what;
        unsigned long type;
        std::function<void(const BoxView&)> act;
        unsigned long result;
    } cases[] = {
        {"Escape on Yes/No", MBX_YES | MBX_NO, [](const BoxView& v) { Key(v.box, VK_ESCAPE); }, MBX_CANCEL},
        {"Escape, box checked", MBX_OK | MBX_CHECKBOX,
         [](const BoxView& v) {
             SendMessageA(GetDlgItem(v.box, IDC_MBX_CHECK), BM_SETCHECK, BST_CHECKED, 0);
             Key(v.box, VK_ESCAPE);
         },
         MBX_CANCEL | MBX_CHECKBOX},
        {"close box", MBX_YES | MBX_NO, [](const BoxView& v) { PostMessageA(v.box, WM_CLOSE, 0, 0); }, MBX_CANCEL},
        {"Enter on Yes/No", MBX_YES | MBX_NO, [](const BoxView& v) { Key(v.box, VK_RETURN); }, MBX_YES},
        {"Enter on No/Retry/Cancel", MBX_NO | MBX_RETRY | MBX_CANCEL,
         [](const BoxView& v) { Key(v.box, VK_RETURN); }, MBX_RETRY},
        {"Enter on Ok/Cancel", MBX_OK | MBX_CANCEL, [](const BoxView& v) { Key(v.box, VK_RETURN); }, MBX_OK},
        {"Enter on Skip/Cancel", MBX_SKIP | MBX_CANCEL, [](const BoxView& v) { Key(v.box, VK_RETURN); }, MBX_SKIP},
        {"Enter on type 0", 0, [](const BoxView& v) { Key(v.box, VK_RETURN); }, MBX_OK},
        {"hidden buttons do not answer", MBX_NO | MBX_CANCEL,
         [](const BoxView& v) {
             for (int id : {IDC_MBX_YES, IDC_MBX_OK, IDC_MBX_RETRY, IDOK}) Press(v.box, id);
             Sleep(200);
             if (IsWindow(v.box)) Press(v.box, IDC_MBX_NO);
         },
         MBX_NO},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, Show(c.type, c.act)) << c.what;
}

TEST_F(MessageBoxTest, LaysOutFromTheButtonWidth)
{
    const char* longText =
        "A message long enough to be wrapped over several lines, so that the buttons move down below it "
        "and the box grows to hold it. A message long enough to be wrapped over several lines again, "
        "and again, and again, and once more, until it takes four or five lines of the box at the least.";
    struct Case {
        unsigned long type;
        const char* message;
        int buttons;
        bool tall;  // the message is higher than the least height
    } cases[] = {
        {0, "Short", 1, false},
        {MBX_OK | MBX_ICONERROR, longText, 1, true},
        {MBX_YES | MBX_NO | MBX_CANCEL | MBX_ICONQUESTION, "Short", 3, false},
        {0x3F | MBX_CHECKBOX, longText, 6, true},
        {0x7FF | MBX_ICONWARNING | MBX_CHECKBOX, longText, 11, false},
    };
    for (const Case& c : cases) {
        BoxView v;
        Show(c.type, Arg("Layout"), Arg(c.message), Arg("check"), [&](const BoxView& seen) {
            v = seen;
            Press(seen.box, seen.shown.front());
        });
        ASSERT_EQ(static_cast<size_t>(c.buttons), v.shown.size()) << std::hex << c.type;
        const int w = v.okWidth, n = c.buttons;
        ASSERT_GT(w, 20);
        const int width = n * (w + 15) <= 384 ? 400 : n * (w + 15) + 15;
        EXPECT_EQ(width, v.client.right) << n << " buttons of " << w;

        EXPECT_EQ(v.icons.empty() ? 15 : 57, v.message.left);
        EXPECT_EQ(10, v.message.top);
        EXPECT_LE(v.message.right, width - 15);
        const int messageBottom = std::max<int>(v.message.bottom, 10 + 32);
        EXPECT_EQ(c.tall, v.message.bottom > 10 + 32) << v.message.bottom;

        const int rowTop = messageBottom + 10;
        int left = (width - (n * (w + 15) - 15)) / 2;
        int rowBottom = 0;
        for (const RECT& r : v.shownRects) {
            EXPECT_EQ(left, r.left) << n << " buttons";
            EXPECT_EQ(rowTop, r.top) << n << " buttons";
            left += w + 15;
            rowBottom = r.bottom;
        }
        int bottom = rowBottom + 10;
        if (v.check) {
            EXPECT_EQ(bottom, v.checkBox.top);
            bottom = v.checkBox.bottom + 10;
        }
        EXPECT_EQ(bottom, v.client.bottom) << std::hex << c.type;
    }
}

TEST_F(MessageBoxTest, TextsComeFromTheCommonSection)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(owner);
    EXPECT_EQ(S_OK, messenger->SetMainWnd(owner));
    BoxView v;
    std::string message, check, retry, ok, yes;
    unsigned long result = Show(MBX_YES | MBX_RETRY | MBX_OK | MBX_CHECKBOX, Arg(2L), Arg(0x10L), Arg(0x11L),
                                [&](const BoxView& seen) {
                                    v = seen;
                                    message = TextOf(GetDlgItem(v.box, IDC_MBX_MESSAGE));
                                    check = TextOf(GetDlgItem(v.box, IDC_MBX_CHECK));
                                    retry = TextOf(GetDlgItem(v.box, IDC_MBX_RETRY));
                                    ok = TextOf(GetDlgItem(v.box, IDC_MBX_OK));
                                    yes = TextOf(GetDlgItem(v.box, IDC_MBX_YES));
                                    Press(v.box, IDC_MBX_OK);
                                });
    EXPECT_EQ(MBX_OK, result);
    EXPECT_EQ("Tavell Burner - Error", v.caption);
    EXPECT_EQ("The file already exists.\nReplace it?", message);
    EXPECT_EQ("Do not ask again", check);
    EXPECT_EQ("Try again", retry);  // translated
    EXPECT_EQ("OK", ok);
    EXPECT_EQ("Yes", yes);          // the template's own text
    EXPECT_EQ(owner, v.owner);

    // A caption whose string is missing, a text caption.
    Show(0, Arg(99L), Arg(""), Arg(""), [&](const BoxView& seen) { v = seen; Press(seen.box, IDC_MBX_OK); });
    EXPECT_EQ("Tavell Burner", v.caption);
    Show(0, Arg("Plain"), Arg(""), Arg(""), [&](const BoxView& seen) { v = seen; Press(seen.box, IDC_MBX_OK); });
    EXPECT_EQ("Plain", v.caption);
    messenger->SetMainWnd(nullptr);
    DestroyWindow(owner);
}

TEST_F(MessageBoxTest, ABoxThatCannotBeShownAnswersCancel)
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(S_OK, messenger->SetMainWnd(gone));
    unsigned long result = 0xDEADBEEF;
    Arg text("never shown");
    EXPECT_EQ(S_OK, messenger->MessageBox(&result, MBX_YES | MBX_NO, text.v, text.v, text.v));
    EXPECT_EQ(static_cast<unsigned long>(MBX_CANCEL), result);
    EXPECT_EQ(nullptr, FindBox(GetCurrentThreadId()));
    EXPECT_EQ(S_OK, messenger->MessageBox(nullptr, 0, text.v, text.v, text.v));  // no place for the result
}
