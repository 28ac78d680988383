// CCoHollistra: the audio editor, the page of an audio-CD project where the
// user lists the tracks of the CD. The tracks live in the engine's audio CD
// layout, made through the engine's object creator; the list is virtual and
// draws each row from the layout. A preview player in the lower bar plays a
// track through the engine's shared player. On PCID_START the layout
// decodes the tracks; its events come through the editor's own sink.
#pragma once
#include "audio_project_classes.h"
#include "common.h"
#include "engine.h"
#include "hosting.h"
#include "preview_player.h"
#include <frames/common/device_callback_buffer.h>
#include <frames/common/editor_pane_impl.h>
#include <frames/common/next_back_buttons.h>
#include <frames/common/rebar_toolbar.h>
#include <shared/command_performer.h>
#include <shared/sys_service_binder.h>
#include <shared/translator.h>
#include <shared/variant_safearray.h>
#include <com/object.h>
#include <com/ptr.h>
#include <window/contained_window.h>
#include <window/window_impl.h>
#include <memory>
#include <string>
#include <vector>

class CDecodeProgressDialog;
class CFilesProcessingDialog;

enum : unsigned {
    ID_ADD_TRACKS = 8201,
    ID_RENAME_TRACK = 8202,
    ID_DELETE_TRACKS = 8203,
    ID_MOVE_UP = 8204,
    ID_MOVE_DOWN = 8205,
    ID_PLAY = 8212,
    ID_PAUSE = 8213,
    ID_STOP = 8214,
    ID_NEXT_TRACK = 8215,
    ID_PREV_TRACK = 8216,
    ID_ADD_AUDIO_FOLDER = 8218,
    ID_SELECT_ALL = 0xE12A,
    AUDIO_PANE = 8193,
    IDC_TRACK_LIST = 1600,
    IDC_POSITION_BAR = 1800,
    PLAYER_TIMER = 111,
    PLAYER_TICK_MS = 500,
    PLAYER_BAR_HEIGHT = 26,
    POSITION_BAR_LEFT = 125,
    MAX_TRACKS = 99,
};

// The texts of one row of the list.
struct TrackTexts {
    std::string title, type, start, end, length, path;
};

// The format of a drag of the list's own tracks: the payload (the frame's
// window) is not read, only the list's selection moves.
enum : CLIPFORMAT { CF_AUDIO_TRACKS = 0x1021 };

class CCoHollistra : public com::ObjectRoot<com::SingleThreadModel>,
                     public CSysServiceBinderImpl<CCoHollistra, &CLSID_CoHollistra>,
                     public CCommandPerformerImpl<CCoHollistra, &CLSID_CoHollistra>,
                     public CEditorPaneImpl<CCoHollistra>,
                     public IDropTarget,
                     public IDropSource,
                     public CTranslator<CCoHollistra, &CLSID_CoHollistra>,
                     public CNextBackButtonsCreator<CCoHollistra>,
                     public wnd::WindowImpl<CCoHollistra> {
public:
    COM_INTERFACES_BEGIN(CCoHollistra)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(ILoadSave)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(IDropSource)
        COM_INTERFACE(IDropTarget)
    COM_INTERFACES_END()

    // The engine's layout event numbers as window messages.
    enum : UINT {
        WM_DECODE_BEGIN = 2024 + LM_DECODEBEGIN,
        WM_DECODE_END = 2024 + LM_DECODEEND,
        WM_DECODE_PROGRESS = 2024 + LM_DECODEPROGRESS,
        WM_REPAINT_ROWS = WM_APP + 1,  // a paint read some row's texts only in part
    };

    WND_CLASS(nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))
    WND_MSG_MAP_BEGIN(CCoHollistra)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_KEYDOWN, OnKeyDown)
        WND_MESSAGE(WM_TIMER, OnTimer)
        WND_MESSAGE(WM_PASTE, OnPaste)
        WND_MESSAGE(WM_DROPFILES, OnDropFiles)
        WND_MESSAGE(WM_DECODE_BEGIN, OnDecodeBegin)
        WND_MESSAGE(WM_DECODE_END, OnDecodeEnd)
        WND_MESSAGE(WM_DECODE_PROGRESS, OnDecodeProgress)
        WND_MESSAGE(WM_REPAINT_ROWS, OnRepaintRows)
        WND_COMMAND(ID_ADD_AUDIO_FOLDER, OnCommandId)
        WND_COMMAND(ID_ADD_TRACKS, OnCommandId)
        WND_COMMAND(ID_RENAME_TRACK, OnCommandId)
        WND_COMMAND(ID_DELETE_TRACKS, OnCommandId)
        WND_COMMAND(ID_MOVE_UP, OnCommandId)
        WND_COMMAND(ID_MOVE_DOWN, OnCommandId)
        WND_COMMAND(ID_SELECT_ALL, OnCommandId)
        WND_COMMAND(ID_PLAY, OnPlayerCommand)
        WND_COMMAND(ID_PAUSE, OnPlayerCommand)
        WND_COMMAND(ID_STOP, OnPlayerCommand)
        WND_COMMAND(ID_NEXT_TRACK, OnPlayerCommand)
        WND_COMMAND(ID_PREV_TRACK, OnPlayerCommand)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_GETINFOTIPA, OnGetInfoTip)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_ENDLABELEDITA, OnEndLabelEdit)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_BEGINLABELEDITA, OnBeginLabelEdit)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_KEYDOWN, OnListKeyDown)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_BEGINDRAG, OnBeginDrag)
        WND_NOTIFY(IDC_TRACK_LIST, LVN_ITEMCHANGED, OnListChanged)
        WND_NOTIFY(IDC_TRACK_LIST, NM_CLICK, OnListChanged)
        WND_NOTIFY(IDC_TRACK_LIST, NM_RCLICK, OnRightClick)
        WND_NOTIFY(IDC_TRACK_LIST, NM_DBLCLK, OnDoubleClick)
        WND_NOTIFY(IDC_TRACK_LIST, NM_CUSTOMDRAW, OnCustomDraw)
        WND_NOTIFY(IDC_POSITION_BAR, NM_RELEASEDCAPTURE, OnSeekEnd)
        WND_NOTIFY_CODE(TTN_GETDISPINFOA, OnToolbarTipA)
        WND_NOTIFY_CODE(TTN_GETDISPINFOW, OnToolbarTipW)
        WND_CHAIN(CNextBackButtonsCreator<CCoHollistra>)
        WND_CHAIN(CTranslator<CCoHollistra, &CLSID_CoHollistra>)
    WND_ALT_MAP(1)
        WND_MESSAGE(WM_ERASEBKGND, OnRebarEraseBackground)
    WND_ALT_MAP(2)
        WND_MESSAGE(WM_LBUTTONDOWN, OnSeekStart)
    WND_ALT_MAP(3)
        WND_NOTIFY(IDC_POSITION_BAR, NM_RELEASEDCAPTURE, OnSeekEnd)
    WND_MSG_MAP_END()

    CCoHollistra();
    ~CCoHollistra();
    HRESULT FinalConstruct();
    void FinalRelease();

    // ILoadSave (the modified flag and IOwnWindow: CEditorPaneImpl)
    STDMETHODIMP Load(ILoadableSection* section) override;
    STDMETHODIMP Save(ISaveableSection* section) override;

    // IDropTarget: audio files and folders from the shell, and the list's
    // own tracks.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

    // IDropSource: the drag of the list's own tracks.
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

    // ICommandPerformer's dispatch.
    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data);

    // What tests see of the editor.
    IAudioCDLayout* Layout() const { return m_layout; }
    HWND TrackList() const { return m_list; }
    HWND PositionBar() const { return m_positionBar.m_hWnd; }
    const CRebarToolbar& Toolbar() const { return m_toolbar; }
    HWND PlayerToolbar() const { return m_playerBar.m_hWnd; }
    HMENU ContextMenu() const { return m_contextMenu; }
    bool Modified() const { return m_modified; }
    bool Decoding() const;
    const CPreviewPlayer& Player() const { return m_player; }
    int DropIndex() const { return m_dropIndex; }
    // Adds the paths (folders walked) before `index`, -1 appending, as every
    // way in does; false when adding is refused now.
    bool AddPaths(std::vector<std::string> paths, int index);
    // What runs the system's drag loop for the list's own tracks; tests put
    // their own loop in its place.
    using DragLoop = HRESULT (*)(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect, void* context);
    void SetDragLoop(DragLoop loop, void* context)
    {
        m_dragLoop = loop;
        m_dragLoopContext = context;
    }

private:
    friend class CNextBackButtonsCreator<CCoHollistra>;
    friend class CEditorPaneImpl<CCoHollistra>;
    // Edits wait while the decode runs or the project has the UI disabled.
    bool Editable() const { return !Decoding() && !m_uiDisabled && !m_adding; }
    HRESULT Send(unsigned id, std::initializer_list<CommandValue> values);
    unsigned TrackCount() const;
    com::ComPtr<IAudioTrack> Track(unsigned index) const;
    std::vector<unsigned long> SelectedRows() const;
    void SelectRows(unsigned first, unsigned count);
    void RefreshCount();
    void ShowCount(unsigned count);  // the layout's count, when the caller knows it
    // A row's texts, read from the layout once and kept until an edit
    // forgets them: the list asks for each of its seven cells at every
    // paint, every read crosses to the engine, and a call into the engine
    // dispatches messages and is refused inside some of them (a message
    // sent from another thread while a call waits). A read that fails in
    // part is not kept and the list paints again, a few times at most.
    const TrackTexts& RowTexts(unsigned row) const;
    void ForgetRowTexts() const;
    LRESULT OnRepaintRows(UINT, WPARAM, LPARAM, BOOL&);
    void Changed();  // modified, and the project told the size changed

    // The window (audio_editor_frame.cpp).
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    HRESULT CreateViews();  // the child windows and the engine's events
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRebarEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    bool CreateToolbars();
    bool CreateTrackList();
    void AddTaskPanelActions();
    LRESULT OnGetDispInfo(int, NMHDR*, BOOL&);
    LRESULT OnGetInfoTip(int, NMHDR*, BOOL&);
    LRESULT OnToolbarTipA(int, NMHDR*, BOOL&);
    LRESULT OnToolbarTipW(int, NMHDR*, BOOL&);
    std::string ToolbarTip(unsigned id) const;
    std::string ContentsText() const;

    // The commands and their states (audio_editor_commands.cpp).
    LRESULT OnCommandId(WORD, WORD id, HWND, BOOL&);
    LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnListKeyDown(int, NMHDR*, BOOL&);
    LRESULT OnListChanged(int, NMHDR*, BOOL&);
    LRESULT OnRightClick(int, NMHDR*, BOOL&);
    LRESULT OnBeginLabelEdit(int, NMHDR*, BOOL&);
    LRESULT OnEndLabelEdit(int, NMHDR*, BOOL&);
    bool OnKey(WPARAM key);
    void AddFilesFromDialog();
    void AddFolderFromDialog();
    void DeleteSelection();
    void MoveSelection(bool up);
    void MoveRows(const std::vector<unsigned long>& rows, unsigned target, unsigned firstAfter);
    void UpdateCommands();

    // Drops and paste (audio_editor_drops.cpp).
    LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDropFiles(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBeginDrag(int, NMHDR*, BOOL&);
    LRESULT OnCustomDraw(int, NMHDR*, BOOL&);
    int DropIndexAt(POINTL screen) const;
    void SetDropIndex(int index);
    RECT MarkBand(int index) const;

    // The decode (audio_editor_decode.cpp).
    LRESULT OnDecodeBegin(UINT, WPARAM, LPARAM, BOOL&);
    void ReadDecodeTexts(unsigned track);
    LRESULT OnDecodeEnd(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDecodeProgress(UINT, WPARAM, LPARAM, BOOL&);
    HRESULT StartDecode();

    // The preview player (audio_editor_player.cpp).
    bool CreatePlayerBar();
    LRESULT OnPlayerCommand(WORD, WORD id, HWND, BOOL&);
    LRESULT OnDoubleClick(int, NMHDR*, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSeekStart(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSeekEnd(int, NMHDR*, BOOL&);
    void PlayRow(int row);
    void ShowPlayingRow(int row);
    void StopTimer();
    void UpdatePlayerCommands();

    com::ComPtr<IAudioCDLayout> m_layout;
    CPreviewPlayer m_player;
    com::ComPtr<com::ComObject<CCoDeviceCallbackBuffer>> m_sink;
    DWORD m_adviseCookie = 0;
    wnd::ContainedWindow m_rebarView{this, 1};
    wnd::ContainedWindow m_positionBar{this, 2};
    wnd::ContainedWindow m_playerBar{this, 3};
    HWND m_list = nullptr;
    CRebarToolbar m_toolbar;
    HIMAGELIST m_playerImages = nullptr;
    HIMAGELIST m_images = nullptr;
    HMENU m_contextMenu = nullptr;
    std::unique_ptr<CDecodeProgressDialog> m_decodeWindow;
    std::unique_ptr<CFilesProcessingDialog> m_addingWindow;
    int m_dropIndex = -1;
    static constexpr unsigned kTextRetries = 3;
    mutable std::vector<std::unique_ptr<TrackTexts>> m_rowTexts;  // null where not read
    mutable TrackTexts m_partialTexts;  // a read that failed in part, for its cell
    mutable unsigned m_textRetries = 0;  // repaints asked for since the last edit
    mutable bool m_repaintPosted = false;
    bool m_uiDisabled = false;
    bool m_adding = false;
    bool m_dropAccepted = false;
    bool m_ownDrag = false;           // a drag of this list's own tracks runs
    bool m_dropIsOwnTracks = false;   // the drag over the list carries CF_AUDIO_TRACKS
    int m_decodeTrack = -1;           // the track the decode reported last
    unsigned m_decodeCount = 0;       // the layout's tracks, read at each track's first report
    std::unique_ptr<std::string> m_decodeTitle;  // that track's title, once read
    bool m_decodeCancelled = false;   // the stop asked for has been passed to the layout
    bool m_decodeRunning = false;     // from a started Decode to its end event
    DragLoop m_dragLoop = nullptr;
    void* m_dragLoopContext = nullptr;
};
