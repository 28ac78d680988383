// The audio editor's texts: the language file's entry under the editor's
// section when there is one, else the program's own.
#pragma once
#include <string>

enum : unsigned {
    IDS_AUDIO_PANE = 8193,
    IDS_COLUMN_TRACK = 8194,
    IDS_COLUMN_TITLE = 8195,
    IDS_COLUMN_TYPE = 8196,
    IDS_COLUMN_START = 8197,
    IDS_COLUMN_LENGTH = 8198,
    IDS_COLUMN_PATH = 8199,
    IDS_UNKNOWN_TYPE = 8200,
    IDS_ADD_TRACKS = 8201,
    IDS_RENAME_TRACK = 8202,
    IDS_DELETE_TRACKS = 8203,
    IDS_MOVE_UP = 8204,
    IDS_MOVE_DOWN = 8205,
    IDS_WAV_FILES = 8208,
    IDS_MPEG_FILES = 8209,
    IDS_WMA_FILES = 8210,
    IDS_MOD_FILES = 8211,
    IDS_PLAY = 8212,
    IDS_PAUSE = 8213,
    IDS_STOP = 8214,
    IDS_NEXT = 8215,
    IDS_PREVIOUS = 8216,
    IDS_COLUMN_END = 8217,
    IDS_ADD_AUDIO_FOLDER = 8218,
    IDS_FILES_PROCESSING = 8219,
    IDS_TRACK_LIMIT = 8220,
    IDS_PROCESSED_FILES = 8221,
    IDS_DECODE_TOTAL = 8222,
    IDS_DECODE_TRACK = 8223,
    IDS_DECODING_PROGRESS = 8224,
    IDS_TRACKS_ADDING = 8225,
    IDS_SELECT_AUDIO_FOLDER = 8226,
    IDS_FILES_REFUSED = 8227,
    IDS_DECODE_FAILED = 8228,
    IDS_ALL_FILES = 53632,
    IDS_ALL_SUPPORTED_FILES = 53633,
};

// The program's own text, or "" for a number it does not know.
const char* AudioEditorBuiltInText(unsigned id);
// The language file's text (the editor's section, then the common one),
// else the program's own.
std::string AudioEditorText(unsigned id);
// The text as a printf format filled with the arguments; the program's own
// format when the language file's takes other arguments.
std::string AudioEditorFormat(unsigned id, ...);
