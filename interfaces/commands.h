// The command numbers of ICommandPerformer::InvokeCommand, one vocabulary
// for the whole system. The data of each command is a SAFEARRAY of VARIANT
// whose element types are noted beside it (BYREF: the receiver writes its
// answer through the pointer). 4097 to 4100 mean different things from
// different senders; the receiver tells them apart by the sender.
// Elements count from index 0; pack and unpack them with CVariantSafearray
// and ExtractFromSafearray (shared/variant_safearray.h), which go by the
// type named here: a UI8 travels as all 64 bits in a VARIANT labelled VT_UI4,
// a BOOL BYREF points to a 32-bit BOOL, a HRESULT travels as VT_I4. An icon
// is an HICON handle value; the receiver copies it and the sender destroys
// its own after the call.
#pragma once
#include <windows.h>

// The answer to a command number the receiver does not handle.
constexpr HRESULT E_COMMAND_NOT_HANDLED = static_cast<HRESULT>(0x80090302);

// Task-panel panes and actions (frame -> project).
constexpr unsigned int PCID_ADD_PANE = 32;         // UI4 pane, BSTR caption, UI4 icon
constexpr unsigned int PCID_RENAME_PANE = 33;      // UI4 pane, BSTR caption
constexpr unsigned int PCID_REMOVE_PANE = 34;      // UI4 pane
constexpr unsigned int PCID_ADD_ACTION = 64;       // UI4 pane, UI4 action, BSTR caption, UI4 icon
constexpr unsigned int PCID_REMOVE_ACTION = 65;    // UI4 pane, UI4 action
constexpr unsigned int PCID_RENAME_ACTION = 66;    // UI4 pane, UI4 action, BSTR caption
constexpr unsigned int PCID_ENABLE_ACTION = 67;    // UI4 pane, UI4 action
constexpr unsigned int PCID_DISABLE_ACTION = 68;   // UI4 pane, UI4 action
constexpr unsigned int PCID_SET_ACTION_ICON = 69;  // UI4 pane, UI4 action (NO_ACTION: the pane), UI4 icon
constexpr unsigned int PCID_CHANGE_ACTION = 70;    // UI4 pane, UI4 action (NO_ACTION: the pane), BSTR, UI4 icon

// The action id that stands for the pane itself.
constexpr unsigned int NO_ACTION_ID = 0xFFFFFFFF;

// Choosing and querying actions.
constexpr unsigned int PCID_ACTIVE_CHANGED_NOTIFY = 96;   // UI4 pane, UI4 action
constexpr unsigned int PCID_SET_ACTIVE_ACTION = 97;       // UI4 pane, UI4 action
constexpr unsigned int PCID_GET_ACTIVE_ACTION = 98;       // UI4 BYREF pane, UI4 BYREF action
constexpr unsigned int PCID_GET_PANE_ACTIVE_ACTION = 99;  // UI4 pane, UI4 BYREF action
constexpr unsigned int PCID_QUERY_ACTION_ENABLED = 100;   // I4 menu command, BOOL BYREF enabled
constexpr unsigned int PCID_SET_BUTTONS_POS = 101;        // four UI4: x margin, y margin, width, height
constexpr unsigned int PCID_SET_BUTTONS_STATE = 102;      // four UI4 as 101, BOOL back, BOOL next

// Preparing and burning.
constexpr unsigned int PCID_ENABLE_UI = 288;       // UI4 0/1 (from projects) or BOOL (from frames); 0 disables
constexpr unsigned int PCID_REQUEST_BURN = 289;    // none
constexpr unsigned int PCID_START = 290;           // none
constexpr unsigned int PCID_CANCEL = 291;          // none
constexpr unsigned int PCID_RESULT = 292;          // HRESULT (burning frame) or UI4 (audio editor)
constexpr unsigned int PCID_SOURCE_READY = 293;    // UI4 HRESULT, then UNKNOWN file tree or BSTR image
constexpr unsigned int PCID_CLOSE_PROJECT = 294;   // none

// The editors' content.
constexpr unsigned int PCID_IMAGE_SIZE_CHANGED = 323;  // none
constexpr unsigned int PCID_GET_EDITOR_STATE = 353;    // UI4 BYREF
constexpr unsigned int PCID_GET_IMAGE_SIZE = 354;      // UI8 BYREF, bytes
constexpr unsigned int PCID_GET_CONTENTS_TEXT = 355;   // BSTR BYREF

// Back and Next between frames.
constexpr unsigned int PCID_NEXT = 384;  // none
constexpr unsigned int PCID_BACK = 386;  // none

// The burning frame's questions to its project. A BSTR or interface answered
// by reference is then the burning frame's to free or release.
constexpr unsigned int BFCID_GET_BURN_TYPE = 4097;                // I4 BYREF, a BURN_TYPE_*
constexpr unsigned int BFCID_GET_DVDIMAGE_FOLDER = 4098;          // BSTR BYREF
constexpr unsigned int BFCID_GET_DATAIMAGE = 4099;                // UNKNOWN BYREF file tree
constexpr unsigned int BFCID_GET_AUDIOIMAGE = 4100;               // UNKNOWN BYREF audio CD layout
constexpr unsigned int BFCID_GET_VIDEO_CD_FILENAME = 4101;        // BSTR BYREF
constexpr unsigned int BFCID_GET_SUPER_VIDEO_CD_FILENAME = 4102;  // BSTR BYREF
constexpr unsigned int BFCID_GET_ISOIMAGE_PATH = 4600;            // BSTR BYREF

// The project's questions to the burning frame.
constexpr unsigned int BFCID_GET_DEVICE_ID = 4596;   // I4 BYREF, the drive's device id
// I4 device id: the drive becomes the burning frame's chosen drive (a
// continued disc is burned where its session was read). E_INVALIDARG for a
// drive the frame does not list, E_FAIL while a job of the frame runs.
constexpr unsigned int BFCID_SET_DEVICE_ID = 4597;
constexpr unsigned int BFCID_GET_SPEED = 4598;       // I4 BYREF, KB/s
constexpr unsigned int BFCID_GET_TEST_WRITE = 4599;  // I4 BYREF, 1 or 0

// Answers to BFCID_GET_BURN_TYPE.
constexpr long BURN_TYPE_DVD_VIDEO = 1;
constexpr long BURN_TYPE_DATA = 2;
constexpr long BURN_TYPE_AUDIO = 3;
constexpr long BURN_TYPE_IMAGE = 4;
constexpr long BURN_TYPE_VIDEO_CD = 5;
constexpr long BURN_TYPE_SUPER_VIDEO_CD = 6;

// The data editor's requests to its project, and one it answers.
constexpr unsigned int DECID_GET_CURRENT_DEVICE_ID = 4097;  // I4 BYREF, relayed to the burning frame as 4596
constexpr unsigned int DECID_SET_CURRENT_DEVICE_ID = 4098;  // I4 device id, relayed to the burning frame as 4597
constexpr unsigned int DECID_GET_WILL_LOAD = 4099;          // I4 BYREF, IProject::SetWillBeLoaded's flag
constexpr unsigned int DECID_4100 = 4100;                   // UI4, BSTR BYREF

// The copy-source frame's request to its project.
constexpr unsigned int SFCID_GET_CURRENT_DEVICE_ID = 4097;  // UI4 BYREF

// The audio project's request to the audio editor.
constexpr unsigned int AECID_GET_AUDIO_LAYOUT = 4097;  // UNKNOWN BYREF, the editor's IAudioCDLayout
