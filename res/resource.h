// Resource ids shared by res/Vyx.rc and the sources.
#pragma once
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_PROGRESS 108

// Controls
#define IDC_PROGRESS_BAR 1003
#define IDC_PROGRESS_PERCENT 1004
#define IDC_PROGRESS_TEXT 1005

// Strings
#define IDS_PROGRESS_TITLE 103
#define IDS_COLOR_REDUCTION 232

// Progress dialogs (CProgressDlg 108 above, CProgDlg, VCopyFileDlg) and the wait cursor
#define IDD_PROGRESS_LINES 102
#define IDD_COPY_PROGRESS 172
#define IDC_PROGRESS_TEXT2 1006
#define IDC_PROGRESS_TEXT3 1007
#define IDC_PROGRESS_TEXT4 1008
#define IDC_PROGRESS_ICON 1009
#define IDC_COPY_PROGRESS_TEXT 1052
#define IDC_COPY_PROGRESS_PERCENT 1055
#define IDC_COPY_PROGRESS_BAR 1069
#define IDC_WAIT_CURSOR 233

// ---- catalogue/
// The wait cursor of long document operations (storing thumbnails, listing)
#define IDC_DOCUMENT_WAIT_CURSOR 186
// The display filter dialog
#define IDD_FILE_FILTER 188
#define IDC_FILTER_NAMES 1124
#define IDC_FILTER_CLEAR 1125
#define IDC_FILTER_SIZE_BEGIN 1154
#define IDC_FILTER_SIZE_END 1155
#define IDC_FILTER_NAME_ON 1212
#define IDC_FILTER_DATE_ON 1213
#define IDC_FILTER_SIZE_ON 1214
#define IDC_FILTER_UNIT_BEGIN 1215
#define IDC_FILTER_UNIT_END 1216
#define IDC_FILTER_DATE_BEGIN 1219
#define IDC_FILTER_DATE_END 1220

// ---- controls/
// Option tree: 21 state and heading images of 16 x 16 (magenta mask)
#define IDB_TREE_OPTIONS 244
// Button group: six images of 14 x 12, tooltip strings and the buttons' command ids
#define IDB_BUTTON_GROUP 129
#define IDS_BUTTONGRP_ADD 201
#define IDS_BUTTONGRP_DELETE 202
#define IDS_BUTTONGRP_UP 203
#define IDS_BUTTONGRP_DOWN 204
#define IDS_BUTTONGRP_TOP 205
#define IDS_BUTTONGRP_END 206
#define IDC_BUTTONGRP_ADD 1045
#define IDC_BUTTONGRP_DELETE 1047
#define IDC_BUTTONGRP_TOP 1158
#define IDC_BUTTONGRP_UP 1159
#define IDC_BUTTONGRP_DOWN 1160
#define IDC_BUTTONGRP_END 1161

// Window list dialog of the MDI frame base
#define IDD_WINDOW_LIST 30977
#define IDC_WINDOWLIST_ACTIVATE 1002
#define IDC_WINDOWLIST_CLOSE 1003
#define IDC_WINDOWLIST_SAVE 1004
#define IDC_WINDOWLIST_CASCADE 1005
#define IDC_WINDOWLIST_TILEHORZ 1006
#define IDC_WINDOWLIST_TILEVERT 1007
#define IDC_WINDOWLIST_MINIMIZE 1008
#define IDC_WINDOWLIST_LIST 1009
// The option pane of the tool bar's customise dialog
#define IDD_TOOLBAR_OPTIONS 30976
#define IDC_TOOLBAR_TEXTOPTIONS 1000
#define IDC_TOOLBAR_ICONOPTIONS 1001
// The print-preview tool bar's images (small normal, small hot)
#define IDB_PREVIEW_TOOLBAR_HOT 31000
#define IDB_PREVIEW_TOOLBAR 31001
// Texts of the frame bases, the rebar, the tool bars and the menu bar
#define IDS_MDI_MINIMIZE 61952
#define IDS_MDI_RESTORE 61953
#define IDS_MDI_CLOSE 61954
#define IDS_WINDOW_LIST_ENTRY 61968
#define IDS_CUSTOMIZE_TOOLBAR 61969
#define IDS_TOOLBAR_SEPARATOR 61970
#define IDS_TEXTOPTION_LABELS 61984
#define IDS_TEXTOPTION_SELECTIVE 61985
#define IDS_TEXTOPTION_NONE 61987
#define IDS_ICONOPTION_SMALL 61988
#define IDS_ICONOPTION_LARGE 61989
#define IDS_LOCK_TOOLBARS 61990
#define IDS_WINDOW_LIST_PROMPT 57854

// ---- browser/
// The main frame: menu, accelerators, icon and document string; tool-bar and menu images
#define IDR_MAINFRAME 128
#define IDS_HOMEPAGE 136
#define IDB_MENU_IMAGES_241 241
#define IDB_MENU_IMAGES_243 243
#define IDB_MAIN_TOOLBAR 258
#define IDB_MAIN_TOOLBAR_LARGE 308
#define ID_VIEW_MENUBAR 10234
#define ID_VIEW_DRIVEBAR 10244
#define ID_VIEW_JUMPBAR 10255
#define ID_HELP_ONLINE 10119
#define ID_HELP_REPORT 10267
// The list-edit dialog of the history lists: template, controls, context menu and keys
#define IDD_LISTEDIT 195
#define IDR_LISTEDIT_MENU 192
#define IDR_LISTEDIT_ACCEL 234
#define IDC_LISTEDIT_LABEL 1060
#define IDC_LISTEDIT_CHOICE 1152
#define IDC_LISTEDIT_LIST 1156
#define IDC_LISTEDIT_BUTTONS 1177
// The about box
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_PHYSICAL 1083
#define IDC_ABOUT_PAGEFILE 1085
#define IDC_ABOUT_PAGEFILE_FREE 1086
#define IDC_ABOUT_HOMEPAGE 1102
#define IDC_ABOUT_VERSION 1192
#define IDC_ABOUT_WINDOWS 1205
#define IDC_ABOUT_PHYSICAL_FREE 1227
#define IDC_ABOUT_PHYSICAL_BAR 1228
#define IDC_ABOUT_PAGEFILE_BAR 1229
// The rebar's drive bar and jump bar (dialog bars)
#define IDD_DRIVEBAR 279
#define IDD_JUMPBAR 286
// Registered external applications: dialog, its controls, the macro and folder menus
#define IDD_APPCALL 182
#define IDR_APP_ARG_MENU 183
#define IDR_APP_FOLDER_MENU 184
#define IDC_APP_FOLDER 1071
#define IDC_APP_COMMAND 1101
#define IDC_APP_BROWSE 1102
#define IDC_APP_ARGUMENTS 1103
#define IDC_APP_ARG_MENU 1104
#define IDC_APP_FOLDER_MENU 1106
#define IDC_APP_TITLE 1107
#define IDC_APP_LIST 1108
#define IDC_APP_ADD 1109
#define IDC_APP_DELETE 1198
#define IDC_APP_DUP 1199
#define IDC_APP_WAIT 1200
#define ID_APP_MACRO_PATH 10049
#define ID_APP_MACRO_DIR 10050
#define ID_APP_MACRO_FILENAME 10051
#define ID_APP_MACRO_ARCPATH 10052
#define ID_APP_FOLDER_PICTURE 10069
#define ID_APP_FOLDER_BROWSE 10070
#define ID_APP_MACRO_SHORTPATH 10190
#define ID_APP_MACRO_SHORTFILENAME 10191

// ---- viewer/
// The picture window: menu, accelerators, icon and title; the hot images of its tool bar (the
// normal ones are IDB_MENU_IMAGES_241); its status-bar indicator texts; the commands it handles
#define IDR_PICTUREWND 149
#define IDB_PICTURE_TOOLBAR_HOT 310
#define IDS_PICTURE_PANE_SIZE 2101
#define IDS_PICTURE_PANE_ZOOM 2102
#define IDS_PICTURE_PANE_INFO 2103
#define ID_PICTURE_CLOSE_ALL 10196
#define ID_PICTURE_SYNCHRONIZE 10239
// The picture view's cursors (plain, open hand, closed hand) and the wait cursor of TIFF pages
#define IDC_PICTURE_ARROW 155
#define IDC_PICTURE_HAND 156
#define IDC_PICTURE_GRAB 157
#define IDC_TIFF_WAIT_CURSOR 234

// ---- fileops/
// File operations: the progress window of a job and its dot-matrix panel, the same-name dialog,
// the copy and move dialogs, the folder prompts and the wait cursor of archive extraction
#define IDD_FILE_COPY 168
#define IDD_FILE_MOVE 169
#define IDD_FILE_ACCESS 170
#define IDD_SAME_FILE 171
#define IDD_FOLDER_CREATE 183
#define IDD_GET_FOLDER 206
#define IDD_FOLDER_RENAME 220
#define IDB_MATRIX_CELLS 302
#define IDB_MATRIX_CHARS 304
#define IDB_MATRIX_CELLS_COPY 305
#define IDC_EXTRACT_CURSOR 212
#define IDC_FILEACC_NAME 1052
#define IDC_FILEACC_PANEL 1308
#define IDC_FILEACC_LINE 1309
#define IDC_SAME_SOURCE_NAME 1059
#define IDC_SAME_SOURCE_INFO 1060
#define IDC_SAME_DEST_NAME 1062
#define IDC_SAME_DEST_EXT 1063
#define IDC_SAME_ALL 1065
#define IDC_SAME_NEWER 1066
#define IDC_SAME_OVERWRITE 1067
#define IDC_SAME_IGNORE 1068
#define IDC_SAME_RENAME 1069
#define IDC_SAME_SERIAL 1070
#define IDC_SAME_LARGER 1071
#define IDC_SAME_DEST_INFO 1234
#define IDC_SAME_SOURCE_INFO2 1235
#define IDC_SAME_DEST_INFO2 1236
#define IDC_SAME_SKIP_IDENTICAL 1266
#define IDC_SAME_RECYCLE_OLD 1282
#define IDC_SAME_SOURCE_ZOOM 1311
#define IDC_SAME_DEST_ZOOM 1312
#define IDC_SAME_SOURCE_TITLE 1313
#define IDC_SAME_DEST_TITLE 1314
#define IDC_SAME_ARROW 1315
#define IDC_SAME_GROUP 1316
#define IDC_SAME_SOURCE_VIEW 1319
#define IDC_SAME_DEST_VIEW 1320
#define IDC_FILECOPY_FOLDER 1049
#define IDC_FILECOPY_BROWSE 1050
#define IDC_FILECOPY_QUICK 1051
#define IDC_FILECOPY_CURRENT 1071
#define IDC_FILECOPY_OPTIONS 1206
#define IDC_FOLDER_PROMPT 1071
#define IDC_FOLDER_NAME 1072
#define IDC_GETFOLDER_PROMPT 1190
#define IDC_GETFOLDER_FOLDER 1152
#define IDC_GETFOLDER_BROWSE 1191
#define ID_QUICK_FOLDER_FIRST 9000
#define ID_QUICK_FOLDER_LAST 9020
