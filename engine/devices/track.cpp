#include "devices/track.h"

namespace {

HRESULT Answer(unsigned* out, unsigned value)
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

// A disc position starts after the two seconds of the pre-gap.
const unsigned PREGAP_FRAMES = 150;

}  // namespace

bool BlocksToMsf(unsigned blocks, unsigned* minutes, unsigned* seconds, unsigned* frames)
{
    if (!minutes || !seconds || !frames) return false;
    *frames = blocks % 75;
    *seconds = blocks / 75 % 60;
    *minutes = blocks / 4500;
    return true;
}

STDMETHODIMP CCoTrack::GetTrackNumber(unsigned int* v) { return Answer(v, m_info.trackNumber); }
STDMETHODIMP CCoTrack::GetSessionNumber(unsigned int* v) { return Answer(v, m_info.sessionNumber); }
STDMETHODIMP CCoTrack::GetTrackMode(unsigned int* v) { return Answer(v, m_info.trackMode); }
STDMETHODIMP CCoTrack::GetDataMode(unsigned int* v) { return Answer(v, m_info.dataMode); }
STDMETHODIMP CCoTrack::IsBlank(unsigned int* v) { return Answer(v, m_info.blank); }
STDMETHODIMP CCoTrack::GetFreeLBs(unsigned int* v) { return Answer(v, m_info.freeBlocks); }
STDMETHODIMP CCoTrack::GetStartAdress(unsigned int* v) { return Answer(v, m_info.startAddress); }

STDMETHODIMP CCoTrack::GetFreeMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFr)
{
    return BlocksToMsf(m_info.freeBlocks, a_puiMin, a_puiSec, a_puiFr) ? S_OK : E_POINTER;
}

STDMETHODIMP CCoTrack::GetStartMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFr)
{
    return BlocksToMsf(m_info.startAddress + PREGAP_FRAMES, a_puiMin, a_puiSec, a_puiFr) ? S_OK : E_POINTER;
}
