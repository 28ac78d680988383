// The data editor's texts: the language file's entry under the editor's
// section when there is one, else the program's own. Formats are checked
// against the program's own before they are filled.
#pragma once
#include <string>

enum : unsigned {
    IDS_PROCESSING_CHANGES = 8207,
    IDS_APPLYING_REMOVALS = 8208,
    IDS_APPLYING_RENAMES = 8209,
    IDS_ADDING_FILES = 8210,
    IDS_NODE_NOT_FOUND = 8232,
    IDS_ADD_FILE_FAILED = 8233,
    IDS_RENAME_FAILED = 8234,
    IDS_REMOVE_FAILED = 8235,
    IDS_UNEXPECTED_FAILURE = 8236,
    IDS_ADD_FOLDER_FAILED = 8247,
    IDS_FILE_LOCKED = 8248,
    IDS_SKIP_ALL_LOCKED = 8249,
    IDS_PREPARATION_RUNNING = 8250,
    // The editor frame's own texts.
    IDS_EDITOR_PANE = 8193,
    IDS_CREATE_FOLDER = 8194,
    IDS_RENAME = 8195,
    IDS_DELETE = 8196,
    IDS_CLEAR_CONTENT = 8197,
    IDS_CHANGE_LABEL = 8198,
    IDS_COLUMN_NAME = 8199,
    IDS_COLUMN_SIZE = 8200,
    IDS_COLUMN_DESCRIPTION = 8201,
    IDS_COLUMN_TYPE = 8202,
    IDS_ORIGINAL_PATH = 8205,
    IDS_NEW_FOLDER = 8206,
    // The sort button's tooltip while sorting is off, and while it is on.
    IDS_SORT_TURN_ON = 8214,
    IDS_SORT_TURN_OFF = 8215,
    IDS_ILLEGAL_CHARACTERS = 8216,
    IDS_NAME_REQUIRED = 8217,
    IDS_NAME_RESERVED = 8218,
    IDS_NAME_TOO_LONG = 8219,
    IDS_NAME_EXISTS = 8220,
    IDS_REPLACE_EXISTING = 8221,
    IDS_ADD_FILES = 8229,
    IDS_ADD_FOLDER = 8230,
    IDS_SELECT_FOLDER = 8231,
    IDS_CLEAR_PROJECT = 8251,
    IDS_ADDING_RUNNING = 8252,
    IDS_PROJECT_EMPTY = 8253,
    IDS_PREPARATION_FAILED = 8254,
    IDS_SOURCE_MISSING = 8255,
    IDS_PATHS_REFUSED = 8256,
    IDS_TOO_MANY_FILES = 8257,
};

class CDataEditorTexts {
public:
    // `section`: the editor's class identifier as the language file names it.
    explicit CDataEditorTexts(std::string section) : m_section(std::move(section)) {}
    // The program's own text, or "" for a number it does not know.
    static const char* BuiltIn(unsigned id);
    std::string Text(unsigned id) const;
    // The text as a format, filled with the arguments.
    std::string Format(unsigned id, ...) const;

private:
    std::string m_section;
};
