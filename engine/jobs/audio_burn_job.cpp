#include "jobs/audio_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "jobs/job_steps.h"
#include <com/text.h>
#include <shared/log.h>
#include <cstring>

const JOB_TRAITS CAudioBurnJob::TRAITS = {JOB_AUDIO, "_VK_BurnAudioThread", 500, 800, "\tUNKNOWN EXCEPTION!"};

namespace {

const uint32_t CD_SOUND_RATE = 44100;
const uint32_t CD_SOUND_SECTOR = 2352;
// Track-at-once leaves two seconds of silence before each later track.
const uint32_t TRACK_GAP_BLOCKS = MSF_PREGAP_SECONDS * MSF_FRAMES_PER_SECOND;

std::string TrackText(unsigned index, const char* what)
{
    return "track " + std::to_string(index + 1) + " " + what;
}

// The file the disc takes for a track: its decoded WAV, or its own file
// when that is already CD sound; empty when there is neither.
HRESULT BurnPathOf(IAudioTrack* track, std::string* path)
{
    BSTR text = nullptr;
    HRESULT hr = track->GetTempFilePath(&text);
    if (FAILED(hr)) return hr;
    *path = com::AnsiFromBstr(text);
    SysFreeString(text);
    if (!path->empty()) return S_OK;
    AUDIO_FILE_FORMAT format = AFF_UNKNOWN;
    unsigned rate = 0, channels = 0;
    if (FAILED(hr = track->GetFormat(&format)) || FAILED(hr = track->GetSampleRate(&rate)) ||
        FAILED(hr = track->GetStereo(&channels)))
        return hr;
    if (format != AFF_WAV || rate != CD_SOUND_RATE || channels != 2) return S_OK;
    text = nullptr;
    if (FAILED(hr = track->GetPath(&text))) return hr;
    *path = com::AnsiFromBstr(text);
    SysFreeString(text);
    // Its own file only when the disc takes it as it is (16 bits, headers
    // the disc layer reads); else it must have been decoded.
    if (!IsBurnableCdSound(path->c_str())) path->clear();
    return S_OK;
}

// A table the disc cannot take: the job ends with E_FAIL before the drive.
AUDIO_BURN_TABLE Refused(AUDIO_BURN_TABLE* t, const std::string& fault)
{
    t->fault = fault;
    t->result = E_FAIL;
    return std::move(*t);
}

}  // namespace

AUDIO_BURN_TABLE ReadAudioBurnTable(IAudioCDLayout* layout)
{
    AUDIO_BURN_TABLE t;
    unsigned count = 0;
    if (FAILED(layout->GetTrackCount(&count)))
        return Refused(&t, "the layout tells no track count");
    if (count == 0)
        return Refused(&t, "the layout holds no tracks");
    if (count > DISC_AUDIO_MAX_TRACKS)
        return Refused(&t, std::to_string(count) + " tracks; a CD holds at most " +
                               std::to_string(DISC_AUDIO_MAX_TRACKS));
    hyper cdBytes = 0;
    if (FAILED(layout->GetImageSize(&cdBytes)) || cdBytes < 0)
        return Refused(&t, "the layout tells no size");
    t.cdBytes = static_cast<uint64_t>(cdBytes);
    t.table->count = count;
    for (unsigned i = 0; i < count; ++i) {
        com::ComPtr<IAudioTrack> track;
        std::string path;
        if (FAILED(layout->GetTrack(i, &track)) || !track || FAILED(BurnPathOf(track, &path)))
            return Refused(&t, TrackText(i, "cannot be read"));
        if (path.empty())
            return Refused(&t, TrackText(i, "was not decoded"));
        if (path.size() >= DISC_AUDIO_ENTRY_BYTES)
            return Refused(&t, TrackText(i, "has a path too long for its entry"));
        std::memcpy(t.table->entries[i], path.c_str(), path.size() + 1);
        t.tracks.push_back(track);
    }
    return t;
}

uint64_t AudioBurnBlocks(uint64_t cdBytes, size_t tracks, bool discAtOnce)
{
    const uint64_t sectors = (cdBytes + CD_SOUND_SECTOR - 1) / CD_SOUND_SECTOR;
    const uint64_t gaps = discAtOnce || tracks == 0 ? 0 : uint64_t(tracks - 1) * TRACK_GAP_BLOCKS;
    return sectors + gaps;
}

HRESULT CAudioBurnJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, IUnknown* source,
                             unsigned lastArgument)
{
    com::ComPtr<IAudioCDLayout> layout;
    if (!source || FAILED(source->QueryInterface(IID_IAudioCDLayout, reinterpret_cast<void**>(&layout))))
        return E_INVALIDARG;
    // Read now, on the caller's thread: the job burns the tracks as they
    // were at the call, whatever the editor does to the layout meanwhile.
    AUDIO_BURN_TABLE table = ReadAudioBurnTable(layout);
    return Launch(std::unique_ptr<CJobFrame>(new CAudioBurnJob(device, std::move(layout), std::move(table))), cookie,
                  speed, lastArgument);
}

void CAudioBurnJob::End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result)
{
    job.End(record, result);
    // The layout may live in another process: its proxies go in the
    // multithreaded apartment.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    m_table.tracks.clear();
    m_layout.Reset();
    if (SUCCEEDED(init)) CoUninitialize();
}

HRESULT CAudioBurnJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    if (FAILED(m_table.result)) {
        LogPrintf("\tThe audio layout cannot be burned: %s", m_table.fault.c_str());
        return m_table.result;
    }
    return CWritingJob::Body(job, record);
}

HRESULT CAudioBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                            const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    const bool erasable = IsErasableMedium(medium.type);
    if (medium.status == DISC_STATUS_COMPLETE && erasable) return AskEraseFinalized(job, next);
    // No image is built for an audio disc: the begin and a successful end.
    job.Status(ST_DATA_IMAGE_BEGIN);
    job.Status(ST_DATA_IMAGE_END, 1);

    DiscWriteModes modes = {};
    const bool discAtOnce = grabber.ProbeWriteModes(&modes) == DISC_OK && modes.discAtOnceRawPw;
    const uint64_t needed = AudioBurnBlocks(m_table.cdBytes, m_table.table->count, discAtOnce) * BLOCK_SIZE;
    if (medium.freeBytes < needed)
        return AskForRoom(job, medium, tray, next);
    return Write(job, grabber, record, discAtOnce);
}

HRESULT CAudioBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record, bool discAtOnce)
{
    uint32_t write = 0;
    if (Cancelled() || !SetJobSpeeds(job, grabber, record->speed, &write)) return E_FAIL;
    // Buffer protection first, then the calibration: the audio write's order.
    uint32_t available = 0, enabled = 0;
    if (grabber.GetBUP(&available, &enabled) == DISC_OK && available)
        job.Status(ST_BUP_ENABLED, grabber.SetBUP(1) == DISC_OK ? 1 : 0);
    job.Status(ST_SENDING_OPC, grabber.SendOPC() == DISC_OK ? 1 : 0);
    record->speed = write;
    job.Start(record);
    if (Cancelled()) return CancelledResult();
    // The layer finalizes the disc itself; no session is closed here.
    const uint32_t test = IsTestWrite(record->lastArgument) ? 1 : 0;
    return grabber.WriteAudio(m_table.table.get(), discAtOnce, test) == DISC_OK ? S_OK : E_FAIL;
}
