// Windows Media audio through the system's Windows Media reader (wmvcore),
// loaded at run time: a system without it answers AUDIO_ERROR_NO_WMA.
#include "decoder.h"

#include <windows.h>
#include <initguid.h>
#include <wmsdkidl.h>

#include <cstring>
#include <vector>

namespace audio {
namespace {

typedef HRESULT(WINAPI* CreateSyncReaderFn)(IUnknown*, DWORD, IWMSyncReader**);

const QWORD UNITS_PER_SECOND = 10000000;  // the reader's times are in 100 ns
const WCHAR DURATION_ATTRIBUTE[] = L"Duration";

// The system's reader, loaded once for the process (and kept: readers of
// any thread may still use it).
CreateSyncReaderFn SyncReaderFactory() {
  static CreateSyncReaderFn create = [] {
    HMODULE wmv = LoadLibraryA("wmvcore.dll");
    return wmv ? reinterpret_cast<CreateSyncReaderFn>(reinterpret_cast<void*>(GetProcAddress(wmv, "WMCreateSyncReader")))
               : nullptr;
  }();
  return create;
}

class WmaDecoder : public Decoder {
 public:
  ~WmaDecoder() override {
    if (reader_) {
      reader_->Close();
      reader_->Release();
    }
  }

  // The calling thread has the component runtime initialised (as every
  // thread of the engine has): a channel may be closed on another thread,
  // so the decoder cannot pair an initialisation of its own.
  AudioError Open(const std::string& path) {
    CreateSyncReaderFn create = SyncReaderFactory();
    if (!create || FAILED(create(nullptr, 0, &reader_))) return AUDIO_ERROR_NO_WMA;
    std::vector<WCHAR> wide(path.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), int(wide.size()));
    // A reader that cannot open a file that has a Windows Media header is
    // one that cannot decode it (Wine's has no codecs of its own).
    if (FAILED(reader_->Open(wide.data())) || !ReadFormat() || !ReadLength()) return AUDIO_ERROR_NO_WMA;
    format_.type = AUDIO_TYPE_WMA;
    return AUDIO_OK;
  }

  long Read(int16_t* out, size_t frames) override {
    size_t block = format_.channels * 2, want = frames * block, got = 0;
    while (got < want) {
      if (pending_.empty() && !NextSample()) break;
      size_t n = std::min(want - got, pending_.size());
      std::memcpy(reinterpret_cast<char*>(out) + got, pending_.data(), n);
      pending_.erase(pending_.begin(), pending_.begin() + n);
      got += n;
    }
    return long(got / block);
  }

  bool Seek(uint64_t frame) override {
    pending_.clear();
    return SUCCEEDED(reader_->SetRange(frame * UNITS_PER_SECOND / format_.rate, 0));
  }

 private:
  // The file's first audio output and its stream, the only one read: a
  // video's samples must not be taken for sound.
  bool ReadFormat() {
    DWORD outputs = 0;
    if (FAILED(reader_->GetOutputCount(&outputs))) return false;
    for (DWORD output = 0; output < outputs; ++output) {
      if (!ReadAudioFormat(output)) continue;
      WORD stream = 0;
      if (FAILED(reader_->GetStreamNumberForOutput(output, &stream))) return false;
      stream_ = stream;
      return true;
    }
    return false;
  }

  bool ReadAudioFormat(DWORD output) {
    IWMOutputMediaProps* props = nullptr;
    DWORD size = 0;
    if (FAILED(reader_->GetOutputProps(output, &props))) return false;
    bool ok = false;
    if (SUCCEEDED(props->GetMediaType(nullptr, &size))) {
      std::vector<BYTE> buf(size);
      WM_MEDIA_TYPE* mt = reinterpret_cast<WM_MEDIA_TYPE*>(buf.data());
      if (SUCCEEDED(props->GetMediaType(mt, &size)) && IsEqualGUID(mt->majortype, WMMEDIATYPE_Audio) &&
          mt->cbFormat >= sizeof(WAVEFORMATEX)) {
        WAVEFORMATEX* wf = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
        format_.rate = wf->nSamplesPerSec;
        format_.channels = wf->nChannels;
        ok = wf->wBitsPerSample == 16 && wf->nChannels > 0;
      }
    }
    props->Release();
    return ok;
  }

  bool ReadLength() {
    IWMHeaderInfo* header = nullptr;
    if (FAILED(reader_->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&header)))) return false;
    WORD stream = 0, len = sizeof(QWORD);
    WMT_ATTR_DATATYPE type;
    QWORD duration = 0;
    HRESULT hr = header->GetAttributeByName(&stream, DURATION_ATTRIBUTE, &type, reinterpret_cast<BYTE*>(&duration), &len);
    header->Release();
    length_frames_ = duration * format_.rate / UNITS_PER_SECOND;
    return SUCCEEDED(hr);
  }

  bool NextSample() {
    INSSBuffer* sample = nullptr;
    QWORD time = 0, duration = 0;
    DWORD flags = 0, output = 0;
    WORD stream = 0;
    // Samples of the audio stream only.
    if (FAILED(reader_->GetNextSample(stream_, &sample, &time, &duration, &flags, &output, &stream))) return false;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (SUCCEEDED(sample->GetBufferAndLength(&data, &length))) pending_.assign(data, data + length);
    sample->Release();
    return true;
  }

  IWMSyncReader* reader_ = nullptr;
  WORD stream_ = 0;  // the audio stream's number
  std::vector<uint8_t> pending_;
};

}  // namespace

OpenResult OpenWma(const std::string& path) {
  auto wma = std::make_unique<WmaDecoder>();
  OpenResult r;
  r.error = wma->Open(path);
  if (r.error == AUDIO_OK) r.decoder = std::move(wma);
  return r;
}

}  // namespace audio
