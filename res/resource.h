// Resource numbers of the program: dialog templates, their controls, icons, bitmaps, strings.
// Control numbers are shared by the dialogs, as the templates give them.
#pragma once

#define IDR_MANIFEST 1

#define IDD_ABOUT 100
#define IDD_LINK 102
#define IDD_ERROR 129
#define IDD_SETTINGS 132

#define IDI_VELMORA 128
#define IDI_LINK 130
#define IDB_MAIL 131

#define IDS_ABOUTBOX 101

// Main dialog
#define IDC_CAPTION 1008
#define IDC_TARGET 1009
#define IDC_DEPTH_LABEL 1010
#define IDC_DEPTH 1011
#define IDC_DEPTH_SPIN 1012
#define IDC_SETTINGS 1013
#define IDC_HELP_BUTTON 1014
// Made by the dialog while a batch runs: the share done and the time left.
#define IDC_PROGRESS 1040
#define IDC_TIME_LEFT 1041

// Error prompt
#define IDC_ERROR_TEXT 1015
#define IDC_SKIP 1016
#define IDC_RETRY 1017
#define IDC_SKIP_ALL 1018

// Settings dialog
#define IDC_SAVE_WINDOW_POS 1019
#define IDC_SAVE_DEPTH 1020
#define IDC_DEFAULT_DEPTH_LABEL 1021
#define IDC_DEFAULT_DEPTH 1022
#define IDC_DEFAULT_DEPTH_SPIN 1023
#define IDC_LANGUAGE_LABEL 1024
#define IDC_LANGUAGE_FILE 1025
#define IDC_LANGUAGE_BROWSE 1026
#define IDC_HELP_FILE 1027
#define IDC_HELP_BROWSE 1028
#define IDC_HELP_LABEL 1029

// About dialog
#define IDC_HOME_LABEL 1000
#define IDC_HOME_LINK 1001
#define IDC_MAIL_LINK 1002
#define IDC_ABOUT_PROGRAM 1003
#define IDC_ABOUT_VERSION 1004
#define IDC_ABOUT_DEVELOPER 1005
#define IDC_ABOUT_AFFILIATION 1006

// The About item that the main dialog adds to its system menu.
#define IDM_ABOUTBOX 0x0010
