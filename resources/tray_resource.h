#pragma once
// Pictures of the tray icon, the main menu and the tray tooltip. Shared with
// the resource script, so only #define lines here.
#define IDI_TRAY_PLAY 304
#define IDI_TRAY_STOP 305
#define IDI_TRAY_PAUSE 306
#define IDI_TRAY_PREVIOUS 307
#define IDI_TRAY_NEXT 308
#define IDI_TOOLTIP_SMALL 248  // the tooltip template's small icon
#define IDB_TOOLTIP_ALBUM 138  // the tooltip template's picture beside the tags
#define IDB_MENU_BUTTONS_DOWN 402
#define IDB_MENU_BUTTONS 403
#define IDB_MENU_IMAGES 409   // menu image list, 16 high, C0C0C0 transparent
#define IDS_MENU_ERROR 20000  // a track menu that could not be built
