#pragma once
// The Winamp message protocol as plug-ins speak it: command numbers, the
// WM_WA_* messages and the IPC numbers of the Winamp window. Only #define
// lines, as plug-in headers have them.

// ---- Winamp commands: WM_COMMAND to the Winamp window (wParam = number) ----
#define WINAMP_FILE_QUIT 40001          // quit sequence; no reply
#define WINAMP_OPTIONS_PREFS 40012      // preferences dialog
#define WINAMP_FILE_REPEAT 40022        // toggle repeat track
#define WINAMP_FILE_SHUFFLE 40023       // toggle shuffle
#define WINAMP_FILE_PLAY 40029          // open-file dialog
#define WINAMP_SHOW_EQUALIZER 40036     // show the equalizer
#define WINAMP_OPTIONS_ELAPSED 40037    // show elapsed time
#define WINAMP_OPTIONS_REMAINING 40038  // show remaining time
#define WINAMP_OPTIONS_PLEDIT 40040     // show or hide the playlist window
#define WINAMP_HELP_ABOUT 40041         // about dialog
#define WINAMP_MAINMENU 40043           // main menu at the cursor
#define WINAMP_BUTTON1 40044            // previous
#define WINAMP_BUTTON2 40045            // play
#define WINAMP_BUTTON3 40046            // pause
#define WINAMP_BUTTON4 40047            // stop
#define WINAMP_BUTTON5 40048            // next
#define WINAMP_VOLUMEUP 40058           // volume + 5
#define WINAMP_VOLUMEDOWN 40059         // volume - 5
#define WINAMP_FFWD5S 40060             // seek forward 5 s
#define WINAMP_REW5S 40061              // seek back 5 s
#define WINAMP_BUTTON1_SHIFT 40144      // seek back 5 s
#define WINAMP_BUTTON5_SHIFT 40148      // seek forward 5 s
#define WINAMP_BUTTON2_CTRL 40155       // open URL
#define WINAMP_JUMPFILE 40194           // show the playlist window
#define WINAMP_MAIN_WINDOW 40258        // show or hide the MiniBar

// ---- Winamp messages to the Winamp window ----
#define WM_WA_IPC WM_USER             // wParam data, lParam IPC number; reply per IPC
#define WM_WA_MPEG_EOF (WM_USER + 2)  // 1026: end of track from an input plug-in; no reply

// ---- Winamp IPC numbers (lParam of WM_WA_IPC to the Winamp window) ----
#define IPC_GETVERSION 0   // reply 0x5030
#define IPC_PLAYFILE 100   // copy-data (ANSI path) or window message: play that file
#define IPC_DELETE 101     // stop and empty the playlist
#define IPC_STARTPLAY 102  // play unless playing (also 1102)
#define IPC_STARTPLAY_ALT 1102
#define IPC_ISPLAYING 104               // reply 1 playing, 3 paused, 0 stopped
#define IPC_GETOUTPUTTIME 105           // wParam 0: position in ms, else length in s; -1 empty playlist
#define IPC_JUMPTOTIME 106              // wParam ms; copy-data 106: add or refresh an entry
#define IPC_WRITEPLAYLIST 120           // save the playlist; reply the current index
#define IPC_SETPLAYLISTPOS 121          // wParam index
#define IPC_SETVOLUME 122               // wParam 0..255, or -666: reply the volume
#define IPC_SETPANNING 123              // wParam -127..127, or -666: reply the pan
#define IPC_GETLISTLENGTH 124           // reply the entry count
#define IPC_GETLISTPOS 125              // reply the current index
#define IPC_GETINFO 126                 // wParam mode: 0 rate, 1 bitrate, 2 channels, 3 video size, 4 video text
#define IPC_GETEQDATA 127               // wParam band: reply 31 (flat), 0 for 11 and 12
#define IPC_GETSKIN 201                 // wParam char* buffer: the skin folder
#define IPC_GETPLAYLISTFILE 211         // wParam index: reply char* path
#define IPC_GETPLAYLISTTITLE 212        // wParam index: reply char* title
#define IPC_UPDTITLE 243                // the playing stream's title changed
#define IPC_GET_SHUFFLE 250             // reply the ShuffleMode setting
#define IPC_GETWND 260                  // wParam 1: reply the playlist window
#define IPC_ISWNDVISIBLE 261            // reply whether the Winamp window is visible
#define IPC_GET_HMENU 281               // wParam 0: reply the main menu handle
#define IPC_GET_EXTENDED_FILE_INFO 290  // wParam extendedFileInfoStruct*
#define IPC_GET_EXTLIST 292             // reply a GlobalAlloc'd NUL-separated list
#define IPC_GET_EXTENDED_FILE_INFO_HOOKABLE 296
#define IPC_FORMATTITLE 297             // wParam waFormatTitle*
#define IPC_GETUNCOMPRESSINTERFACE 331  // reply zlib's uncompress
#define IPC_ADD_PREFS_DLG 332           // wParam _prefsDlgRec*: add a preferences page
#define IPC_REMOVE_PREFS_DLG 333        // wParam _prefsDlgRec*: remove it
#define IPC_GETINIFILE 334              // reply char* settings file path
#define IPC_GETINIDIRECTORY 335         // reply char* program folder
#define IPC_GETPLUGINDIRECTORY 336      // reply char* plug-in folder
#define IPC_OPENPREFSTOPAGE 380         // wParam page number below 200, else _prefsDlgRec*: open preferences there
#define IPC_PLAYFILEW 1100              // copy-data (UTF-16 path) or window message: play that file
#define IPC_GETINIFILEW 1334            // the same three as wchar_t*
#define IPC_GETINIDIRECTORYW 1335
#define IPC_GETPLUGINDIRECTORYW 1336
#define IPC_GET_IVIDEOOUTPUT 500              // reply the video output object
#define IPC_IS_PLAYING_VIDEO 501              // reply 2 when the video window is visible
#define IPC_GET_GENSKINBITMAP 503             // wParam 1: L"Verdana", 2: 1, 3: 9, else the bitmap
#define IPC_GETLANGUAGEPACKINSTANCE 621       // reply our module handle
#define IPC_GET_EMBEDIF 505                   // wParam 0 or embedWindowState*
#define IPC_CB_OUTPUTCHANGED 623              // reply 1
#define IPC_IS_FULLSCREEN 630                 // reply the video window's full-screen flag
#define IPC_SHOW_NOTIFICATION 632             // show the track tooltip
#define IPC_WRITECONFIG 3011                  // wParam 0 settings, 1 playlist, 2 both
#define IPC_GET_RANDFUNC 3015                 // reply int (*)(void)
#define IPC_GET_DISPATCH_OBJECT 3020          // reply 0
#define IPC_GET_PROXY_STRING 3023             // reply ""
#define IPC_GET_API_SERVICE 3025              // reply the api_service object
#define IPC_REGISTER_WINAMP_IPCMESSAGE 65536  // wParam char* name: reply its number (65538 + index)
#define IPC_FIRST_REGISTERED 65538
