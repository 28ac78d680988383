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
