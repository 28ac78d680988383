// Resource, string and command identifiers of the project framework. Every
// project module carries the resources below (project_resources.rc) beside
// its own; the string ids 8192 to 8198 are the project type's own texts.
#pragma once

// Resources of every project module.
#define IDR_PROJECT_MENU          201
#define IDR_PROJECT_MENU_AUTORUN  202
#define IDR_PROJECT_ACCELERATORS  201
#define IDI_PROJECT               201
#define IDD_PROJECT_WAIT          29800
#define IDD_PROJECT_BUTTON_HINTER 29801

// Texts of the project type (each module's string table).
#define IDS_PROJECT_NAME             8192
#define IDS_PROJECT_DESCRIPTION      8193
#define IDS_PROJECT_SHORT_NAME       8196
#define IDS_PROJECT_AUTORUN          8197
#define IDS_PROJECT_FILE_DESCRIPTION 8198

// Framework texts.
#define IDS_SAVE_CHANGES     20     // Save changes to "%s" project?
#define IDS_ALL_FILES        53632  // All files
#define IDS_INITIALIZING     53638  // Initializing...
#define IDS_RECENT_FILES     53640  // Recent files
#define IDS_SAVE_FAILED      53642  // Failed to save project file...

// Menu commands (the standard command numbers of the main frame).
#define ID_FILE_NEW           0xE100
#define ID_FILE_OPEN          0xE101
#define ID_FILE_SAVE          0xE103
#define ID_FILE_SAVE_AS       0xE104
#define ID_FILE_PAGE_SETUP    0xE105
#define ID_FILE_PRINT_SETUP   0xE106
#define ID_FILE_PRINT         0xE107
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_FILE_MRU_FILE1     0xE110
#define ID_APP_ABOUT          0xE140
#define ID_APP_EXIT           0xE141
#define ID_HELP_INDEX         0xE142
#define ID_EDIT_COPY          0xE122
#define ID_EDIT_CUT           0xE123
#define ID_EDIT_PASTE         0xE125
#define ID_EDIT_UNDO          0xE12B
#define ID_WINDOW_ARRANGE     0xE131
#define ID_WINDOW_CASCADE     0xE132
#define ID_WINDOW_TILE_HORZ   0xE133
#define ID_WINDOW_TILE_VERT   0xE134
#define ID_VIEW_TOOLBAR       0xE800
#define ID_VIEW_STATUS_BAR    0xE801
#define ID_VIEW_SPACEBAR      61779
#define ID_VIEW_EXPLORER      61781

// Own ids of task-panel panes and actions start here (one counter per project).
#define FIRST_OWN_ID 2000
// The splitter's collapse button.
#define IDC_SPLITTER_COLLAPSE 1000
