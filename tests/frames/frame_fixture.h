// The burning frame under test: Drubeck's CoDrubeck made by class
// identifier, bound to real common services, partnered with a stub project
// and shown in a plain top-level window of its own.
#pragma once
#include "common.h"
#include "engine.h"
#include "files.h"
#include "hosting.h"
#include "stub_project.h"
#include <com/object.h>
#include <com/ptr.h>
#include <window/window_impl.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A top-level window whose one child fills it.
class CHostWindow : public wnd::WindowImpl<CHostWindow> {
public:
    WND_MSG_MAP_BEGIN(CHostWindow)
        WND_MESSAGE(WM_SIZE, OnSize)
    WND_MSG_MAP_END()
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
};

// The logger, translator and settings of Common.dll over files of a fresh
// folder; the application's title is "Tavell Burner".
class CTestServices {
public:
    CTestServices();
    HRESULT BindInto(IUnknown* component);
    // What the components logged.
    std::string LogText() const { return ReadFileBytes(m_folder.File("frames.log")); }

private:
    TempFolder m_folder;
    com::ComPtr<ILogger> m_logger;
    com::ComPtr<ITranslator> m_translator;
    com::ComPtr<ISettings> m_settings;
};

class CFrameUnderTest {
public:
    // Geometry of the Back and Next buttons sent before the window is made.
    struct Buttons {
        unsigned marginX, marginY, width, height;
    };
    CFrameUnderTest(CTestServices& services, int left, const Buttons* buttons = nullptr);
    ~CFrameUnderTest();

    bool Made() const { return m_window != nullptr; }
    HWND Window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    CStubProject& Project() { return *m_project; }
    ICommandPerformer* Performer() { return m_performer; }

    // A command from the project.
    HRESULT Command(unsigned int id, SAFEARRAY* data = nullptr);
    HRESULT Command(unsigned int id, std::initializer_list<long> numbers);
    void Click(int id);
    void Check(int id, bool checked);
    // Selects a drive (by its letter) or a speed item as the user would.
    bool SelectDrive(char letter);
    void SelectSpeedItem(int item);
    std::vector<std::string> ComboItems(int id) const;
    std::string ComboText(int id) const;

    std::vector<std::string> Log() const;
    bool Logged(const std::string& line) const;
    size_t Count(const std::string& line) const;
    int Position(int barId) const;

private:
    HWND m_host = nullptr;
    std::unique_ptr<CHostWindow> m_hostWindow;
    com::ComPtr<CStubProject> m_project;
    com::ComPtr<IUnknown> m_frame;
    com::ComPtr<ICommandPerformer> m_performer;
    HWND m_window = nullptr;
};

// Pumps the thread's messages until `done` holds (looked at after each
// message) or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Takes a screenshot of the display into $TB_FRAME_SHOTS/<name>.png when
// that folder (a Unix path) is given; without waiting for it, the shot is
// taken while the caller goes on.
void Screenshot(const std::string& name, bool wait = true);
