#include "road_fixture.h"
#include "near_color.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <commctrl.h>
#include <algorithm>

namespace {

const int IDC_TYPE_LIST = 1001;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

HWND RoadFixture::VisibleProject(const char* title, HWND other)
{
    for (HWND child : MdiChildren(Frame()))
        if (child != other && IsWindowVisible(child) && (!title || WindowText(child) == title)) return child;
    return nullptr;
}

void RoadFixture::ProjectPanes(HWND project, HWND* first, HWND* burner, bool firstIsDialog)
{
    *first = *burner = nullptr;
    HWND splitter = GetWindow(project, GW_CHILD);
    for (HWND pane = GetWindow(splitter, GW_CHILD); pane; pane = GetWindow(pane, GW_HWNDNEXT)) {
        if (ClassOf(pane) == "TaskPanelXP") continue;
        const bool dialog = ClassOf(pane) == "#32770";
        // The burning frame is the dialog with the Burn button.
        if (dialog && GetDlgItem(pane, 8192) && GetDlgItem(pane, 8204)) *burner = pane;
        else if (!dialog || firstIsDialog) *first = pane;
    }
}

HWND RoadFixture::TaskPanel(HWND project)
{
    HWND splitter = GetWindow(project, GW_CHILD);
    for (HWND pane = splitter ? GetWindow(splitter, GW_CHILD) : nullptr; pane; pane = GetWindow(pane, GW_HWNDNEXT))
        if (ClassOf(pane) == "TaskPanelXP") return pane;
    return nullptr;
}

namespace {

// The pixels of a window's client area as the display shows it.
class ClientPixels {
public:
    explicit ClientPixels(HWND window)
    {
        RECT r = {};
        GetClientRect(window, &r);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        m_width = r.right;
        m_height = r.bottom;
        m_bits.resize(size_t(m_width) * size_t(m_height));
        if (m_bits.empty()) return;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, m_width, m_height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, m_width, m_height, screen, origin.x, origin.y, SRCCOPY);
        SelectObject(memory, old);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        GetDIBits(memory, bitmap, 0, UINT(m_height), m_bits.data(), &info, DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const
    {
        const DWORD bgr = m_bits[size_t(y) * size_t(m_width) + size_t(x)];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

private:
    int m_width = 0, m_height = 0;
    std::vector<DWORD> m_bits;
};

}  // namespace

std::vector<RoadFixture::PanelAction> RoadFixture::FirstPaneActions(HWND panel)
{
    // The panel's look: an active pane's body is filled with this blue-grey;
    // every action's 16-pixel icon stands at x 22 to 37, its caption from
    // x 46 on.
    const COLORREF body = RGB(213, 222, 246), white = RGB(254, 254, 254);
    const int iconLeft = 22, iconRight = 38, textLeft = 46, probe = 10;
    std::vector<PanelAction> actions;
    const ClientPixels pixels(panel);
    if (pixels.Width() <= textLeft + 10) return actions;
    int y = 0;
    while (y < pixels.Height() && !Near(pixels.At(probe, y), body, 3)) ++y;
    const int top = y;
    while (y < pixels.Height() && Near(pixels.At(probe, y), body, 3)) ++y;
    const int bottom = y;
    for (int row = top; row < bottom;) {
        auto iconRow = [&](int at) {
            for (int x = iconLeft; x < iconRight; ++x)
                if (!Near(pixels.At(x, at), body, 24)) return true;
            return false;
        };
        if (!iconRow(row)) {
            ++row;
            continue;
        }
        int whites = 0, marks = 0;
        for (int ty = std::max(top, row - 4); ty < std::min(row + 14, bottom); ++ty)
            for (int x = textLeft; x < pixels.Width() - 10; ++x) {
                const COLORREF c = pixels.At(x, ty);
                if (Near(c, white, 2)) ++whites;
                else if (!Near(c, body, 24)) ++marks;
            }
        actions.push_back({POINT{textLeft + 8, row + 6}, whites == 0 && marks > 0});
        row += 18;  // past the icon, whose own blank lines must not split it
    }
    return actions;
}

HWND RoadFixture::DialogWith(int control, DWORD ms)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (const FoundWindow& w : WindowsOfClass("#32770", Pid()))
            if (IsWindowVisible(w.window) && GetDlgItem(w.window, control)) found = w.window;
        return found != nullptr;
    }, ms);
    return found;
}

namespace {

// The buttons and text of the translated message box (IMessenger's).
const int IDC_MBX_YES = 201, IDC_MBX_NO = 203, IDC_MBX_CANCEL = 209, IDC_MBX_OK = 211, IDC_MBX_MESSAGE = 213;

bool IsMessengerBox(HWND box) { return GetDlgItem(box, IDC_MBX_MESSAGE) && GetDlgItem(box, IDC_MBX_CANCEL); }

int MessengerButton(int id)
{
    switch (id) {
    case IDYES: return IDC_MBX_YES;
    case IDNO: return IDC_MBX_NO;
    case IDOK: return IDC_MBX_OK;
    default: return IDC_MBX_CANCEL;
    }
}

}  // namespace

HWND RoadFixture::MessageBoxNow()
{
    for (const FoundWindow& w : WindowsOfClass("#32770", Pid()))
        if (IsWindowVisible(w.window) &&
            ((GetDlgItem(w.window, 0xFFFF) && !GetDlgItem(w.window, 0x480) && !GetDlgItem(w.window, 0x47C)) ||
             IsMessengerBox(w.window)))
            return w.window;
    return nullptr;
}

std::string RoadFixture::AnswerBox(HWND box, int preferred)
{
    if (IsMessengerBox(box)) {
        const std::string text = WindowText(GetDlgItem(box, IDC_MBX_MESSAGE));
        int id = MessengerButton(preferred);
        for (int fallback : {id, IDC_MBX_OK, IDC_MBX_CANCEL})
            if (HWND button = GetDlgItem(box, fallback); button && IsWindowVisible(button)) {
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(fallback, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                break;
            }
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        return text;
    }
    const std::string text = MessageBoxText(box);
    int id = preferred;
    if (!GetDlgItem(box, id)) id = GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
    DismissBox(box, id);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}

void RoadFixture::CloseAnswering()
{
    if (HWND frame = run->WaitForFrame(0)) PostMessageA(frame, WM_CLOSE, 0, 0);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        if (run->WaitExit(100) != STILL_ACTIVE) return;
        if (HWND box = MessageBoxNow()) AnswerBox(box, IDNO);
    }
}

namespace {

// Types the file into an open file dialog and presses OK.
bool TypeInto(HWND dialog, const std::string& file)
{
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name) name = GetDlgItem(dialog, 0x480);
    if (!name) return false;
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
}

}  // namespace

bool RoadFixture::TypeIntoFileDialog(const char* caption, const std::string& file)
{
    HWND dialog = run->WaitForWindow("#32770", caption, 15000);
    return dialog && TypeInto(dialog, file);
}

bool RoadFixture::FileDialog(WORD command, const char* caption, const std::string& file)
{
    PostMessageA(Frame(), WM_COMMAND, command, 0);
    return TypeIntoFileDialog(caption, file);
}

bool RoadFixture::FileDialogFrom(HWND owner, int button, const std::string& file, const char* caption)
{
    HWND control = GetDlgItem(owner, button);
    if (!control || !IsWindowEnabled(control)) return false;
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return TypeIntoFileDialog(caption, file);
}

testing::AssertionResult RoadFixture::ChooseFromMenu(char menu, char item)
{
    const LPARAM altDown = 1 << 29;
    for (int attempt = 0; attempt < 3; ++attempt) {
        PostMessageA(Frame(), WM_SYSKEYDOWN, WPARAM(menu), altDown);
        HWND popup = nullptr;
        if (!WaitUntil([&] { return (popup = run->WaitForWindow("#32768", nullptr, 0)) && IsWindowVisible(popup); },
                       5000))
            continue;
        PostMessageA(Frame(), WM_KEYDOWN, WPARAM(item), 0);
        if (WaitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 2000))
            return testing::AssertionSuccess();
        PostMessageA(Frame(), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(Frame(), WM_KEYDOWN, VK_ESCAPE, 0);
        WaitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 2000);
        WaitUntil([] { return false; }, 500);
    }
    return testing::AssertionFailure() << "Alt+" << menu << ", " << item << " was not offered";
}

testing::AssertionResult RoadFixture::NewProjectOfType(const std::string& name, int* listedAt)
{
    // The program opens the dialog at its start; later Ctrl+N does.
    HWND dialog = run->WaitForWindow("#32770", "Choose project type:", 0);
    if (!dialog) {
        if (!PressKeys(Frame(), {VK_CONTROL, 'N'})) return testing::AssertionFailure() << "Ctrl+N not pressed";
        dialog = run->WaitForWindow("#32770", "Choose project type:", 15000);
    }
    if (!dialog) return testing::AssertionFailure() << "no project-type dialog";
    HWND list = GetDlgItem(dialog, IDC_TYPE_LIST);
    std::vector<std::string> items;
    int row = -1;
    WaitUntil([&] {
        items = RemoteListItems(list, Pid());
        const auto at = std::find(items.begin(), items.end(), name);
        row = at == items.end() ? -1 : static_cast<int>(at - items.begin());
        return row >= 0;
    }, 5000);
    if (row < 0) return testing::AssertionFailure() << "the types listed: " << testing::PrintToString(items);
    if (listedAt) *listedAt = row;
    const RECT r = RemoteListItemRect(list, Pid(), row);
    if (IsRectEmpty(&r) || !MouseClick(list, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}))
        return testing::AssertionFailure() << "the type could not be clicked";
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }, 5000))
        return testing::AssertionFailure() << "OK stayed disabled";
    if (!MouseClick(ok, ClientCentre(ok))) return testing::AssertionFailure() << "OK could not be clicked";
    if (!WaitUntil([&] { return !IsWindow(dialog); }, 10000)) return testing::AssertionFailure() << "the dialog stayed";
    return testing::AssertionSuccess();
}

int RoadFixture::DriveRow(HWND combo, char letter, DWORD ms)
{
    int row = -1;
    WaitUntil([&] {
        const std::vector<std::string> items = RemoteComboItems(combo);
        for (size_t i = 0; i < items.size(); ++i)
            if (!items[i].empty() && items[i][0] == letter) row = static_cast<int>(i);
        return row >= 0;
    }, ms);
    return row;
}

void RoadFixture::ChooseRow(HWND combo, int row)
{
    SendMessageA(combo, CB_SETCURSEL, row, 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void RoadFixture::Shot(const char* name)
{
    char folder[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("TB_ROAD_SHOTS", folder, sizeof folder)) return;
    WaitUntil([] { return false; }, 300);  // the windows paint
    RunUnix("import -window root " + Quoted(std::string(folder) + "/" + name + ".png"));
}
