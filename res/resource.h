// Resource ids shared by the resource scripts and the program. Only
// #defines: the resource compiler reads this file too.
#ifndef VEXA_RES_RESOURCE_H
#define VEXA_RES_RESOURCE_H

// Icon and accelerators.
#define IDI_VEXA 140
#define IDA_MAIN 109

// Dialogs.
#define IDD_ABOUT 103
#define IDD_FLASH_BIOS 347
#define IDD_SETTINGS 452

// About dialog controls (1 = OK, 2 = the icon).
#define IDC_ABOUT_ICON 2
#define IDC_ABOUT_HELP 9
#define IDC_ABOUT_NEWS 10
#define IDC_ABOUT_VERSION 1014
#define IDC_ABOUT_LINE2 1015

// Flash BIOS dialog controls.
#define IDC_FLASH_TEXT 1022
#define IDC_FLASH_RESTORE 3
#define IDC_FLASH_UPDATE 4
// Command the dialog sends itself to close (not a control).
#define IDC_FLASH_CLOSE 265

// Settings dialog controls.
#define IDC_SETTINGS_SHOW_ABOUT 1011
#define IDC_SETTINGS_SAVE_HW 1012
#define IDC_SETTINGS_RUN 1021
#define IDC_SETTINGS_RUN_MINIMIZED 1022
#define IDC_SETTINGS_RUN_TRAY 1023
#define IDC_SETTINGS_APPLY_QUIT 1024
#define IDC_SETTINGS_RESTART_GROUP 1025
#define IDC_SETTINGS_ABOUT_GROUP 1026
#define IDC_SETTINGS_SAVE_GROUP 1027
#define IDC_SETTINGS_DONT_RUN 1028

// Bitmaps.
#define IDB_SKIN 243
#define IDB_SLIDER_TRACK 245
#define IDB_HANDLE 250
#define IDB_HANDLE_HOT 271
#define IDB_HANDLE_DISABLED 358
#define IDB_BUTTON 258
#define IDB_BUTTON_HOT 267
#define IDB_BUTTON_DISABLED 330
#define IDB_GROUP 333
#define IDB_GROUP_SPARE 334
#define IDB_GROUP_HOT 335
#define IDB_CHECK 259
#define IDB_CHECK_HOT 272
#define IDB_CHECK_DISABLED 359
#define IDB_STEP_DOWN 453
#define IDB_STEP_DOWN_DISABLED 454
#define IDB_STEP_DOWN_HOT 455
#define IDB_STEP_UP 456
#define IDB_STEP_UP_DISABLED 457
#define IDB_STEP_UP_HOT 458
#define IDB_MINIMISE 264
#define IDB_MINIMISE_HOT 270
#define IDB_CLOSE 265
#define IDB_CLOSE_HOT 269
#define IDB_LOGO_SIMPLIFIED_CHINESE 352
#define IDB_LOGO 353
#define IDB_TRAY_MAIN_SELECTED 448
#define IDB_TRAY_MAIN 449
#define IDB_TRAY_QUIT 450
#define IDB_TRAY_QUIT_SELECTED 451
#define IDB_SYSMENU_ABOUT 351
// First pictures of the two slider popup tables (the full tables are in
// the slider code).
#define IDB_POPUP_LAST 308
#define IDB_POPUP_SMALL_LAST 427

#endif
