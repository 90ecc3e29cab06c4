// The options record: the one record the document fills from its settings, every page of the
// options sheet edits and the document takes back after OK.
#pragma once

#include "catalogue/CKWDocSettings.h"

struct OPTIONSDATA
{
    CString HomeFolder;
    CString SPIDIR;
    CString CacheDataFolder;
    bool RestoreFolder = true;
    bool MultiProcess = true;
    bool ScanSPI = false;
    bool ExtSPI = false;
    bool LoadSelectedPluginsOnly = false;
    bool CacheFolder = false;
    bool AutoCacheFolder = false;
    bool EnableConfig = true;
    bool SyncJump = true;
    bool InfoView = false;
    bool DELQA = false;
    bool TrashCan = true;
    bool DaDMOVE = false;
    bool ThumbsCreate = false;
    bool TopMost = CKWDocSettings::TopMostDefault;
    bool MultiPicView = false;
    bool Stay = false;
    bool ArcTree = true;
    bool ArchiveInArchive = false;
    bool HiddenFolder = false;
    int CheckSubFolder = 1;
    int TreeRoot = 29;
    bool MemDraw = true;
    bool FolderMonitor = false;
    int WheelScrollCount = 0;
    bool JudgeByPluginExtension = false;
    int IDViewer = 10224;
    CString ExecExt;
    bool ClipboardCopyDIB = true;
    bool ClipboardCopyTEXT = true;
    bool NotClrCursorMove = false;
    COLORREF colBackground = 0xE0FFFF;
    COLORREF colText = 0;
    CString TitleFormat;
    CString InfoColumnTemplete;
    int AutoColumnSize = 1;
    int NameMaxSize = 30;
    int DispPluginLimit = 2048;
    int ArcDispPluginLimit = 20;
    bool FolderShow = true;
    bool HiddenFile = false;
    int Monitor = 0;
    int FolderTitle = 3;
    int FolderTitleSearchCount = 10;
    int ColumnCount = 1;
    int LineCount = 1;
    int DirectionLR = 0;
    int DirectionUD = 0;
};
