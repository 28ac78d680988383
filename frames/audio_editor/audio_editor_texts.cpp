#include "audio_editor_texts.h"
#include "audio_project_classes.h"
#include <shared/checked_format.h>
#include <shared/guid_text.h>
#include <shared/translator.h>
#include <cstdarg>
#include <cstdio>

const char* AudioEditorBuiltInText(unsigned id)
{
    switch (id) {
    case IDS_AUDIO_PANE: return "Audio Image Editor";
    case IDS_COLUMN_TRACK: return "Track";
    case IDS_COLUMN_TITLE: return "Title";
    case IDS_COLUMN_TYPE: return "Type";
    case IDS_COLUMN_START: return "Start";
    case IDS_COLUMN_LENGTH: return "Length";
    case IDS_COLUMN_PATH: return "Path";
    case IDS_UNKNOWN_TYPE: return "Unknown";
    case IDS_ADD_TRACKS: return "Add file(s)";
    case IDS_RENAME_TRACK: return "Rename track";
    case IDS_DELETE_TRACKS: return "Delete track";
    case IDS_MOVE_UP: return "Move selection up";
    case IDS_MOVE_DOWN: return "Move selection down";
    case IDS_WAV_FILES: return "WAV files";
    case IDS_MPEG_FILES: return "MPEG files";
    case IDS_WMA_FILES: return "WMA files";
    case IDS_MOD_FILES: return "MOD files";
    case IDS_PLAY: return "Play";
    case IDS_PAUSE: return "Pause";
    case IDS_STOP: return "Stop";
    case IDS_NEXT: return "Next";
    case IDS_PREVIOUS: return "Previous";
    case IDS_COLUMN_END: return "End";
    case IDS_ADD_AUDIO_FOLDER: return "Add folder";
    case IDS_FILES_PROCESSING: return "Files processing";
    case IDS_TRACK_LIMIT:
        return "Maximum AudioCD tracks count (99) is reached, no more tracks could be added. Operation stopped.";
    case IDS_PROCESSED_FILES: return "Processed %i of %i files, %i tracks added";
    case IDS_DECODE_TOTAL: return "Total: %i of %i files";
    case IDS_DECODE_TRACK: return "Track %i - \"%s\"";
    case IDS_DECODING_PROGRESS: return "Decoding progress";
    case IDS_TRACKS_ADDING: return "Tracks adding";
    case IDS_SELECT_AUDIO_FOLDER: return "Select folder with audiofiles:";
    case IDS_FILES_REFUSED: return "These files could not be added as tracks (not readable, or no decoder for them):\n%s";
    case IDS_DECODE_FAILED:
        return "Track %i - \"%s\" could not be decoded (its file may have changed since it was added). Nothing was "
               "burned.";
    case IDS_ALL_FILES: return "All files";
    case IDS_ALL_SUPPORTED_FILES: return "All supported files";
    default: return "";
    }
}

std::string AudioEditorText(unsigned id)
{
    std::string text = LookUpLangStr(GuidToString(CLSID_CoHollistra), id);
    return text.empty() ? AudioEditorBuiltInText(id) : text;
}

std::string AudioEditorFormat(unsigned id, ...)
{
    const std::string translated = AudioEditorText(id), builtIn = AudioEditorBuiltInText(id);
    const std::string& format = CheckedFormat(translated, builtIn);
    va_list args;
    va_start(args, id);
    char text[2048] = "";
    std::vsnprintf(text, sizeof text, format.c_str(), args);
    va_end(args);
    return text;
}
