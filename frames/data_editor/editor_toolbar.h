// CEditorToolbar: the data editor's rebar toolbar of its six commands; the
// sort button shows whether sorting is on.
#pragma once
#include <frames/common/rebar_toolbar.h>

class CEditorToolbar : public CRebarToolbar {
public:
    // The sort button shows the image of `sorting`.
    bool Create(HWND frame, HINSTANCE module, bool sorting);
    void ShowSorting(bool on) const;

    // Images of the sort button for sorting on and off.
    enum : int { SORT_ON_IMAGE = 5, SORT_OFF_IMAGE = 6 };
};
