#include "track_texts.h"
#include <cstdio>

std::string MsfText(const Msf& msf)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u.%02u", msf.minutes, msf.seconds, msf.frames);
    return text;
}

Msf MsfEnd(const Msf& start, const Msf& length)
{
    Msf end;
    end.frames = start.frames + length.frames;
    end.seconds = start.seconds + length.seconds + end.frames / 75;
    end.frames %= 75;
    end.minutes = start.minutes + length.minutes + end.seconds / 60;
    end.seconds %= 60;
    return end;
}

const char* FormatName(AUDIO_FILE_FORMAT format)
{
    static const char* const names[] = {nullptr, "wav", "mp3", "mp2", "mp1", "ogg", "wma",
                                        "mo3",   "mod", "mtm", "s3m", "xm",  "it"};
    const unsigned at = unsigned(format);
    return at < sizeof names / sizeof names[0] ? names[at] : nullptr;
}

std::string ContentsLine(unsigned index, const std::string& title, const std::string& start, const std::string& length)
{
    char number[16];
    std::snprintf(number, sizeof number, "#%02u", index + 1);
    return std::string(number) + "  " + title + "\t  " + start + "   " + length + "\r\n";
}
