// CCoQuorrel, the disc-copy project (its source page reads the source disc
// into a temporary image), and CCoEllidra, the image-burn project (its
// source page picks an existing image file): the framework's project with
// the task panel, the source page frame and the burning frame, the burn of
// an image between them, and a size report of nothing.
#pragma once
#include "project_impl.h"
#include "source_project_classes.h"
#include "source_project_routes.h"

// What both types add to the framework; T gives its Type() and whether it
// relays the source page's device question.
template <class T, const CLSID* Clsid>
class CSourceProject : public CProjectImpl<T, Clsid> {
public:
    CSourceProject() : m_routes(*this, T::RELAYS_DEVICE) {}
    const CSourceProjectRoutes& Routes() const { return m_routes; }

protected:
    using CProjectBase::OnTypeCommand;
    HRESULT OnTypeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                          bool& handled) override
    {
        return m_routes.OnCommand(sender, senderClsid, id, data, handled);
    }
    // The space bar shows no size for an image.
    void OnActivating() override { SendEmptySizeReport(*this); }

private:
    static void SendEmptySizeReport(CProjectBase& project);
    CSourceProjectRoutes m_routes;
};

class CCoQuorrel : public CSourceProject<CCoQuorrel, &CLSID_CoQuorrel> {
public:
    enum : bool { RELAYS_DEVICE = true };
    static const ProjectTypeInfo& Type();
};

class CCoEllidra : public CSourceProject<CCoEllidra, &CLSID_CoEllidra> {
public:
    enum : bool { RELAYS_DEVICE = false };
    static const ProjectTypeInfo& Type();

protected:
    // The source page frame shows its image-source page.
    HRESULT GetOwnWindowMode(FrameRole role, long* mode) override;
};
