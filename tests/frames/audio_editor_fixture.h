// The real audio editor hosted in an audio-CD project whose task panel and
// burning frame are stubs, against the running engine, and what the tests
// do to it as a user would.
#pragma once
#include "project_fixture.h"
#include "stub_project.h"
#include "audio_editor_frame.h"
#include "audio_fixtures.h"
#include "audio_project.h"
#include "dialog_driver.h"
#include "files.h"
#include "load_save.h"
#include <com/bstr.h>
#include <com/server.h>
#include <com/text.h>
#include <shlobj.h>
#include <shellapi.h>
#include "drubeck.h"
#include <cstring>

// A CF_HDROP block as the shell makes it: ANSI names.
inline HGLOBAL AudioDropBlock(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
    DROPFILES* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(bytes + sizeof(DROPFILES));
    for (const std::string& p : paths) {
        std::memcpy(names, p.c_str(), p.size() + 1);
        names += p.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

// Stands between the editor and its project: keeps the numbers of every
// command the editor sends and passes the command on as it came.
class CCommandTap : public com::ObjectRoot<com::SingleThreadModel>, public ICommandPerformer {
public:
    COM_INTERFACES_BEGIN(CCommandTap)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    STDMETHODIMP SetPartnerNoAddRef(IUnknown*) override { return S_OK; }
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data) override
    {
        sent.push_back(RecordCommand(id, data));
        return project ? project->InvokeCommand(sender, senderClsid, id, data) : S_OK;
    }

    // The numbers of each command `id` sent, in order.
    std::vector<std::vector<long>> Sent(unsigned id) const
    {
        std::vector<std::vector<long>> found;
        for (const RecordedCommand& s : sent)
            if (s.id == id) found.push_back(s.numbers);
        return found;
    }

    ICommandPerformer* project = nullptr;  // held by the test
    std::vector<RecordedCommand> sent;
};

class AudioEditorTest : public ProjectTest {
protected:
    void SetUp() override
    {
        ProjectTest::SetUp();
        cdWav = files.File("cd sound.wav");
        monoWav = files.File("mono 22k.wav");
        WriteFileBytes(cdWav, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 2, &pcm));
        WriteFileBytes(monoWav, audio_fixtures::ToneWav(22050, 1, 16, 22050 * 3 / 2, &pcm));
        mp3 = audio_fixtures::EncodedFolder() + "tagged.mp3";
        ogg = audio_fixtures::EncodedFolder() + "stereo.ogg";
        for (std::string* path : {&mp3, &ogg})
            for (char& c : *path)
                if (c == '/') c = '\\';
        junk = files.File("not audio.wav");
        WriteFileBytes(junk, "this is no sound");
    }

    CCoHollistra* OpenEditor()
    {
        project = Open<CCoSunnavar>();
        if (!project) return nullptr;
        com::ComPtr<IOwnWindow> own;
        if (FAILED(own.QueryFrom(project->FirstFrame(), IID_IOwnWindow))) return nullptr;
        CCoHollistra* editor = static_cast<CCoHollistra*>(own.Get());
        CMainFrameStandIn::Pump();
        return editor;
    }

    // Puts a tap between the editor and its project.
    CCommandTap* TapCommands(CCoHollistra* editor)
    {
        com::ComPtr<ICommandPerformer> tap;
        com::CreateObject<CCommandTap>(IID_ICommandPerformer, reinterpret_cast<void**>(&tap));
        taps.push_back(tap);
        CCommandTap* own = static_cast<CCommandTap*>(tap.Get());
        own->project = static_cast<ICommandPerformer*>(project);
        editor->SetPartnerNoAddRef(tap);
        return own;
    }

    static HWND WindowOf(CCoHollistra* editor)
    {
        HWND window = nullptr;
        editor->GetOwnWindow(&window);
        return window;
    }

    static void Paste(CCoHollistra* editor, const std::vector<std::string>& paths)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_HDROP, AudioDropBlock(paths));
        CloseClipboard();
        SendMessageA(WindowOf(editor), WM_PASTE, 0, 0);
    }

    static std::string RowText(CCoHollistra* editor, int row, int column)
    {
        char text[512] = "";
        ListView_GetItemText(editor->TrackList(), row, column, text, sizeof text);
        return text;
    }

    static std::vector<std::string> Titles(CCoHollistra* editor)
    {
        std::vector<std::string> titles;
        for (int row = 0; row < ListView_GetItemCount(editor->TrackList()); ++row) titles.push_back(RowText(editor, row, 0));
        return titles;
    }

    static void SelectRows(CCoHollistra* editor, std::initializer_list<int> rows)
    {
        HWND list = editor->TrackList();
        // The mark first, as a click sets it before the rows change.
        ListView_SetSelectionMark(list, rows.size() ? *rows.begin() : -1);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row : rows) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        CMainFrameStandIn::Pump();
    }

    static std::vector<int> Selected(CCoHollistra* editor)
    {
        std::vector<int> rows;
        for (int row = ListView_GetNextItem(editor->TrackList(), -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(editor->TrackList(), row, LVNI_SELECTED))
            rows.push_back(row);
        return rows;
    }

    static HRESULT Command(CCoHollistra* editor, unsigned id, std::initializer_list<CommandValue> values = {})
    {
        CVariantSafearray data(ULONG(values.size() ? values.size() : 1));
        SAFEARRAY* packed = nullptr;
        if (values.size()) {
            data.Create();
            data.Prepare(values);
            packed = data;
        }
        com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(editor));
        return editor->InvokeCommand(self, GUID_NULL, id, packed);
    }

    // The last space-bar notice the main frame got.
    bool LastSizeNotice(NMSIZEBARUPDATE* out) const
    {
        for (auto n = frame->notices.rbegin(); n != frame->notices.rend(); ++n)
            if (n->bytes.size() == sizeof(NMSIZEBARUPDATE)) {
                std::memcpy(out, n->bytes.data(), sizeof *out);
                return true;
            }
        return false;
    }

    LocalClassRegistration editorClass{CLSID_CoHollistra, com::Creator<CCoHollistra>};  // the real editor
    StubClassRegistration audioClasses{CLSID_CoPanelCtrl, CLSID_StubEditor, CLSID_CoDrubeck};
    TempFolder files;
    std::vector<com::ComPtr<ICommandPerformer>> taps;
    CProjectBase* project = nullptr;
    std::string cdWav, monoWav, mp3, ogg, junk;
    std::vector<int16_t> pcm;  // the samples of the last tone written
};
