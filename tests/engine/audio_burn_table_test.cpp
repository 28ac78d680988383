// The audio burn's track table read from a layout, here a client's own
// layout object: which file each track gives the disc, and the layouts that
// must not reach the drive (paths that do not fit, tracks that cannot be
// read).
#include <gtest/gtest.h>
#include "audio_fixtures.h"
#include "files.h"
#include "jobs/audio_burn_job.h"
#include <com/object.h>
#include <com/ptr.h>
#include <com/text.h>
#include <string>
#include <vector>

namespace {

struct FakeTrack {
    AUDIO_FILE_FORMAT format;
    unsigned rate, channels;
    std::string path, temp;
    bool readable = true;
};

class CFakeTrack : public com::ObjectRoot<com::MultiThreadModel>, public IAudioTrack {
public:
    COM_INTERFACES_BEGIN(CFakeTrack)
        COM_INTERFACE(IAudioTrack)
    COM_INTERFACES_END()
    FakeTrack t;

    STDMETHODIMP GetTitle(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetArtist(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPath(BSTR* out) override { return Text(t.path, out); }
    STDMETHODIMP GetLengthMSFT(unsigned*, unsigned*, unsigned*) override { return E_NOTIMPL; }
    STDMETHODIMP GetFormat(AUDIO_FILE_FORMAT* out) override
    {
        *out = t.format;
        return S_OK;
    }
    STDMETHODIMP GetSampleRate(unsigned* out) override
    {
        *out = t.rate;
        return S_OK;
    }
    STDMETHODIMP GetStereo(unsigned* out) override
    {
        *out = t.channels;
        return S_OK;
    }
    STDMETHODIMP SetTitle(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP SetArtist(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetTempFilePath(BSTR* out) override { return Text(t.temp, out); }
    STDMETHODIMP GetStartMSFT(unsigned*, unsigned*, unsigned*) override { return E_NOTIMPL; }

private:
    HRESULT Text(const std::string& text, BSTR* out)
    {
        if (!t.readable) return E_FAIL;
        *out = com::BstrFromAnsi(text);
        return S_OK;
    }
};

class CFakeLayout : public com::ObjectRoot<com::MultiThreadModel>, public IAudioCDLayout {
public:
    COM_INTERFACES_BEGIN(CFakeLayout)
        COM_INTERFACE(IAudioCDLayout)
    COM_INTERFACES_END()
    std::vector<FakeTrack> tracks;

    STDMETHODIMP InsertTrack(unsigned, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP AddTrack(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveTrack(unsigned) override { return E_NOTIMPL; }
    STDMETHODIMP GetTrack(unsigned index, IAudioTrack** out) override
    {
        *out = nullptr;
        if (index >= tracks.size()) return E_INVALIDARG;
        com::ComPtr<com::ComObject<CFakeTrack>> track;
        HRESULT hr = com::CreateObjectImpl<CFakeTrack>(&track);
        if (FAILED(hr)) return hr;
        track->t = tracks[index];
        return track->QueryInterface(IID_IAudioTrack, reinterpret_cast<void**>(out));
    }
    STDMETHODIMP GetTrackCount(unsigned* out) override
    {
        *out = static_cast<unsigned>(tracks.size());
        return S_OK;
    }
    STDMETHODIMP GetTrackIndex(IAudioTrack*, unsigned*) override { return E_NOTIMPL; }
    STDMETHODIMP Decode() override { return E_NOTIMPL; }
    STDMETHODIMP Cancel() override { return E_NOTIMPL; }
    STDMETHODIMP MoveTracks(IEnumULONG*, unsigned long) override { return E_NOTIMPL; }
    STDMETHODIMP SetCDTitle(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetCDTitle(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetImageSize(hyper* out) override
    {
        *out = 2352 * 75 * static_cast<hyper>(tracks.size());
        return S_OK;
    }
};

// A WAV file of CD sound that the disc takes as it is, and one of its shape
// whose byte rate the disc refuses.
std::string WavFileOf(const char* name, bool refused)
{
    static TempFolder folder;
    std::vector<int16_t> pcm;
    std::string bytes = audio_fixtures::ToneWav(44100, 2, 16, 441, &pcm);
    if (refused) bytes[28] = 0;
    WriteFileBytes(folder.File(name), bytes);
    return folder.File(name);
}
const FakeTrack CD_WAV = {AFF_WAV, 44100, 2, WavFileOf("cd.wav", false), ""};
const FakeTrack DECODED_OGG = {AFF_OGG, 22050, 1, "C:\\music\\a.ogg", "C:\\temp\\0000000001.wav"};
const FakeTrack DECODED_MP3 = {AFF_MP3, 44100, 2, "C:\\music\\b.mp3", "C:\\temp\\0000000002.wav"};

AUDIO_BURN_TABLE Read(const std::vector<FakeTrack>& tracks)
{
    com::ComPtr<com::ComObject<CFakeLayout>> layout;
    EXPECT_EQ(S_OK, com::CreateObjectImpl<CFakeLayout>(&layout));
    layout->tracks = tracks;
    return ReadAudioBurnTable(layout);
}

}  // namespace

TEST(AudioBurnTable, EachTrackGivesItsDecodedFileOrItsOwnCdSound)
{
    const AUDIO_BURN_TABLE t = Read({CD_WAV, DECODED_OGG, DECODED_MP3});
    EXPECT_EQ(S_OK, t.result) << t.fault;
    ASSERT_EQ(3u, t.table->count);
    EXPECT_EQ(CD_WAV.path, t.table->entries[0]);
    EXPECT_STREQ("C:\\temp\\0000000001.wav", t.table->entries[1]);
    EXPECT_STREQ("C:\\temp\\0000000002.wav", t.table->entries[2]);
    EXPECT_EQ(3u, t.tracks.size());
    EXPECT_EQ(3u * 75 * 2352, t.cdBytes);
    // The table's 8 reserved bytes and the rest of each entry stay zero.
    for (uint8_t b : t.table->reserved) EXPECT_EQ(0, b);
    const size_t used = CD_WAV.path.size();
    EXPECT_EQ(std::string(DISC_AUDIO_ENTRY_BYTES - used, '\0'), std::string(t.table->entries[0] + used, DISC_AUDIO_ENTRY_BYTES - used));
}

TEST(AudioBurnTable, ALayoutTheDiscCannotTakeIsNamedBeforeTheDrive)
{
    FakeTrack unreadable = DECODED_OGG;
    unreadable.readable = false;
    FakeTrack undecodedMp3 = DECODED_MP3, monoWav = {AFF_WAV, 22050, 1, "C:\\music\\mono.wav", ""};
    const FakeTrack refusedWav = {AFF_WAV, 44100, 2, WavFileOf("refused.wav", true), ""};
    undecodedMp3.temp.clear();
    FakeTrack longPath = DECODED_OGG, longestPath = DECODED_OGG;
    longPath.temp = "C:\\" + std::string(DISC_AUDIO_ENTRY_BYTES - 4, 'x');     // 274 characters: fits
    longestPath.temp = "C:\\" + std::string(DISC_AUDIO_ENTRY_BYTES - 3, 'x');  // 275: no room for the NUL
    const struct {
        std::vector<FakeTrack> tracks;
        const char* fault;
    } cases[] = {
        {{}, "the layout holds no tracks"},
        {std::vector<FakeTrack>(99, CD_WAV), ""},
        {std::vector<FakeTrack>(100, CD_WAV), "100 tracks; a CD holds at most 99"},
        {{CD_WAV, unreadable}, "track 2 cannot be read"},
        {{undecodedMp3}, "track 1 was not decoded"},
        {{CD_WAV, monoWav}, "track 2 was not decoded"},
        {{refusedWav}, "track 1 was not decoded"},
        {{longPath}, ""},
        {{CD_WAV, CD_WAV, longestPath}, "track 3 has a path too long for its entry"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SCOPED_TRACE(c.tracks.size());
        // The result is what the job ends with; the text only names why.
        const AUDIO_BURN_TABLE t = Read(c.tracks);
        EXPECT_EQ(*c.fault ? E_FAIL : S_OK, t.result);
        EXPECT_EQ(*c.fault != 0, !t.fault.empty()) << t.fault;
    }
}
