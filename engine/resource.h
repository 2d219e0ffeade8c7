// Resource and control identifiers of halvik.exe (halvik.rc).
#pragma once

#define IDI_HALVIK 99
#define IDD_LOG 102
#define IDD_VERSION 137

// Tray menu commands (the hub's WM_COMMAND numbers, engine/plugin.h).
#define IDM_VERSION 103
#define IDM_QUIT 110
#define IDM_EDITOR 112
#define IDM_SHOW_LOG 113
#define IDM_PLAYER 702
#define IDM_CAPTURE 703
#define IDM_RECORDER 704

// Log window controls.
#define IDC_LOG_PAUSE 1032
#define IDC_LOG_CLEAR 1033
#define IDC_LOG_SAVE 1034
#define IDC_LOG_DELETE 1035
#define IDC_LOG_LIST 1100

// Version dialog.
#define IDC_VERSION_ICON 1001
