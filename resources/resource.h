#pragma once
// Resource numbers of zul.rc. Menu command numbers live in app/messages.h.

#define IDI_ZUL 301
#define IDR_MAIN_MENU 201
#define IDR_CONSOLE_MENU 800
#define IDB_GENERIC_SKIN 408       // the generic window skin, 130 x 75
#define IDR_GENERIC_SKIN_FILE 770  // the same picture as a file image (type "IMAGE")

// String table
#define IDS_SELECT_FOLDER 14
#define IDS_REPEAT_OFF_WARNING 21
#define IDS_CONNECT_FAILED 67
#define IDS_VERSION_NOT_FOUND 68
#define IDS_UPDATED_RESTART 254
#define IDS_UPDATE_FAILED 256
#define IDS_NEXT_FILES 342

// Open URL dialog
#define IDD_OPEN_URL 104
#define IDC_URL_EDIT 615
#define IDC_URL_LABEL 1265
