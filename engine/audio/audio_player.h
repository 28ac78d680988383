// CCoAudioPlayer: the engine's one preview player. It plays one audio file
// at a time through the audio layer for every client of the engine; a
// later Init replaces the file. While it has a file open it holds one
// start-up of the audio layer.
#pragma once
#include "engine.h"
#include <audio/audio_layer.h>
#include <shared/auto_object_logger.h>
#include <com/external_connection.h>
#include <com/lock.h>
#include <com/object.h>
#include <string>

class CCoAudioPlayer : public com::ObjectRoot<com::MultiThreadModel>,
                       public ICoAudioPlayer,
                       public com::ExternalConnection,
                       public CAutoObjectLogger<CCoAudioPlayer> {
public:
    COM_INTERFACES_BEGIN(CCoAudioPlayer)
        COM_INTERFACE(ICoAudioPlayer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    void FinalRelease();

    // ICoAudioPlayer
    STDMETHODIMP Reset() override;
    STDMETHODIMP Init(BSTR a_bsFilePath) override;
    STDMETHODIMP Play() override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP SetPos(unsigned long a_dwPos) override;
    STDMETHODIMP GetCurrentStatus(unsigned int* a_pStatus) override;
    STDMETHODIMP GetID(unsigned int* a_pID) override;
    STDMETHODIMP GetPos(unsigned int* a_pPos) override;
    STDMETHODIMP GetLength(unsigned int* a_pLength) override;

private:
    void FreeChannel();
    // A layer answer as a method result: S_OK, or E_FAIL with a log line.
    HRESULT Checked(int succeeded, const char* call);
    // A byte figure of the layer as the interface's 32-bit value.
    static HRESULT Figure(uint64_t value, unsigned int* out);

    com::CriticalSection m_lock;  // two clients may preview at once
    std::string m_path;
    AudioChannel m_channel = 0;
};
