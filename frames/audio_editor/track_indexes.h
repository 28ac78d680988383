// CTrackIndexes: the list of track indexes the editor hands to
// IAudioCDLayout::MoveTracks, which reads it from the engine's process.
#pragma once
#include "engine.h"
#include <com/object.h>
#include <vector>

class CTrackIndexes : public com::ObjectRoot<com::MultiThreadModel>, public IEnumULONG {
public:
    COM_INTERFACES_BEGIN(CTrackIndexes)
        COM_INTERFACE(IEnumULONG)
    COM_INTERFACES_END()

    // A new list with one reference, which the caller owns.
    static HRESULT Create(const std::vector<unsigned long>& indexes, IEnumULONG** out);

    STDMETHODIMP Next(unsigned long celt, unsigned long* rgelt, unsigned long* fetched) override;
    STDMETHODIMP Skip(unsigned long celt) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumULONG** out) override;

private:
    std::vector<unsigned long> m_indexes;
    size_t m_at = 0;
};
