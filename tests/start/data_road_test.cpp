// The data-disc road from the program's own windows: a new data project,
// files and folders dropped onto the editor and pasted through Edit > Paste
// and with Ctrl+V, a rename and a remove, the project saved, closed and
// opened again, burned to the virtual CD-R from the burning frame and read
// back with isoinfo, every file compared with its source; then a second
// session that continues the disc from the device dialog, read back with
// both sessions' files.
#include "data_project_test.h"
#include "disc_folder.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>
#include <algorithm>
#include <map>
#include <set>

namespace {

const char kApptype[] = "[Data]\r\nShowExplorerInitially=0\r\n";
const WORD ID_FILE_NEW = 0xE100, ID_FILE_OPEN = 0xE101, ID_FILE_SAVE_AS = 0xE104, ID_EDIT_PASTE = 0xE125;
const WORD ID_VIEW_EXPLORER = 0xF155, ID_WINDOW_TILE_VERT = 0xE134, ID_FIRST_WINDOW = 0xFF00;
const int IDC_NEXT = 29335;
const int IDC_BURN = 8192, IDC_LOG = 8196, IDC_DRIVES = 8198;
const int IDC_DEVICE_COMBO = 8201, IDC_MEDIUM_LINE = 8203,
          IDC_SESSION_TREE = 8210;
const char kBurnDone[] = "Burning successfully completed ";
const DWORD kBurnWait = 60000;

// A file list (CF_HDROP) as the shell offers it to a drop target.
class FileListData : public IDataObject {
public:
    explicit FileListData(std::vector<std::string> paths) : m_paths(std::move(paths)) {}
    virtual ~FileListData() = default;

    // The DROPFILES block with the names in UTF-16, as Explorer gives it.
    static HGLOBAL Block(const std::vector<std::string>& paths)
    {
        std::wstring names;
        for (const std::string& path : paths) {
            wchar_t wide[MAX_PATH * 2] = L"";
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
            names += wide;
            names.push_back(L'\0');
        }
        names.push_back(L'\0');
        const SIZE_T size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
        GlobalUnlock(block);
        return block;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDataObject) return E_NOINTERFACE;
        *out = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&m_refs);
        if (!left) delete this;
        return left;
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium) return E_INVALIDARG;
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = Block(m_paths);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &files, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    LONG m_refs = 1;
    std::vector<std::string> m_paths;
};

// A drag that hovers for a few ticks of the system's drag loop (so that the
// target sees DragEnter and DragOver) and is then released.
class DropAfterHover : public IDropSource {
public:
    virtual ~DropAfterHover() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDropSource) return E_NOINTERFACE;
        *out = static_cast<IDropSource*>(this);
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override
    {
        if (escape) return DRAGDROP_S_CANCEL;
        return ++m_ticks > 4 ? DRAGDROP_S_DROP : S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    int m_ticks = 0;
};

// The test's source files: each with its content, kept until the end.
class SourceFiles {
public:
    std::string Add(const std::string& relative, size_t size, unsigned seed)
    {
        std::string bytes(size, '\0');
        unsigned state = seed * 2654435761u + 1;
        for (char& c : bytes) {
            state = state * 1103515245u + 12345u;
            c = static_cast<char>(state >> 16);
        }
        const std::string path = Path(relative);
        for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
            CreateDirectoryA(Path(relative.substr(0, at)).c_str(), nullptr);
        WriteFileBytes(path, bytes);
        return path;
    }
    std::string Path(const std::string& relative) const { return m_folder.File(relative); }

private:
    TempFolder m_folder;
};

// A disc path ("/Photos/one.bin") and the source it must equal.
using Layout = std::map<std::string, std::string>;

std::set<std::string> PathsWithFolders(const Layout& layout)
{
    std::set<std::string> paths;
    for (const auto& file : layout) {
        paths.insert(file.first);
        for (size_t at = file.first.find('/', 1); at != std::string::npos; at = file.first.find('/', at + 1))
            paths.insert(file.first.substr(0, at));
    }
    return paths;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The sector where each session's volume descriptors begin: a primary
// descriptor ("\1CD001\1") 16 sectors in.
std::vector<unsigned> SessionStarts(const std::string& image)
{
    std::vector<unsigned> starts;
    static const char kPrimary[] = "\x01" "CD001" "\x01";
    for (size_t sector = 16; (sector + 1) * 2048 <= image.size(); ++sector)
        if (image.compare(sector * 2048, 7, kPrimary, 7) == 0) starts.push_back(static_cast<unsigned>(sector - 16));
    return starts;
}

class DataRoad : public DataProjectTest {
protected:
    DataRoad() : DataProjectTest(kApptype) {}

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        DataProjectTest::SetUp();
    }
    void TearDown() override
    {
        DataProjectTest::TearDown();
        RunDiscTool("insert F 2");
        OleUninitialize();
    }

    // --- the editor ---

    std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    std::vector<std::string> ListRows() { return Sorted(RemoteListItems(list, Pid())); }
    std::vector<std::string> TreeFolders(const std::vector<std::string>& path)
    {
        return Sorted(RemoteTreeChildren(tree, Pid(), RemoteTreeItem(tree, Pid(), path)));
    }
    bool SelectFolder(const std::vector<std::string>& path)
    {
        HTREEITEM item = RemoteTreeItem(tree, Pid(), path);
        if (!item) return false;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(item);
    }
    // Waits until the editor's adding has ended (its commands run again).
    bool ListShows(const std::vector<std::string>& rows, DWORD ms = 15000)
    {
        return WaitUntil([&] { return ListRows() == Sorted(rows); }, ms);
    }

    // A real drag from this process, released over the folder tree's empty
    // lower part: the system's drag loop finds the editor's drop target.
    // The program's frame stays above other suites' windows meanwhile. A
    // drag the editor refused added nothing, and is tried again: on a busy
    // machine the editor has been seen to answer "none" to a drag that came
    // right after its session import.
    testing::AssertionResult DropOntoTree(const std::vector<std::string>& paths)
    {
        testing::AssertionResult result = testing::AssertionFailure();
        for (int attempt = 1; attempt <= 3; ++attempt) {
            result = DragOnce(paths);
            if (result) return result;
            result << " (attempt " << attempt << ")\n";
            WaitUntil([] { return false; }, 500);
        }
        return result;
    }
    testing::AssertionResult DragOnce(const std::vector<std::string>& paths)
    {
        SetWindowPos(Frame(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(tree, &r);
        const POINT at = {r.left + 30, r.bottom - 20};
        SetCursorPos(at.x, at.y);
        WaitUntil([&] { return WindowFromPoint(at) == tree; }, 5000);
        HWND under = WindowFromPoint(at);
        auto* data = new FileListData(paths);
        DropAfterHover source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT hr = DoDragDrop(data, &source, DROPEFFECT_COPY, &effect);
        data->Release();
        SetWindowPos(Frame(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (hr == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "drag result 0x" << std::hex << hr << ", effect " << effect
                                           << ", under the point: " << ClassOf(under) << " '" << WindowText(under)
                                           << "'" << (under == tree ? " (the folder tree)" : "");
    }

    // CF_HDROP put on the clipboard, as a file manager's Copy leaves it.
    testing::AssertionResult OfferFileList(const std::vector<std::string>& paths)
    {
        if (!OpenClipboard(nullptr)) return testing::AssertionFailure() << "no clipboard";
        EmptyClipboard();
        const bool set = SetClipboardData(CF_HDROP, FileListData::Block(paths)) != nullptr;
        CloseClipboard();
        if (!set) return testing::AssertionFailure() << "the clipboard took no file list";
        return testing::AssertionSuccess();
    }

    // The file list pasted with Ctrl+V in the editor's list, Control held
    // until the list shows `rows`.
    testing::AssertionResult PasteWithCtrlV(const std::vector<std::string>& paths,
                                            const std::vector<std::string>& rows)
    {
        testing::AssertionResult offered = OfferFileList(paths);
        if (!offered) return offered;
        RemoteKeyboard keyboard(Frame());
        if (!keyboard.Attached()) return testing::AssertionFailure() << "no keyboard of the program";
        keyboard.Hold(VK_CONTROL);
        keyboard.Press(list, 'V');
        if (ListShows(rows)) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "Ctrl+V pasted nothing: " << testing::PrintToString(ListRows());
    }

    // CF_HDROP put on the clipboard, then Edit > Paste from the keyboard
    // (Alt+E, P).
    testing::AssertionResult Paste(const std::vector<std::string>& paths)
    {
        testing::AssertionResult offered = OfferFileList(paths);
        if (!offered) return offered;
        return ChooseFromMenu('E', 'P');
    }

    // F2 in the tree on a folder, the edit box given the new name, the edit ended.
    testing::AssertionResult RenameFolder(const std::vector<std::string>& path, const std::string& name)
    {
        if (!SelectFolder(path)) return testing::AssertionFailure() << "no such folder";
        PostMessageA(tree, WM_KEYDOWN, VK_F2, 0);
        HWND edit = nullptr;
        if (!WaitUntil([&] { return (edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0))); },
                       5000))
            return testing::AssertionFailure() << "F2 started no label edit";
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
        std::vector<std::string> renamed = path;
        renamed.back() = name;
        if (WaitUntil([&] { return RemoteTreeItem(tree, Pid(), renamed) != nullptr; }, 5000))
            return testing::AssertionSuccess();
        std::vector<std::string> parent(path.begin(), path.end() - 1);
        return testing::AssertionFailure() << "the folders after the edit: "
                                           << testing::PrintToString(TreeFolders(parent));
    }

    // The row chosen in the list, then Delete in the list.
    bool RemoveRow(const std::string& name)
    {
        const std::vector<std::string> rows = RemoteListItems(list, Pid());
        const auto at = std::find(rows.begin(), rows.end(), name);
        if (at == rows.end()) return false;
        const int row = static_cast<int>(at - rows.begin());
        RemoteSetListState(list, Pid(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);  // nothing else chosen
        if (!RemoteSetListState(list, Pid(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED))
            return false;
        PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
        return WaitUntil([&] {
            const std::vector<std::string> now = RemoteListItems(list, Pid());
            return std::find(now.begin(), now.end(), name) == now.end();
        }, 5000);
    }

    // --- the burn ---

    // Next in the editor brings the burning frame; drive F is chosen there,
    // Burn pressed and every question answered until the job's last line.
    // With `choose`, the user picks F; else the frame must already name it.
    void BurnToCd(std::vector<std::string>* questions, bool choose = true)
    {
        HWND next = FindDescendant(editor, IDC_NEXT);
        ASSERT_TRUE(next) << "the editor's Next button";
        PostMessageA(GetParent(next), WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 10000));
        HWND drives = GetDlgItem(burner, IDC_DRIVES);
        const int cd = DriveRow(drives, 'F');
        ASSERT_GE(cd, 0);
        if (choose) ChooseRow(drives, cd);
        ASSERT_EQ(cd, SendMessageA(drives, CB_GETCURSEL, 0, 0)) << "the burning frame names drive F";
        HWND burn = GetDlgItem(burner, IDC_BURN);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 15000)) << "Burn for a blank CD-R";
        PostMessageA(burner, WM_COMMAND, MAKEWPARAM(IDC_BURN, BN_CLICKED), reinterpret_cast<LPARAM>(burn));
        HWND log = GetDlgItem(burner, IDC_LOG);
        std::string last;
        const bool done = WaitUntil([&] {
            if (HWND box = MessageBoxNow()) questions->push_back(AnswerBox(box));
            const std::vector<std::string> lines = RemoteListItems(log, Pid());
            last = lines.empty() ? "" : lines.back();
            return last == kBurnDone || last == "Burning failed";
        }, kBurnWait);
        ASSERT_TRUE(done) << "last log line: " << last;
        ASSERT_EQ(kBurnDone, last);
        // The frame takes input again once the job has ended.
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 10000));
    }

    std::string ExportDisc(const char* name)
    {
        const std::string iso = images.File(name);
        EXPECT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
        return iso;
    }

    // Lists a session (from `start`, 0 for the first) with isoinfo and
    // compares every file with its source by checksum.
    void ExpectSession(const std::string& iso, unsigned start, const Layout& layout)
    {
        const std::string reader = "isoinfo" + (start ? " -T " + std::to_string(start) : std::string()) + " -i " +
                                   Quoted(UnixPath(iso)) + " -J";
        const std::string listing = RunUnix(reader + " -f");
        std::set<std::string> listed;
        for (size_t from = 0, end; (end = listing.find('\n', from)) != std::string::npos; from = end + 1)
            listed.insert(listing.substr(from, end - from));
        EXPECT_EQ(PathsWithFolders(layout), listed) << listing;
        std::string script;
        for (const auto& file : layout)
            script += "echo \"$(" + reader + " -x " + Quoted(file.first) + " | md5sum | cut -c1-32) $(md5sum < " +
                      Quoted(UnixPath(file.second)) + " | cut -c1-32) " + file.first + "\"\n";
        const std::string sums = RunUnix(script, 60000);
        size_t compared = 0;
        for (size_t from = 0, end; (end = sums.find('\n', from)) != std::string::npos; from = end + 1) {
            const std::string line = sums.substr(from, end - from);
            ASSERT_GT(line.size(), 66u) << line;
            EXPECT_EQ(line.substr(0, 32), line.substr(33, 32)) << "checksum of " << line.substr(66);
            ++compared;
        }
        EXPECT_EQ(layout.size(), compared) << sums;
    }

    SourceFiles sources;
    TempFolder images;
};

TEST_F(DataRoad, ComposedSavedReopenedBurnedAndContinuedInASecondSession)
{
    Layout disc;
    auto source = [&](const std::string& discPath, const std::string& relative, size_t size, unsigned seed) {
        const std::string path = sources.Add(relative, size, seed);
        if (!discPath.empty()) disc[discPath] = path;
        return path;
    };
    // Dropped onto the tree (the root): two files and a folder with a sub-folder.
    source("/alpha.txt", "alpha.txt", 1, 1);
    source("", "trash.txt", 3000, 2);  // removed again before the burn
    source("/Photos/one.bin", "Photos\\one.bin", 1500000, 3);
    source("/Photos/two.bin", "Photos\\two.bin", 2048, 4);
    source("/Photos/Old/three.txt", "Photos\\Old\\three.txt", 0, 5);
    // Pasted into Photos: a file and a folder, which is then renamed.
    source("/Photos/beta.dat", "beta.dat", 300000, 6);
    source("/Photos/Papers/a.txt", "Docs\\a.txt", 7000, 7);
    source("/Photos/Papers/b.txt", "Docs\\b.txt", 4097, 8);
    // Pasted into Photos/Old with Ctrl+V.
    source("/Photos/Old/gamma.txt", "gamma.txt", 5000, 11);

    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewDataProject("Data#1");

    EXPECT_TRUE(DropOntoTree({sources.Path("alpha.txt"), sources.Path("trash.txt"), sources.Path("Photos")}));
    ASSERT_TRUE(ListShows({"Photos", "alpha.txt", "trash.txt"})) << testing::PrintToString(ListRows());
    EXPECT_EQ((std::vector<std::string>{"Photos"}), TreeFolders({}));
    EXPECT_EQ((std::vector<std::string>{"Old"}), TreeFolders({"Photos"}));

    ASSERT_TRUE(SelectFolder({"Photos"}));
    ASSERT_TRUE(ListShows({"Old", "one.bin", "two.bin"}));
    ASSERT_TRUE(Paste({sources.Path("beta.dat"), sources.Path("Docs")}));
    ASSERT_TRUE(ListShows({"Docs", "Old", "beta.dat", "one.bin", "two.bin"})) << testing::PrintToString(ListRows());
    WaitUntil([] { return false; }, 300);
    if (HWND box = MessageBoxNow()) ADD_FAILURE() << "Edit > Paste pasted twice: " << AnswerBox(box, IDNO);
    ASSERT_TRUE(SelectFolder({"Photos", "Old"}));
    ASSERT_TRUE(ListShows({"three.txt"}));
    EXPECT_TRUE(PasteWithCtrlV({sources.Path("gamma.txt")}, {"gamma.txt", "three.txt"}));
    WaitUntil([] { return false; }, 300);
    if (HWND box = MessageBoxNow()) ADD_FAILURE() << "Ctrl+V pasted twice: " << AnswerBox(box, IDNO);

    ASSERT_TRUE(SelectFolder({}));
    ASSERT_TRUE(ListShows({"Photos", "alpha.txt", "trash.txt"}));
    ASSERT_TRUE(RemoveRow("trash.txt"));
    ASSERT_TRUE(RenameFolder({"Photos", "Docs"}, "Papers"));
    EXPECT_EQ((std::vector<std::string>{"Old", "Papers"}), TreeFolders({"Photos"}));
    ASSERT_TRUE(SelectFolder({"Photos"}));
    Shot("editor-with-tree");

    // Saved, closed and opened again: the same tree.
    const std::string project = install.File("road.qvdata");
    ASSERT_TRUE(FileDialog(ID_FILE_SAVE_AS, "Save As", project));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(project); }, 10000));
    HWND first = VisibleProject();
    ASSERT_TRUE(first);
    PostMessageA(first, WM_CLOSE, 0, 0);
    std::string asked;
    ASSERT_TRUE(WaitUntil([&] {
        if (HWND box = MessageBoxNow()) asked += AnswerBox(box, IDNO) + "\n";
        return MdiChildren(Frame()).empty();
    }, 10000));
    EXPECT_EQ("", asked) << "a saved project closes without a question";
    ASSERT_TRUE(FileDialog(ID_FILE_OPEN, "Open", project));
    HWND reopened = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (reopened = VisibleProject()) != nullptr; }, 20000));
    EXPECT_FALSE(DialogWith(IDC_BEGIN_NEW_DISC, 500)) << "an opened project asks nothing about the disc";
    FindPanes(reopened);
    ASSERT_TRUE(editor && burner && tree && list);
    ASSERT_TRUE(ListShows({"Photos", "alpha.txt"})) << testing::PrintToString(ListRows());
    EXPECT_EQ((std::vector<std::string>{"Old", "Papers"}), TreeFolders({"Photos"}));
    ASSERT_TRUE(SelectFolder({"Photos", "Papers"}));
    ASSERT_TRUE(ListShows({"a.txt", "b.txt"}));

    // Burned to the blank CD-R and read back.
    std::vector<std::string> questions;
    BurnToCd(&questions);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(questions.empty()) << "a blank CD-R is burned without a question: "
                                   << testing::PrintToString(questions);
    Shot("burning-frame-after-burn");
    const std::string firstIso = ExportDisc("first.iso");
    ExpectSession(firstIso, 0, disc);
    if (HasFatalFailure()) return;

    // The second session: a new project continues the disc in F.
    PostMessageA(Frame(), WM_COMMAND, ID_FILE_NEW, 0);
    HWND project2 = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (project2 = VisibleProject(nullptr, reopened)) != nullptr; }, 20000));
    HWND question = DialogWith(IDC_CONTINUE_DISC, 20000);
    ASSERT_TRUE(question) << "the new-project question";
    SendMessageA(GetDlgItem(question, IDC_BEGIN_NEW_DISC), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(GetDlgItem(question, IDC_CONTINUE_DISC), BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(question, WM_COMMAND, IDOK, 0);
    HWND devices = DialogWith(IDC_SESSION_TREE, 15000);
    ASSERT_TRUE(devices) << "the device dialog";
    HWND combo = GetDlgItem(devices, IDC_DEVICE_COMBO);
    const int cd = DriveRow(combo, 'F', 10000);
    ASSERT_GE(cd, 0);
    ChooseRow(combo, cd);
    HWND sessions = GetDlgItem(devices, IDC_SESSION_TREE);
    HTREEITEM session = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        session = reinterpret_cast<HTREEITEM>(SendMessageA(sessions, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        return session != nullptr;
    }, 10000));
    EXPECT_EQ("Media type: CD-R", WindowText(GetDlgItem(devices, IDC_MEDIUM_LINE)));
    EXPECT_EQ("Session 01", RemoteTreeText(sessions, Pid(), session));
    EXPECT_EQ((std::vector<std::string>{"Track 01"}), RemoteTreeChildren(sessions, Pid(), session));
    SendMessageA(sessions, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(session));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(devices, IDOK)) != FALSE; }, 5000));
    Shot("device-dialog");
    PostMessageA(devices, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(devices); }, 10000));
    FindPanes(project2);
    ASSERT_TRUE(editor && burner && tree && list);
    // The first session's entries, imported, then new ones dropped beside them.
    ASSERT_TRUE(ListShows({"Photos", "alpha.txt"})) << testing::PrintToString(ListRows());
    source("/second.txt", "second.txt", 12345, 9);
    source("/More/m.bin", "More\\m.bin", 200000, 10);
    EXPECT_TRUE(DropOntoTree({sources.Path("second.txt"), sources.Path("More")}));
    ASSERT_TRUE(ListShows({"More", "Photos", "alpha.txt", "second.txt"})) << testing::PrintToString(ListRows());

    // The disc is burned where its session came from: F, not the default E.
    questions.clear();
    BurnToCd(&questions, false);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(questions.empty()) << "a session added to an open CD-R asks nothing: "
                                   << testing::PrintToString(questions);
    const std::string secondIso = ExportDisc("second.iso");
    const std::vector<unsigned> starts = SessionStarts(ReadFileBytes(secondIso));
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(0u, starts[0]);
    ExpectSession(secondIso, starts[1], disc);  // both sessions' files
    Layout firstOnly = disc;
    firstOnly.erase("/second.txt");
    firstOnly.erase("/More/m.bin");
    ExpectSession(secondIso, 0, firstOnly);  // the first session as it was
}

// The space bar under the project: its tooltip follows the files the
// editor holds as they are pasted in, and it shows the used part.
TEST_F(DataRoad, SpaceBarShowsTheEditorsSizeInItsTooltip)
{
    const std::string one = sources.Add("one.bin", 3 * 1048576, 11);
    const std::string two = sources.Add("two.bin", 1048576 / 2, 12);
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewDataProject("Data#1");
    HWND bar = GetDlgItem(Frame(), 0x401);
    ASSERT_TRUE(bar);
    auto tip = [&] { return RemoteToolTipText(bar, 1, Pid()); };
    EXPECT_TRUE(WaitUntil([&] { return tip() == "Data size: 0.00 Mb"; }, 5000)) << tip();

    ASSERT_TRUE(Paste({one}));
    ASSERT_TRUE(ListShows({"one.bin"}));
    EXPECT_TRUE(WaitUntil([&] { return tip() == "Data size: 3.00 Mb"; }, 5000)) << tip();
    ASSERT_TRUE(Paste({two}));
    ASSERT_TRUE(ListShows({"one.bin", "two.bin"}));
    EXPECT_TRUE(WaitUntil([&] { return tip() == "Data size: 3.50 Mb"; }, 5000)) << tip();
    EXPECT_EQ(WindowText(bar), "Data size: 3.50 Mb");

    RECT r;
    GetWindowRect(bar, &r);
    SetWindowPos(Frame(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetCursorPos(r.left + 40, r.top + 8);
    Shot("space-bar");
    SetWindowPos(Frame(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Files from the explorer window reach the editor: Ctrl+C in the
// explorer's list, then Edit > Paste in the project; and a real drag from
// the explorer's list onto the editor's folder tree.
TEST_F(DataRoad, ExplorerFilesReachTheEditorByCopyAndByDrag)
{
    const std::string folder = "C:\\Road fixture " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<std::string> files = {"copied one.txt", "copied two.bin", "dragged.dat"};
    for (size_t i = 0; i < files.size(); ++i) WriteFileBytes(folder + "\\" + files[i], std::string(100 + i, 'x'));
    struct Cleanup {
        std::string folder;
        std::vector<std::string> files;
        ~Cleanup()
        {
            for (const std::string& file : files) DeleteFileA((folder + "\\" + file).c_str());
            RemoveDirectoryA(folder.c_str());
        }
    } cleanup{folder, files};

    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewDataProject("Data#1");
    PostMessageA(Frame(), WM_COMMAND, ID_VIEW_EXPLORER, 0);  // View > Explorer
    HWND explorer = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND child : MdiChildren(Frame()))
            if (ClassOf(child) == "Explorer Window") explorer = child;
        return explorer != nullptr;
    }, 10000));
    HWND explorerTree = nullptr, explorerList = nullptr;
    ASSERT_TRUE(WaitUntil([&] {  // made while the window is created
        explorerTree = FindDescendant(explorer, 0x411);
        explorerList = FindDescendant(explorer, 0x410);
        return explorerTree && explorerList;
    }, 10000));
    HTREEITEM fixture = OpenFolderOfDriveC(explorerTree, Pid(), folder.substr(3));
    ASSERT_TRUE(fixture);
    ASSERT_TRUE(WaitUntil([&] { return RemoteListItems(explorerList, Pid()) == files; }, 5000))
        << testing::PrintToString(RemoteListItems(explorerList, Pid()));

    // The first two chosen, Ctrl+C; the project's window, Edit > Paste.
    RemoteSetListState(explorerList, Pid(), -1, 0, LVIS_SELECTED);
    RemoteSetListState(explorerList, Pid(), 0, LVIS_SELECTED, LVIS_SELECTED);
    RemoteSetListState(explorerList, Pid(), 1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(PressKeys(Frame(), {VK_CONTROL, 'C'}));
    WaitUntil([] { return false; }, 300);
    PostMessageA(Frame(), WM_COMMAND, ID_WINDOW_TILE_VERT, 0);  // Window > Tile Vertically
    PostMessageA(Frame(), WM_COMMAND, ID_FIRST_WINDOW, 0);      // Window > 1 (the project)
    PostMessageA(Frame(), WM_COMMAND, ID_EDIT_PASTE, 0);
    ASSERT_TRUE(ListShows({files[0], files[1]})) << testing::PrintToString(ListRows());

    // The third dragged from the explorer's list onto the editor's tree.
    SetWindowPos(Frame(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT row = RemoteListItemRect(explorerList, Pid(), 2);
    POINT from = {row.left + 10, (row.top + row.bottom) / 2};
    ClientToScreen(explorerList, &from);
    RECT target;
    GetWindowRect(tree, &target);
    const POINT to = {target.left + 30, target.bottom - 20};
    ASSERT_EQ(WindowFromPoint(from), explorerList) << ClassOf(WindowFromPoint(from));
    ASSERT_EQ(WindowFromPoint(to), tree) << ClassOf(WindowFromPoint(to));
    MouseDrag(from, to);
    SetWindowPos(Frame(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(ListShows(files)) << testing::PrintToString(ListRows());
    Shot("explorer-beside-editor");

    // From the explorer's tree: My Computer, which has no path, gives
    // nothing; the fixture's folder arrives with its files.
    auto dragTreeItem = [&](HTREEITEM item) {
        RECT r = RemoteTreeItemRect(explorerTree, Pid(), item);
        POINT start = {r.left + 8, (r.top + r.bottom) / 2};
        ClientToScreen(explorerTree, &start);
        SetWindowPos(Frame(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        MouseDrag(start, to);
        SetWindowPos(Frame(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    };
    dragTreeItem(RemoteTreeItem(explorerTree, Pid(), {"My Computer"}));
    WaitUntil([] { return false; }, 1000);
    EXPECT_EQ(ListRows(), Sorted(files));
    dragTreeItem(fixture);
    std::vector<std::string> withFolder = files;
    withFolder.push_back(folder.substr(3));
    EXPECT_TRUE(ListShows(withFolder)) << testing::PrintToString(ListRows());
    EXPECT_TRUE(IsWindow(explorer));
}

}  // namespace
