// The audio burn job: writes the tracks of an audio CD layout as the audio
// tracks of a CD and finalizes it, on the job frame. Every track goes to the
// disc as a CD-sound WAV file: the track's own file when it is one, else the
// file the layout's decode made of it. Its events are DM_BURNPREPARE,
// statuses and questions, DM_BURNSTART, the disc layer's progress and
// DM_BURNEND with the device's cookie.
#pragma once
#include <engine.h>
#include "jobs/writing_job.h"
#include <com/ptr.h>
#include <disc/disc_layer.h>
#include <memory>
#include <string>
#include <vector>

class CGrabber;

// The layout's tracks as the disc layer reads them. Filled from the
// layout's interfaces only, so a layout of another process does too.
struct AUDIO_BURN_TABLE {
    std::unique_ptr<DiscAudioTrackTable> table{new DiscAudioTrackTable()};
    // The tracks, held so that their decoded files live while the job does.
    std::vector<com::ComPtr<IAudioTrack>> tracks;
    uint64_t cdBytes = 0;  // IAudioCDLayout::GetImageSize
    // Why the table cannot be written, and the job's result for it (S_OK
    // and empty when it can be written).
    std::string fault;
    HRESULT result = S_OK;
};

// Reads the layout into a track table: each entry the path of a CD-sound WAV
// file. A fault (no tracks, more than 99, a track that cannot be read, was
// never decoded or whose path does not fit its entry) is named in `fault`.
AUDIO_BURN_TABLE ReadAudioBurnTable(IAudioCDLayout* layout);

// The blocks an audio write takes on a CD: the tracks' sectors, and
// track-at-once the 150 blocks of silence before every track after the first.
uint64_t AudioBurnBlocks(uint64_t cdBytes, size_t tracks, bool discAtOnce);

class CAudioBurnJob : public CWritingJob {
public:
    // IWriter::BurnAudio: E_INVALIDARG for a source without IAudioCDLayout,
    // STG_E_INUSE when the device is busy, E_FAIL when the worker cannot
    // start; else S_OK, and the events tell the rest. A table that cannot
    // be written ends the job with E_FAIL before the drive is touched.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, IUnknown* source,
                         unsigned lastArgument);

private:
    static const JOB_TRAITS TRAITS;

    CAudioBurnJob(CCoDevice* device, com::ComPtr<IAudioCDLayout> layout, AUDIO_BURN_TABLE table)
        : CWritingJob(device, TRAITS), m_layout(std::move(layout)), m_table(std::move(table)) {}
    HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) override;
    void End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result) override;
    HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber, const MEDIUM_STATE& medium,
                 CTrayLock& tray, Next* next) override;
    HRESULT Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record, bool discAtOnce);

    com::ComPtr<IAudioCDLayout> m_layout;
    AUDIO_BURN_TABLE m_table;
};
