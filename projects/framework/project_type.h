// What a project type tells the framework about itself: its frame table and
// the texts and names that differ from type to type.
#pragma once
#include <windows.h>

// The three components of a project: the task panel (left pane) and the two
// frames shown one at a time in the right pane, in frame order.
enum class FrameRole { TaskPane, FirstFrame, BurningFrame };

// One row of the frame table. The names appear in creation failure messages.
struct FrameTableRow {
    const CLSID* clsid;      // null ends the table
    const char* clsidName;   // "CLSID_CoNostrine"
    const char* memberName;  // "m_compNostrine"
    FrameRole role;
};

struct ProjectTypeInfo {
    const char* label;              // the type's name in failure messages, "Maravin"
    const char* extension;          // project file extension without the dot, "qvdata"
    unsigned fileDescriptionId;     // string id of the file type's description
    unsigned menuId;                // the window's menu resource
    const FrameTableRow* frames;    // in creation order
};
