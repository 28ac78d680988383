// The audio editor's object and window: its engine objects, the project
// file's section, the project's commands, and the views (toolbar, track
// list, row texts and tips).
#include "audio_editor_frame.h"
#include "audio_editor_ids.h"
#include "audio_editor_texts.h"
#include "decode_progress_dialog.h"
#include "track_texts.h"
#include <frames/common/drop_target_relay.h>
#include <frames/common/engine_connection.h>
#include <frames/common/files_processing_dialog.h>
#include <shared/log.h>
#include <com/bstr.h>
#include <com/guard.h>
#include <com/text.h>
#include <algorithm>
#include <cstring>

namespace {

std::string TextOf(BSTR text)
{
    std::string s = com::AnsiFromBstr(text);
    SysFreeString(text);
    return s;
}

// Copies `text` into a list's buffer, cut to its length.
void CopyInto(char* buffer, int size, const std::string& text)
{
    if (!buffer || size <= 0) return;
    lstrcpynA(buffer, text.c_str(), size);
}

// A track's texts; false when the track is missing or a read failed.
bool ReadTexts(IAudioTrack* track, TrackTexts* texts)
{
    *texts = TrackTexts();
    if (!track) return false;
    bool complete = true;
    BSTR text = nullptr;
    if (SUCCEEDED(track->GetTitle(&text))) texts->title = TextOf(text);
    else complete = false;
    text = nullptr;
    if (SUCCEEDED(track->GetPath(&text))) texts->path = TextOf(text);
    else complete = false;
    AUDIO_FILE_FORMAT format = AFF_UNKNOWN;
    if (SUCCEEDED(track->GetFormat(&format))) {
        const char* name = FormatName(format);
        texts->type = name ? name : AudioEditorText(IDS_UNKNOWN_TYPE);
    } else {
        complete = false;
    }
    Msf start, length;
    const bool haveStart = SUCCEEDED(track->GetStartMSFT(&start.minutes, &start.seconds, &start.frames));
    const bool haveLength = SUCCEEDED(track->GetLengthMSFT(&length.minutes, &length.seconds, &length.frames));
    if (haveStart) texts->start = MsfText(start);
    if (haveLength) texts->length = MsfText(length);
    if (haveStart && haveLength) texts->end = MsfText(MsfEnd(start, length));
    return complete && haveStart && haveLength;
}

TrackTexts TextsOf(IAudioTrack* track)
{
    TrackTexts texts;
    ReadTexts(track, &texts);
    return texts;
}

}  // namespace

CCoHollistra::CCoHollistra() = default;

CCoHollistra::~CCoHollistra()
{
    if (m_contextMenu) DestroyMenu(m_contextMenu);
    if (m_images) ImageList_Destroy(m_images);
    if (m_playerImages) ImageList_Destroy(m_playerImages);
}

HRESULT CCoHollistra::FinalConstruct()
{
    return com::Guarded("CCoHollistra::FinalConstruct", [&]() -> HRESULT {
        const DWORD context = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
        com::ComPtr<IObjectCreator> creator;
        HRESULT hr = creator.CoCreate(CLSID_CoDevices, IID_IObjectCreator, context);
        if (FAILED(hr)) return hr;
        com::ComPtr<IUnknown> made;
        if (FAILED(hr = creator->CreateObject(CLSID_CoAudioCDLayout, &made))) return hr;
        if (FAILED(hr = made.As(IID_IAudioCDLayout, &m_layout))) return hr;
        com::ComPtr<ICoAudioPlayer> player;
        if (FAILED(hr = player.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, context))) return hr;
        m_player.Attach(player);
        com::ComObject<CCoDeviceCallbackBuffer>* sink = nullptr;
        if (FAILED(hr = CCoDeviceCallbackBuffer::CreateInstance(&sink))) return hr;
        m_sink.Attach(sink);
        return S_OK;
    });
}

void CCoHollistra::FinalRelease()
{
    LogPrintf("%s FinalRelease", "CCoHollistra");
    if (m_decodeWindow && m_decodeWindow->IsWindow()) m_decodeWindow->Destroy();
    if (m_addingWindow && m_addingWindow->IsWindow()) m_addingWindow->Destroy();
    if (IsWindow()) Destroy();
}

// --- ILoadSave ---

STDMETHODIMP CCoHollistra::Load(ILoadableSection* section)
{
    if (!section) return E_POINTER;
    return com::Guarded("ILoadSave::Load", [&]() -> HRESULT {
        com::ComPtr<ILoadableSection> image;
        HRESULT hr = section->GetChildByName(com::Bstr("AudioImage"), &image);
        if (FAILED(hr)) return hr;
        m_modified = false;
        // An empty section is an empty disc.
        if (SUCCEEDED(image->InitializeChildrenPointer())) {
            com::ComPtr<ILoadableSection> child;
            while (SUCCEEDED(image->GetNextChild(&child)) && child) {
                BSTR title = nullptr, path = nullptr;
                child->LoadString(com::Bstr("Title"), &title);
                child->LoadString(com::Bstr("Path"), &path);
                const std::string titleText = title ? TextOf(title) : "", pathText = path ? TextOf(path) : "";
                // A track that cannot come back (a moved file, no title) is
                // skipped: the others still load, and the project stays
                // modified so that the loss is the user's to save.
                const unsigned before = TrackCount();
                if (titleText.empty() || pathText.empty() || FAILED(m_layout->AddTrack(com::Bstr(pathText))) ||
                    TrackCount() != before + 1) {
                    LogPrintf("Track skipped while loading: \"%s\" (%s)", titleText.c_str(), pathText.c_str());
                    m_modified = true;
                } else if (com::ComPtr<IAudioTrack> track = Track(before)) {
                    track->SetTitle(com::Bstr(titleText));
                }
                child.Reset();
            }
        }
        RefreshCount();
        UpdateCommands();
        Send(PCID_IMAGE_SIZE_CHANGED, {});
        return S_OK;
    });
}

STDMETHODIMP CCoHollistra::Save(ISaveableSection* section)
{
    if (!section) return E_POINTER;
    return com::Guarded("ILoadSave::Save", [&]() -> HRESULT {
        if (FAILED(section->SaveString(com::Bstr("class"), com::Bstr("CCoHollistra")))) return E_FAIL;
        com::ComPtr<ISaveableSection> image;
        HRESULT hr = section->CreateChild(com::Bstr("AudioImage"), &image);
        if (FAILED(hr)) return hr;
        const unsigned count = TrackCount();
        for (unsigned i = 0; i < count; ++i) {
            com::ComPtr<IAudioTrack> track = Track(i);
            if (!track) return E_FAIL;
            BSTR title = nullptr, path = nullptr;
            if (FAILED(hr = track->GetTitle(&title))) return hr;
            com::Bstr ownTitle;
            ownTitle.Attach(title);
            if (FAILED(hr = track->GetPath(&path))) return hr;
            com::Bstr ownPath;
            ownPath.Attach(path);
            com::ComPtr<ISaveableSection> entry;
            if (FAILED(hr = image->CreateChild(com::Bstr("Track"), &entry))) return hr;
            if (FAILED(hr = entry->SaveString(com::Bstr("Title"), ownTitle.Get()))) return hr;
            if (FAILED(hr = entry->SaveString(com::Bstr("Path"), ownPath.Get()))) return hr;
        }
        return S_OK;
    });
}

// --- commands from the project ---

HRESULT CCoHollistra::OnCommand(IUnknown*, REFCLSID, unsigned id, SAFEARRAY* data)
{
    switch (id) {
    case PCID_ACTIVE_CHANGED_NOTIFY: {
        unsigned long pane = 0, action = 0;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}});
        if (FAILED(hr)) return hr;
        Send(PCID_SET_ACTIVE_ACTION, {{VT_UI4, AUDIO_PANE}, {VT_UI4, 0xFFFFFFFEu}});
        // Posted: a file dialog must not run inside the panel's click.
        if ((action >= ID_ADD_TRACKS && action <= ID_MOVE_DOWN) || action == ID_ADD_AUDIO_FOLDER)
            PostMessage(WM_COMMAND, action, 0);
        UpdateCommands();
        return S_OK;
    }
    case PCID_SET_BUTTONS_POS:
    case PCID_SET_BUTTONS_STATE: {
        HRESULT result = S_OK;
        HandleNextBackCommand(id, data, &result);
        return result;
    }
    case PCID_ENABLE_UI: {
        unsigned long enable = 0;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &enable}});
        if (FAILED(hr)) return hr;
        m_uiDisabled = enable == 0;
        UpdateCommands();
        return S_OK;
    }
    case PCID_START:
        return StartDecode();
    case PCID_GET_IMAGE_SIZE: {
        ULONGLONG* size = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI8 | VT_BYREF, &size}});
        if (FAILED(hr)) return hr;
        if (!size) return E_POINTER;
        LONGLONG bytes = 0;
        hr = m_layout->GetImageSize(&bytes);
        if (SUCCEEDED(hr)) *size = ULONGLONG(bytes);
        return hr;
    }
    case PCID_GET_CONTENTS_TEXT: {
        BSTR* text = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_BSTR | VT_BYREF, &text}});
        if (FAILED(hr)) return hr;
        if (!text) return E_POINTER;
        *text = com::Bstr(ContentsText()).Detach();
        return S_OK;
    }
    case AECID_GET_AUDIO_LAYOUT: {
        IUnknown** out = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UNKNOWN | VT_BYREF, &out}});
        if (FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        return m_layout->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(out));
    }
    default:
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CCoHollistra::Send(unsigned id, std::initializer_list<CommandValue> values)
{
    if (values.size() == 0) return SendCommand(id, nullptr);
    CVariantSafearray data(ULONG(values.size()));
    if (!data.Create()) return E_OUTOFMEMORY;
    HRESULT hr = data.Prepare(values);
    return FAILED(hr) ? hr : SendCommand(id, data);
}

// --- the layout ---

unsigned CCoHollistra::TrackCount() const
{
    unsigned count = 0;
    return m_layout && SUCCEEDED(m_layout->GetTrackCount(&count)) ? count : 0;
}

com::ComPtr<IAudioTrack> CCoHollistra::Track(unsigned index) const
{
    com::ComPtr<IAudioTrack> track;
    if (m_layout) m_layout->GetTrack(index, &track);
    return track;
}

std::string CCoHollistra::ContentsText() const
{
    std::string contents;
    for (unsigned i = 0;; ++i) {
        com::ComPtr<IAudioTrack> track = Track(i);
        if (!track) break;
        const TrackTexts texts = TextsOf(track);
        contents += ContentsLine(i, texts.title, texts.start, texts.length);
    }
    return contents;
}

bool CCoHollistra::Decoding() const { return m_decodeWindow && m_decodeWindow->IsWindow() && m_decodeWindow->IsVisible(); }

// --- the window ---

// -1, not an HRESULT: only -1 makes the system fail the window's creation,
// and an editor that is not whole must not be shown.
LRESULT CCoHollistra::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    const HRESULT hr = com::Guarded("CCoHollistra::OnCreate", [&] { return CreateViews(); });
    if (SUCCEEDED(hr)) return 0;
    LogPrintf("The audio editor's window cannot be made (0x%08lX)", static_cast<unsigned long>(hr));
    if (m_sink) m_sink->SetTarget(nullptr);
    UnadviseEngineEvents(m_layout, &m_adviseCookie);
    return -1;
}

HRESULT CCoHollistra::CreateViews()
{
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    if (!CreateToolbars() || !CreateTrackList() || !CreatePlayerBar() || !CreateNextBackButtons(FALSE, TRUE))
        return E_FAIL;
    // Without the layout's events a decode would never end here, and the
    // project would wait for it with both its frames disabled.
    m_sink->SetTarget(m_hWnd);
    HRESULT hr = AdviseEngineEvents(m_layout, static_cast<_IMessageCallback*>(m_sink.Get()), &m_adviseCookie);
    if (FAILED(hr)) return hr;
    m_decodeWindow.reset(new CDecodeProgressDialog);
    if (!m_decodeWindow->Create(m_hWnd)) return E_FAIL;
    AddTaskPanelActions();
    m_contextMenu = LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDM_AUDIO_CONTEXT));
    CDropTargetRelay::Register(m_hWnd, this);
    DragAcceptFiles(m_hWnd, TRUE);
    UpdateCommands();
    return S_OK;
}

LRESULT CCoHollistra::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_player.Stop();
    StopTimer();
    if (m_sink) m_sink->SetTarget(nullptr);
    UnadviseEngineEvents(m_layout, &m_adviseCookie);
    RevokeDragDrop(m_hWnd);
    handled = FALSE;
    return 0;
}

bool CCoHollistra::CreateToolbars()
{
    const HINSTANCE module = com::ModuleInstance();
    static const int icons[] = {IDI_ADD_FOLDER, IDI_ADD_TRACKS, IDI_RENAME_TRACK, IDI_DELETE_TRACKS,
                                IDI_TRACK,      IDI_MOVE_UP,    IDI_MOVE_DOWN};
    static const ToolbarButton buttons[] = {{ID_ADD_AUDIO_FOLDER, 0}, {ID_ADD_TRACKS, 1}, {ID_RENAME_TRACK, 2},
                                            {ID_DELETE_TRACKS, 3},    {0, 0},             {ID_MOVE_UP, 5},
                                            {ID_MOVE_DOWN, 6}};
    if (!m_toolbar.Create(m_hWnd, module, icons, sizeof icons / sizeof icons[0], buttons,
                          sizeof buttons / sizeof buttons[0]))
        return false;
    m_rebarView.SubclassWindow(m_toolbar.Rebar());
    // The rows' icons: the same images as the toolbar's.
    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 10, 5);
    for (int id : icons) {
        HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_AddIcon(m_images, icon);
        if (icon) DestroyIcon(icon);
    }
    return true;
}

bool CCoHollistra::CreateTrackList()
{
    m_list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
                                 LVS_SHAREIMAGELISTS | LVS_EDITLABELS | LVS_OWNERDATA,
                             0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(IDC_TRACK_LIST), com::ModuleInstance(),
                             nullptr);
    if (!m_list) return false;
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    ListView_SetImageList(m_list, m_images, LVSIL_SMALL);
    const struct { unsigned text; int width; } columns[] = {
        {IDS_COLUMN_TITLE, 150}, {IDS_COLUMN_TRACK, 50}, {IDS_COLUMN_TYPE, 50}, {IDS_COLUMN_START, 100},
        {IDS_COLUMN_END, 100},   {IDS_COLUMN_LENGTH, 100}, {IDS_COLUMN_PATH, 150}};
    for (int i = 0; i < 7; ++i) {
        std::string text = AudioEditorText(columns[i].text);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = columns[i].width;
        column.pszText = &text[0];
        ListView_InsertColumn(m_list, i, &column);
    }
    int order[] = {1, 0, 2, 3, 4, 5, 6};
    ListView_SetColumnOrderArray(m_list, 7, order);
    return true;
}

void CCoHollistra::AddTaskPanelActions()
{
    // The project copies the icons it is given.
    auto iconOf = [](int id, int size) {
        return static_cast<HICON>(LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size,
                                             LR_DEFAULTCOLOR));
    };
    auto handle = [](HICON icon) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(icon)); };
    com::Bstr pane(AudioEditorText(IDS_AUDIO_PANE));
    HICON paneIcon = iconOf(IDI_AUDIO_PANE, 32);
    Send(PCID_ADD_PANE, {{VT_UI4, AUDIO_PANE}, {VT_BSTR, pane.Get()}, {VT_UI4, handle(paneIcon)}});
    if (paneIcon) DestroyIcon(paneIcon);
    const struct { unsigned id; int icon; } actions[] = {
        {ID_ADD_AUDIO_FOLDER, IDI_ADD_FOLDER}, {ID_ADD_TRACKS, IDI_ADD_TRACKS}, {ID_RENAME_TRACK, IDI_RENAME_TRACK},
        {ID_DELETE_TRACKS, IDI_DELETE_TRACKS}, {ID_MOVE_UP, IDI_MOVE_UP},       {ID_MOVE_DOWN, IDI_MOVE_DOWN}};
    for (const auto& a : actions) {
        com::Bstr caption(AudioEditorText(a.id));
        HICON icon = iconOf(a.icon, 16);
        Send(PCID_ADD_ACTION, {{VT_UI4, AUDIO_PANE}, {VT_UI4, a.id}, {VT_BSTR, caption.Get()}, {VT_UI4, handle(icon)}});
        if (icon) DestroyIcon(icon);
    }
}

// The rebar on top, the Back and Next buttons at the bottom, the player
// bar right above them, and the list in what is left.
LRESULT CCoHollistra::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client = GetClientRect();
    const int w = client.right;
    m_toolbar.Layout(w);
    const int top = m_toolbar.Height();
    const int playerTop = std::max(top, LayoutNextBackButtons() - int(PLAYER_BAR_HEIGHT));
    ::MoveWindow(m_playerBar.m_hWnd, 0, playerTop, w, PLAYER_BAR_HEIGHT, TRUE);
    ::MoveWindow(m_positionBar.m_hWnd, POSITION_BAR_LEFT, 0, std::max(0, w - int(POSITION_BAR_LEFT)),
                 PLAYER_BAR_HEIGHT, TRUE);
    ::MoveWindow(m_list, 0, top, w, std::max(0, playerTop - top), TRUE);
    return 0;
}

LRESULT CCoHollistra::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT r = GetClientRect();
    FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT CCoHollistra::OnRebarEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    CRebarToolbar::PaintBand(m_rebarView.m_hWnd, reinterpret_cast<HDC>(wParam));
    return 1;
}

// --- rows ---

LRESULT CCoHollistra::OnGetDispInfo(int, NMHDR* header, BOOL&)
{
    NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    LVITEMA& item = info->item;
    if (item.mask & LVIF_IMAGE) {
        item.iImage = 4;
        item.mask |= LVIF_DI_SETITEM;
    }
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0) return 0;
    const TrackTexts& texts = RowTexts(unsigned(item.iItem));
    char number[16];
    std::snprintf(number, sizeof number, "#%02i", item.iItem + 1);
    const std::string* columns[] = {&texts.title, nullptr, &texts.type, &texts.start, &texts.end, &texts.length, &texts.path};
    if (item.iSubItem == 1) CopyInto(item.pszText, item.cchTextMax, number);
    else if (item.iSubItem >= 0 && item.iSubItem < 7) CopyInto(item.pszText, item.cchTextMax, *columns[item.iSubItem]);
    else CopyInto(item.pszText, item.cchTextMax, "");
    return 0;
}

LRESULT CCoHollistra::OnGetInfoTip(int, NMHDR* header, BOOL&)
{
    NMLVGETINFOTIPA* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
    const TrackTexts& texts = RowTexts(unsigned(tip->iItem));  // the row as the list shows it
    char text[2048];
    std::snprintf(text, sizeof text, "%s : #%02i\n%s : %s\n%s : %s\n%s : %s\n%s : %s\n%s : %s",
                  AudioEditorText(IDS_COLUMN_TRACK).c_str(), tip->iItem + 1, AudioEditorText(IDS_COLUMN_TITLE).c_str(),
                  texts.title.c_str(), AudioEditorText(IDS_COLUMN_TYPE).c_str(), texts.type.c_str(),
                  AudioEditorText(IDS_COLUMN_START).c_str(), texts.start.c_str(),
                  AudioEditorText(IDS_COLUMN_LENGTH).c_str(), texts.length.c_str(),
                  AudioEditorText(IDS_COLUMN_PATH).c_str(), texts.path.c_str());
    CopyInto(tip->pszText, tip->cchTextMax, text);
    return 0;
}

const TrackTexts& CCoHollistra::RowTexts(unsigned row) const
{
    if (row < m_rowTexts.size() && m_rowTexts[row]) return *m_rowTexts[row];
    // Inside a message another thread sent (another program reading the
    // list) the runtime refuses every call to the engine: the row is left
    // for the repaint that follows, and that refusal counts as no retry.
    const bool inSentMessage = ::InSendMessage() != FALSE;
    auto texts = std::make_unique<TrackTexts>();
    if (inSentMessage || !ReadTexts(Track(row), texts.get())) {
        // Not kept: the list paints again once this message is done.
        m_partialTexts = *texts;
        const bool retry = inSentMessage || m_textRetries < kTextRetries;
        if (retry && !m_repaintPosted && ::IsWindow(m_hWnd)) {
            m_repaintPosted = true;
            if (!inSentMessage) ++m_textRetries;
            ::PostMessageA(m_hWnd, WM_REPAINT_ROWS, 0, 0);
        }
        return m_partialTexts;
    }
    if (row >= m_rowTexts.size()) m_rowTexts.resize(row + 1);
    m_rowTexts[row] = std::move(texts);
    return *m_rowTexts[row];
}

void CCoHollistra::ForgetRowTexts() const
{
    m_rowTexts.clear();
    m_textRetries = 0;
}

LRESULT CCoHollistra::OnRepaintRows(UINT, WPARAM, LPARAM, BOOL&)
{
    m_repaintPosted = false;
    if (m_list) ::InvalidateRect(m_list, nullptr, TRUE);
    return 0;
}

std::string CCoHollistra::ToolbarTip(unsigned id) const
{
    switch (id) {
    case ID_ADD_AUDIO_FOLDER: case ID_ADD_TRACKS: case ID_RENAME_TRACK: case ID_DELETE_TRACKS:
    case ID_MOVE_UP: case ID_MOVE_DOWN: case ID_PLAY: case ID_PAUSE: case ID_STOP: case ID_NEXT_TRACK:
    case ID_PREV_TRACK:
        return AudioEditorText(id);
    default:
        return "";
    }
}

// Tooltips cut to the notification's own buffer.
LRESULT CCoHollistra::OnToolbarTipA(int, NMHDR* header, BOOL& handled)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const std::string tip = ToolbarTip(unsigned(info->hdr.idFrom));
    if (tip.empty()) {
        handled = FALSE;
        return 0;
    }
    CopyInto(info->szText, sizeof info->szText, tip);
    info->lpszText = info->szText;
    return 0;
}

LRESULT CCoHollistra::OnToolbarTipW(int, NMHDR* header, BOOL& handled)
{
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const std::string tip = ToolbarTip(unsigned(info->hdr.idFrom));
    if (tip.empty()) {
        handled = FALSE;
        return 0;
    }
    MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, sizeof info->szText / sizeof info->szText[0]);
    info->szText[sizeof info->szText / sizeof info->szText[0] - 1] = 0;
    info->lpszText = info->szText;
    return 0;
}
