#include "road_fixture.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <commctrl.h>
#include <algorithm>

namespace {

const WORD ID_FILE_NEW = 0xE100;
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

testing::AssertionResult RoadFixture::NewProjectOfType(const std::string& name)
{
    // The program opens the dialog at its start; later File > New does.
    HWND dialog = run->WaitForWindow("#32770", "Choose project type:", 0);
    if (!dialog) {
        PostMessageA(Frame(), WM_COMMAND, ID_FILE_NEW, 0);
        dialog = run->WaitForWindow("#32770", "Choose project type:", 15000);
    }
    if (!dialog) return testing::AssertionFailure() << "no project-type dialog";
    HWND list = GetDlgItem(dialog, IDC_TYPE_LIST);
    std::vector<std::string> items;
    WaitUntil([&] { return !(items = RemoteListItems(list, Pid())).empty(); }, 5000);
    const auto at = std::find(items.begin(), items.end(), name);
    if (at == items.end()) return testing::AssertionFailure() << "the types listed: " << testing::PrintToString(items);
    const int row = static_cast<int>(at - items.begin());
    if (!RemoteSetListState(list, Pid(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED))
        return testing::AssertionFailure() << "the type could not be chosen";
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }, 5000))
        return testing::AssertionFailure() << "OK stayed disabled";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
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
