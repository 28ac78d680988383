// A project of the test type inside a stand-in main frame, made as the
// start module makes one: created by class, bound to the services, its
// window created in the MDI client.
#pragma once
#include <gtest/gtest.h>
#include "dialog_driver.h"
#include "main_frame_standin.h"
#include "stub_components.h"
#include "test_project_type.h"
#include "test_services.h"
#include "project_ids.h"
#include "project_ui.h"
#include <shared/recent_file_list.h>
#include <com/registry.h>
#include <memory>

class ProjectTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetScripts();
        com::DeleteRegTree(HKEY_CURRENT_USER, RecentKey());
        frame = std::make_unique<CMainFrameStandIn>();
    }
    void TearDown() override
    {
        frame.reset();
        projects.clear();
        CMainFrameStandIn::Pump();
    }

    static std::string RecentKey() { return "SOFTWARE\\Tavell software\\" + TestAppTitle() + "\\Recent Document List"; }

    // Creates a project of type T; null (and `hr` set) when its creation fails.
    template <class T = CCoTestProject>
    CProjectBase* Create(HRESULT* result = nullptr)
    {
        com::ComPtr<IProject> project;
        HRESULT hr = com::CreateObject<T>(IID_IProject, reinterpret_cast<void**>(&project));
        if (result) *result = hr;
        if (FAILED(hr)) return nullptr;
        com::ComPtr<ISysServiceBinder> binder;
        project.As(IID_ISysServiceBinder, &binder);
        binder->BindLogger(static_cast<ILogger*>(services.logger));
        binder->BindSettings(static_cast<ISettings*>(services.settings));
        binder->BindTranslator(static_cast<ITranslator*>(services.translator));
        projects.push_back(project);
        return static_cast<CProjectBase*>(project.Get());
    }

    // Creates a project and its window; the window's HRESULT in `result`.
    template <class T = CCoTestProject>
    CProjectBase* Open(HRESULT* result = nullptr)
    {
        CProjectBase* project = Create<T>(result);
        if (!project) return nullptr;
        HRESULT hr = frame->OpenChild(project);
        if (result) *result = hr;
        CMainFrameStandIn::Pump();
        return SUCCEEDED(hr) ? project : nullptr;
    }

    static ULONG RefCount(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }

    // Packs a command's values as a frame does and sends it as `sender`.
    static HRESULT SendAs(CProjectBase* project, IUnknown* sender, unsigned id, SAFEARRAY* data = nullptr)
    {
        return project->InvokeCommand(sender, GUID_NULL, id, data);
    }

    static std::vector<std::string> MenuTexts(HMENU popup)
    {
        std::vector<std::string> texts;
        int count = GetMenuItemCount(popup);
        for (int i = 0; i < count; ++i) {
            char text[256] = "";
            MENUITEMINFOA info = {sizeof info, MIIM_FTYPE | MIIM_ID | MIIM_STRING};
            info.dwTypeData = text;
            info.cch = sizeof text;
            GetMenuItemInfoA(popup, i, TRUE, &info);
            if (info.fType & MFT_SEPARATOR)
                texts.push_back("-");
            else
                texts.push_back(std::to_string(info.wID) + ":" + text);
        }
        return texts;
    }

    static UINT State(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

    TestServices services;
    StubClassRegistration classes;
    std::unique_ptr<CMainFrameStandIn> frame;
    std::vector<com::ComPtr<IProject>> projects;
};
