// The light backdrop behind the About box and the space bar: two vertical
// gradients of near-white, darker at the top, split at a third of the
// height.
#pragma once
#include <windows.h>

void FillBackdrop(HDC dc, const RECT& rect);
