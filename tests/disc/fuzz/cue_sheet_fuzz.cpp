// libFuzzer target of the CUE sheet and image descriptor reader: any text is
// read within its bounds, and what it accepts renders to a sheet that reads
// back to the same tracks.
#include "cue_sheet.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    disc::CueSheet sheet;
    if (disc::parseCueSheet(std::string(reinterpret_cast<const char*>(data), size), sheet)) return 0;
    disc::CueSheet again;
    if (disc::parseCueSheet(disc::renderCueSheet(sheet, true), again) || again.tracks.size() != sheet.tracks.size())
        std::abort();
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const disc::CueTrack &a = sheet.tracks[i], &b = again.tracks[i];
        if (a.index1 != b.index1 || a.index0 != b.index0 || a.session != b.session || a.mode != b.mode ||
            a.file != b.file || a.lba != b.lba || a.blocks != b.blocks || a.pregap != b.pregap)
            std::abort();
    }
    return 0;
}
