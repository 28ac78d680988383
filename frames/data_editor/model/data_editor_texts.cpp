#include "data_editor_texts.h"
#include "checked_format.h"
#include <shared/translator.h>
#include <cstdarg>
#include <cstdio>
#include <vector>

const char* CDataEditorTexts::BuiltIn(unsigned id)
{
    switch (id) {
    case IDS_PROCESSING_CHANGES: return "Processing file system changes:";
    case IDS_APPLYING_REMOVALS: return "appying files removal";
    case IDS_APPLYING_RENAMES: return "appying files renaming";
    case IDS_ADDING_FILES: return "adding new files";
    case IDS_NODE_NOT_FOUND:
        return "File tree node corresponding to \"%s\" not found. Try to remove all files from image and add them "
               "again. Operation cancelled.";
    case IDS_ADD_FILE_FAILED:
        return "Failed to add file \"%s\" (its source path is \"%s\"). File name is possibly too long, try to rename "
               "it. Operation cancelled.";
    case IDS_RENAME_FAILED:
        return "Failed to rename file \"%s\" (new name should have been \"%s\"). Operation cancelled.";
    case IDS_REMOVE_FAILED: return "Failed to remove file \"%s\". Operation cancelled.";
    case IDS_UNEXPECTED_FAILURE: return "Unexpected exception raised while processing disc image. Operation cancelled.";
    case IDS_ADD_FOLDER_FAILED:
        return "Failed to add folder \"%s\". Folder name is possibly too long, try to rename it. Operation cancelled.";
    case IDS_FILE_LOCKED:
        return "File \"%s\" is inaccessible, it is in use with another application. Skip this file and continue?";
    case IDS_SKIP_ALL_LOCKED: return "Skip all locked files";
    case IDS_PREPARATION_RUNNING:
        return "Data preparation is in progress, can't close until it is finished or canceled.";
    case IDS_EDITOR_PANE: return "Image Editor";
    case IDS_CREATE_FOLDER: return "Create new folder";
    case IDS_RENAME: return "Rename";
    case IDS_DELETE: return "Delete";
    case IDS_CLEAR_CONTENT: return "Clear content";
    case IDS_CHANGE_LABEL: return "Change volume label";
    case IDS_COLUMN_NAME: return "Name";
    case IDS_COLUMN_SIZE: return "Size";
    case IDS_COLUMN_DESCRIPTION: return "Description";
    case IDS_COLUMN_TYPE: return "Type";
    case IDS_ORIGINAL_PATH: return "Original path";
    case IDS_NEW_FOLDER: return "New Folder";
    case IDS_SORT_TURN_ON: return "Sort entries";
    case IDS_SORT_TURN_OFF: return "Keep entries in your own order";
    case IDS_ILLEGAL_CHARACTERS:
        return "Illegal characters for file name: *  \\  /  ?  >  <  :  \"  |. Please change file name.";
    case IDS_NAME_REQUIRED: return "Filename required";
    case IDS_NAME_RESERVED: return "This name is reserved for system purposes, you cannot use it.";
    case IDS_NAME_TOO_LONG: return "Filename is too long";
    case IDS_NAME_EXISTS: return "File \"%s\" already exists. Use another filename.";
    case IDS_REPLACE_EXISTING: return "File \"%s\" already exists. Replace?";
    case IDS_ADD_FILES: return "Add files...";
    case IDS_ADD_FOLDER: return "Add folder...";
    case IDS_SELECT_FOLDER: return "Select folder to add to image";
    case IDS_CLEAR_PROJECT: return "This will clear the entire content of your projects. Continue?";
    case IDS_ADDING_RUNNING: return "Files are being added, can't close until it is finished or stopped.";
    case IDS_PROJECT_EMPTY: return "The project is empty: add files or folders before burning.";
    case IDS_PREPARATION_FAILED:
        return "Data preparation failed: the drive or its disc could not be read (error 0x%08X). Operation cancelled.";
    case IDS_PATHS_REFUSED:
        return "Not added: the names hold characters that this system's code page cannot write, or the paths are "
               "longer than 259 characters:\n%s";
    case IDS_TOO_MANY_FILES:
        return "Too many files were chosen at once: add them in smaller groups, or add their folder.";
    case IDS_SOURCE_MISSING:
        return "File \"%s\" is missing: its source \"%s\" no longer exists. Remove it from the image or put it "
               "back. Operation cancelled.";
    default: return "";
    }
}

std::string CDataEditorTexts::Text(unsigned id) const
{
    std::string text = LookUpLangStr(m_section, id);
    return text.empty() ? BuiltIn(id) : text;
}

std::string CDataEditorTexts::Format(unsigned id, ...) const
{
    const std::string translated = Text(id);
    const std::string builtIn = BuiltIn(id);
    const std::string& format = CheckedFormat(translated, builtIn);
    va_list args;
    va_start(args, id);
    std::vector<char> buffer(4096);
    int n = std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), args);
    va_end(args);
    if (n >= int(buffer.size())) {
        buffer.resize(size_t(n) + 1);
        va_start(args, id);
        n = std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), args);
        va_end(args);
    }
    return n < 0 ? format : std::string(buffer.data(), size_t(n));
}
