// CSourceProjectRoutes: the commands of the disc-copy and image-burn
// projects between the source page (the Pelgrave frame) and the burning
// frame: the burn flow of an image file, the page's enabled state passed on
// to both pages, and the answers to the burning frame's questions. The two
// types differ only in the device relay.
#pragma once
#include "burn_flow.h"

class CProjectBase;

class CSourceProjectRoutes {
public:
    // `relaysDevice`: the source page's SFCID_GET_CURRENT_DEVICE_ID reaches
    // the burning frame (the disc copy); else it is not handled.
    CSourceProjectRoutes(CProjectBase& project, bool relaysDevice);

    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data, bool& handled);

    const CBurnFlow& BurnFlow() const { return m_burnFlow; }
    // The image path the burning frame gets (empty before the first report).
    const std::string& ImagePath() const { return m_image.Path(); }

private:
    bool FromSource(IUnknown* sender) const;
    bool FromBurner(IUnknown* sender) const;
    // PCID_ENABLE_UI from the source page: to the page, then the burner.
    HRESULT PassEnableUI(SAFEARRAY* data);
    HRESULT RelayDeviceId(SAFEARRAY* data);

    CProjectBase& m_project;
    const bool m_relaysDevice;
    CPathBurnSource m_image;
    CBurnFlow m_burnFlow;
};
