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
// The thumbnail and list views: menus, the toggling pointer (arrow: 155), check image, commands
#define IDR_THUMB_ITEM_MENU 104
#define IDR_LIST_MENU 129
#define IDR_THUMB_ITEMS_MENU 190
#define IDC_VIEW_TOGGLE 180
#define IDB_APP_CHECK 204
#define ID_LIST_LARGE_ICONS 110
#define ID_LIST_SMALL_ICONS 111
#define ID_LIST_LIST 112
#define ID_LIST_DETAILS 113
#define ID_THUMBS_REMAKE 10071
#define ID_REFRESH 10072
#define ID_OPEN_ASSOCIATED 10078
#define ID_ACTIVATE_CURSOR 10091
#define ID_LIST_RESORT 10165
#define ID_PICTURE_WINDOW 10224
#define ID_PICTURE_SHOW 32782
#define ID_PICTURE_RELOAD 32798
// The comment dialog
#define IDD_COMMENT 218
#define IDC_COMMENT_EDIT 1072
#define IDC_COMMENT_PICTURE 1179
#define IDC_COMMENT_EXIF 1191
#define IDC_COMMENT_NAME 1194
#define IDC_COMMENT_SIZE 1195
#define IDC_COMMENT_DATE 1196

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
// The single and batch rename dialogs, the regular-expression group editor and the report dialogs
#define IDD_FILE_RENAME 173
#define IDD_FILE_RENAME_N 194
#define IDD_REPORT 213
#define IDD_REPORT_FILE 219
#define IDD_REGEXP_GROUP 283
#define IDC_RENAME_EDIT 1072
#define IDC_RENAME_NAME 1073
#define IDC_RENAME_PREVIEW 1096
#define IDC_RENAME_KEEP_EXT 1097
#define IDC_RENAME_PICTURE 1179
#define IDC_RENAME_ABORT 1200
#define IDC_RENAME_DATE 1297
#define IDC_RENAME_SIZE 1298
#define IDC_RENAMEN_SPIN 1005
#define IDC_RENAMEN_FIRST 1072
#define IDC_RENAMEN_PREVIEW 1096
#define IDC_RENAMEN_PICTURE 1098
#define IDC_RENAMEN_UP 1159
#define IDC_RENAMEN_DOWN 1160
#define IDC_RENAMEN_LIST 1255
#define IDC_RENAMEN_TARGET 1256
#define IDC_RENAMEN_FORMAT 1257
#define IDC_RENAMEN_BOX 1291
#define IDC_RENAMEN_UPDATE 1292
#define IDC_RENAMEN_COMMON 1293
#define IDC_REGEXP_GROUP_DELETE 1047
#define IDC_REGEXP_GROUP_NAME 1293
#define IDC_REGEXP_GROUP_LIST 1294
#define IDC_REPORT_LIST 1156
#define IDC_REPORT_FILE_TEMPLATE 1249
#define IDC_REPORT_FILE_NAME 1325
#define IDC_REPORT_FILE_BROWSE 1326
