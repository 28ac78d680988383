// The texts of a track row: minutes, seconds and frames (75 a second), the
// end of a track from its start and length, the type names of the engine's
// file formats, and the contents text's line.
#pragma once
#include "engine.h"
#include <string>

struct Msf {
    unsigned minutes = 0, seconds = 0, frames = 0;
};

// "%02i:%02i.%02i".
std::string MsfText(const Msf& msf);
// start + length, field by field with carries (75 frames, 60 seconds).
Msf MsfEnd(const Msf& start, const Msf& length);
// "wav", "mp3", ...; null for a format without a name of its own.
const char* FormatName(AUDIO_FILE_FORMAT format);
// One line of the contents text: "#%02i  %s\t  %s   %s\r\n".
std::string ContentsLine(unsigned index, const std::string& title, const std::string& start, const std::string& length);
