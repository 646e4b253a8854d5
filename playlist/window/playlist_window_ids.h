#pragma once
// Resource and command numbers of the playlist window, its dialogs and the
// MiniBar. Shared with the resource script: only #define lines.

// Playlist window (dialog 106) and its menus.
#define IDD_PLAYLIST 106
#define IDR_PLAYLIST_MENU 203
#define IDR_PLAYLIST_CONTEXT 204
#define IDC_PL_GROUP 702
#define IDC_PL_SEARCH 693
#define IDC_PL_LIST 625
#define IDC_PL_PATH 644

#define ID_PL_ADD_FILES 539
#define ID_PL_ADD_FOLDER 540
#define ID_PL_REMOVE 541
#define ID_PL_EDIT_TAG 542
#define ID_PL_EXTENDED 543
#define ID_PL_SORT_NAME 544
#define ID_PL_SORT_FILENAME 545
#define ID_PL_SHUFFLE 546
#define ID_PL_OPEN 547
#define ID_PL_SAVE 548
#define ID_PL_NEW_PLAYLIST 549
#define ID_PL_ADD_TO_PLAYLIST 550
#define ID_PL_ADD_PLAYLIST 551
#define ID_PL_REMOVE_MISSING 552
#define ID_PL_REMOVE_DUPLICATES 553
#define ID_PL_SELECT_ALL 554
#define ID_PL_REMOVE_ALL 557
#define ID_PL_REREAD_TAGS 558
#define ID_PL_RENAME 559
#define ID_PL_DELETE 560
#define ID_PL_COPY_TO 561
#define ID_PL_MOVE_TO 562
#define ID_PL_SORT_TEMPLATE 754
#define ID_PL_FIND_TRACK_FIRST 1240  // + entry index
#define ID_PL_FIND_TRACK_EMPTY 21001
#define ID_PL_ALWAYS_ON_TOP 9999  // system menu item

// Sort template dialog.
#define IDD_SORT 340
#define IDC_SORT_TEMPLATE 748
#define IDC_SORT_FORMATS 21010

// Automation dialog.
#define IDD_AUTOMATION 113
#define IDC_AUT_SAVESET 21020
#define IDC_AUT_SORT 21021
#define IDC_AUT_REMOVE 21022
#define IDC_AUT_REMOVEDUP 21023
#define IDC_AUT_RESCAN 21024
#define IDC_AUT_DIRS 21025
#define IDC_AUT_ADD_DIR 21026
#define IDC_AUT_REMOVE_DIR 21027
#define IDC_AUT_ON_START 21028
#define IDC_AUT_EVERY 21029
#define IDC_AUT_PERIOD 21030
#define IDC_AUT_PERIOD_SPIN 21031

// File operation progress and the rename dialog.
#define IDD_FILE_PROGRESS 114
#define IDC_PROGRESS_BAR 736
#define IDC_PROGRESS_TEXT 737
#define IDD_RENAME 108
#define IDC_RENAME_TEMPLATE 720

// Strings.
#define IDS_PLAYLIST_FILTER 8
#define IDS_PLAYLIST_TITLE 10
#define IDS_ALWAYS_ON_TOP 13
#define IDS_SELECT_TARGET 16
#define IDS_OVERWRITE 17
#define IDS_CONFIRM_DELETE 18
#define IDS_CANT_OPEN_FILE 9
#define IDS_FILE_OP_FAILED 21003

// Messages a test or another process may send to the playlist window.
// (WM_APP + 40) row -> entry index of that row, -1 outside.
#define WM_ZUL_PL_ROW_ENTRY (WM_APP + 40)
// (WM_APP + 41) the selected rows as a bit per row: wParam = first row of 32,
// the answer holds rows wParam to wParam + 31 (the list box's own selection
// messages do not answer other processes reliably under Wine).
#define WM_ZUL_PL_SELECTION_BITS (WM_APP + 41)
