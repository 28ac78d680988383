// Resource and control numbers of the data editor's dialogs (Nostrine.rc).
#pragma once

#include <frames/common/files_processing_ids.h>

// Dialogs.
#define IDD_PROJECT_TYPE 8202
#define IDD_DEVICE_SELECTION 8203
#define IDD_ENTRY_CHOICE 8204

// Project-type dialog.
#define IDC_BEGIN_NEW_DISC 8196
#define IDC_CONTINUE_DISC 8197
#define IDC_FINALIZE 8198
#define IDC_DISC_LABEL 8219

// Device selection dialog.
#define IDC_DEVICE_COMBO 8201
#define IDC_MEDIUM_LINE 8203
#define IDC_TOTAL_SPACE 8206
#define IDC_USED_SPACE 8207
#define IDC_FREE_SPACE 8208
#define IDC_SESSION_TREE 8210
#define IDC_SESSIONS_LABEL 8220
#define IDC_DEVICE_LABEL 8221

// Entry choice dialog.
#define IDC_ENTRY_FOLDERS 8211
#define IDC_ENTRY_LIST 8212
#define IDC_ENTRY_PATH 8217
