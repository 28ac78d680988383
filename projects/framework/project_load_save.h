// CProjectLoadSave: a project in one project save file. The project's
// section (named by the project type's class identifier) holds the window
// parameters, and one child section per frame that offers ILoadSave holds
// what that frame writes. Also Save As with its file dialog, the failure
// box of a save, the recent-file list and the main window's notice.
#pragma once
#include "common.h"
#include "hosting.h"
#include <string>

class CProjectBase;

class CProjectLoadSave {
public:
    explicit CProjectLoadSave(CProjectBase& project) : m_project(project) {}

    // Saves to the project's path; Save As when it has none. Always ends
    // with the post-save step.
    HRESULT Save();
    // Asks for a file, then saves there; 0x8010006E when cancelled. On a
    // failure the old path and title stay.
    HRESULT SaveAs();
    // Loads `path`, which becomes the project's path whether or not the
    // load succeeds.
    HRESULT LoadImpl(const std::string& path);

    // The Save As dialog's filter, NUL-separated, ending in two NULs.
    std::string FileFilter() const;

private:
    HRESULT CreateLoadSave(const std::string& path, bool forWriting, ILoadSaveImpl** file);
    HRESULT SaveFrames(ISaveableSection* section);
    HRESULT LoadFrames(ILoadableSection* section);
    HRESULT FrameSaveData(REFCLSID clsid, ILoadSave* frame, ISaveableSection* section);
    HRESULT FrameLoadData(REFCLSID clsid, ILoadSave* frame, ILoadableSection* section);
    HRESULT PostSaveFrames(ISaveableSection* section);
    HRESULT PostLoadFrames(ILoadableSection* section);
    void PostSave(HRESULT hr, const std::string& path);
    // The frames that offer ILoadSave, with their class identifiers.
    struct LoadSaveFrame {
        const CLSID* clsid;
        ILoadSave* frame;  // one reference
    };
    int GetLoadSaveFrames(LoadSaveFrame frames[2]);
    static void ReleaseFrames(LoadSaveFrame frames[2], int count);

    CProjectBase& m_project;
};
