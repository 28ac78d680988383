// CDialogResizer: keeps a dialog's controls where its template put them
// relative to the edges they are anchored to, as the dialog is resized.
#pragma once
#include <windows.h>
#include <vector>

class CDialogResizer {
public:
    // What a control does with the dialog's growth: move with the right or
    // bottom edge, or stretch towards it.
    enum : unsigned { MOVE_X = 1, MOVE_Y = 2, SIZE_X = 4, SIZE_Y = 8 };

    void Add(int id, unsigned anchors) { m_controls.push_back({id, anchors, {}}); }
    // Takes the controls' rectangles and the client size of the dialog as
    // laid out by its template. False when a control is missing.
    bool Start(HWND dialog);
    // Lays the controls out for the dialog's client size now.
    void Resize();

private:
    struct Control {
        int id;
        unsigned anchors;
        RECT rect;
    };
    HWND m_dialog = nullptr;
    SIZE m_start = {};
    std::vector<Control> m_controls;
};
