#pragma once
// The program's own message, command and timer numbers. Shared with the
// resource script, so only #define lines here. The Winamp protocol's numbers
// are in pluginhost/protocol/winamp_messages.h.

// ---- The program's own menu commands: WM_COMMAND to the main window ----
#define ID_MENU_CONSOLE 65
#define ID_CONSOLE_COPY 337     // console menu: copy all lines (CF_TEXT)
#define ID_CONSOLE_CLEAR 338    // console menu: delete all lines
#define ID_CONSOLE_CLOSE 339    // console menu: hide the console
#define ID_CONSOLE_TOPMOST 341  // console menu: toggle always on top
#define ID_MENU_PLAY 500
#define ID_MENU_PAUSE 501
#define ID_MENU_STOP 502
#define ID_MENU_PREVIOUS 503
#define ID_MENU_NEXT 504
#define ID_MENU_OPEN_FILE 505
#define ID_MENU_ABOUT 506
#define ID_MENU_EXIT 507  // runs the quit command 40001
#define ID_MENU_EQUALIZER 508
#define ID_MENU_PLAYLIST 509
#define ID_MENU_MINIBAR 510
#define ID_MENU_REPEAT 511
#define ID_MENU_OPEN_FOLDER 512
#define ID_MENU_MP3INFO 513
#define ID_MENU_OPEN_URL 514
#define ID_MENU_ELAPSED 515
#define ID_MENU_REMAINING 516
#define ID_MENU_SHOW_TITLE 517
#define ID_MENU_SHOW_ARTIST_TITLE 518
#define ID_MENU_SHOW_FILENAME 519
#define ID_MENU_REPEAT_TRACK 523
#define ID_MENU_ADVANCED 524
#define ID_MENU_SHUFFLE 525
#define ID_MENU_RANDOM_FIRST 526
#define ID_MENU_EXIT_AFTER_END 527
#define ID_MENU_SHUTDOWN_AFTER_END 528
#define ID_MENU_ALBUM_MODE 530
#define ID_MENU_DOCKING 535
#define ID_MENU_TOTAL_TIME 536
#define ID_MENU_AUTOMATION_SETUP 563
#define ID_MENU_AUTOMATION_NOW 564
#define ID_MENU_SORT_NAME 751
#define ID_MENU_SORT_FILENAME 752
#define ID_MENU_SORT_TEMPLATE 753
#define ID_MENU_ADD_FILES 771
#define ID_MENU_ADD_FOLDER 772
#define ID_MENU_VIDEO 1505
#define ID_MENU_DUMMY 65535

// ---- Private messages (WM_APP + 1 is the log line, base/console_log.h;
// WM_APP + 20 and up are the playlist's, playlist/win32/playlist_messages.h) ----
#define WM_ZUL_TRAY (WM_APP + 2)  // tray icon callback: lParam = mouse message

// ---- Timers of the main window ----
#define TIMER_DISPLAY 7     // 250 ms: position and tooltip
#define TIMER_AUTOMATION 8  // every AutPeriod minutes
#define TIMER_EXPORT 11     // 1 s: now-playing export
#define TIMER_GAP 12        // once, Gap ms after the end of a track: the next track
