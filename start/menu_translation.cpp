#include "menu_translation.h"
#include "resource.h"
#include <shared/translator.h>

namespace {

// The frame's menu and the explorer window's share these rows; only the
// explorer's has the Window popup.
const CMenuTranslationRow kFrameRows[] = {
    {"&File", 0, IDS_FILE_POPUP},
    {nullptr, ID_FILE_NEW, IDS_MENU_NEW},
    {nullptr, ID_FILE_OPEN, IDS_MENU_OPEN},
    {nullptr, ID_FILE_CLOSE, IDS_MENU_CLOSE},
    {nullptr, ID_APP_EXIT, IDS_MENU_EXIT},
    {"&View", 0, IDS_VIEW_POPUP},
    {nullptr, ID_VIEW_TOOLBAR, IDS_MENU_TOOLBAR},
    {nullptr, ID_VIEW_STATUS_BAR, IDS_MENU_STATUS_BAR},
    {nullptr, ID_VIEW_SPACEBAR, IDS_MENU_SPACEBAR},
    {nullptr, ID_VIEW_EXPLORER, IDS_MENU_EXPLORER},
    {"&Window", 0, IDS_WINDOW_POPUP},
    {nullptr, ID_WINDOW_CASCADE, IDS_MENU_CASCADE},
    {nullptr, ID_WINDOW_TILE_HORZ, IDS_MENU_TILE_HORZ},
    {nullptr, ID_WINDOW_TILE_VERT, IDS_MENU_TILE_VERT},
    {nullptr, ID_WINDOW_ARRANGE, IDS_MENU_ARRANGE},
    {"&Help", 0, IDS_HELP_POPUP},
    {nullptr, ID_APP_ABOUT, IDS_MENU_ABOUT},
    {nullptr, ID_HELP_INDEX, IDS_MENU_INDEX},
    {nullptr, 0, 0},
};

}  // namespace

void TranslateFrameMenu(HMENU menu)
{
    TranslateMenu(menu, kFrameRows);
}
