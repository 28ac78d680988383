// The frame's menus in the user's language (<shared/menu_translation.h>).
#pragma once
#include <shared/menu_translation.h>

// The frame's menu (menu 1) or the explorer window's (menu 209).
void TranslateFrameMenu(HMENU menu);
