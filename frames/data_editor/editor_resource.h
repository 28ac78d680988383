// Resource identifiers of the data editor frame's own window: its icons and
// its context menu. The numbers are part of the language file's contract.
#pragma once

#define IDI_EDITOR_PANE 8194
#define IDI_CREATE_FOLDER 8198
#define IDI_DELETE 8199
#define IDI_RENAME 8200
#define IDI_PROGRESS 8203
#define IDI_SORT_ON 8208
#define IDI_SORT_OFF 8209
#define IDI_ADD_FILES 8210
#define IDI_ADD_FOLDER 8211

// The context menu of both views; its first popup is shown.
#define IDM_EDITOR_CONTEXT 8196
