// CCoTrack: a copy of one track's information, as IMedium::GetTrack read it.
#pragma once
#include <engine.h>
#include <disc/disc_layer.h>
#include <com/external_connection.h>
#include <com/object.h>

class CCoTrack : public com::ObjectRoot<com::MultiThreadModel>,
                 public ITrack,
                 public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CCoTrack)
        COM_INTERFACE(ITrack)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    explicit CCoTrack(const DiscTrackInformation& info) : m_info(info) {}

    STDMETHODIMP GetTrackNumber(unsigned int* a_puiValue) override;
    STDMETHODIMP GetSessionNumber(unsigned int* a_puiValue) override;
    STDMETHODIMP GetTrackMode(unsigned int* a_puiValue) override;
    STDMETHODIMP GetDataMode(unsigned int* a_puiValue) override;
    STDMETHODIMP IsBlank(unsigned int* a_puiValue) override;
    STDMETHODIMP GetFreeLBs(unsigned int* a_puiValue) override;
    STDMETHODIMP GetFreeMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFr) override;
    STDMETHODIMP GetStartAdress(unsigned int* a_puiValue) override;
    STDMETHODIMP GetStartMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFr) override;

private:
    const DiscTrackInformation m_info;
};

// Blocks as minutes, seconds and frames (75 a second); false for a null pointer.
bool BlocksToMsf(unsigned blocks, unsigned* minutes, unsigned* seconds, unsigned* frames);
