// The options record: the one record the document fills from its settings, every page of the
// options sheet edits and the document takes back after OK.
#pragma once

#include "catalogue/CKWDocSettings.h"

struct OPTIONSDATA
{
    // The fields that stand for a document setting start from that setting's default.
    OPTIONSDATA();

    CString HomeFolder;
    CString SPIDIR;
    CString CacheDataFolder;
    bool RestoreFolder;
    bool MultiProcess;
    bool ScanSPI;
    bool ExtSPI;
    bool LoadSelectedPluginsOnly = false;
    bool CacheFolder;
    bool AutoCacheFolder;
    bool EnableConfig;
    bool SyncJump;
    bool InfoView;
    bool DELQA;
    bool TrashCan;
    bool DaDMOVE;
    bool ThumbsCreate;
    bool TopMost;
    bool MultiPicView;
    bool Stay;
    bool ArcTree;
    bool ArchiveInArchive;
    bool HiddenFolder;
    int CheckSubFolder;
    int TreeRoot;
    bool MemDraw;
    bool FolderMonitor;
    int WheelScrollCount;
    bool JudgeByPluginExtension = false;
    int IDViewer;
    CString ExecExt;
    bool ClipboardCopyDIB;
    bool ClipboardCopyTEXT;
    bool NotClrCursorMove;
    COLORREF colBackground; // the views' colours
    COLORREF colText;
    CString TitleFormat;
    CString InfoColumnTemplete;
    int AutoColumnSize = SettingKeys::AutoColumnSize.defaultValue;
    int NameMaxSize = SettingKeys::NameMaxSize.defaultValue;
    int DispPluginLimit;
    int ArcDispPluginLimit;
    bool FolderShow;
    bool HiddenFile;
    int Monitor;
    int FolderTitle;
    int FolderTitleSearchCount;
    int ColumnCount;
    int LineCount;
    int DirectionLR;
    int DirectionUD;
};

// Every field of the record that stands for a document setting of the same name, handed to the
// visitor as (record member, settings member); the document fills the record and takes it back
// along this one list. The fields not listed (the colours, the plugin index's switches and the
// keys other windows own) are handed over by the document itself.
template <class Visitor> void VisitOptionSettings(Visitor&& visit)
{
#define VYX_OPTION_LINK(name) visit(&OPTIONSDATA::name, &CKWDocSettings::name)
    VYX_OPTION_LINK(HomeFolder);
    VYX_OPTION_LINK(SPIDIR);
    VYX_OPTION_LINK(CacheDataFolder);
    VYX_OPTION_LINK(RestoreFolder);
    VYX_OPTION_LINK(MultiProcess);
    VYX_OPTION_LINK(ScanSPI);
    VYX_OPTION_LINK(ExtSPI);
    VYX_OPTION_LINK(CacheFolder);
    VYX_OPTION_LINK(AutoCacheFolder);
    VYX_OPTION_LINK(EnableConfig);
    VYX_OPTION_LINK(SyncJump);
    VYX_OPTION_LINK(InfoView);
    VYX_OPTION_LINK(DELQA);
    VYX_OPTION_LINK(TrashCan);
    VYX_OPTION_LINK(DaDMOVE);
    VYX_OPTION_LINK(ThumbsCreate);
    VYX_OPTION_LINK(TopMost);
    VYX_OPTION_LINK(MultiPicView);
    VYX_OPTION_LINK(Stay);
    VYX_OPTION_LINK(ArcTree);
    VYX_OPTION_LINK(ArchiveInArchive);
    VYX_OPTION_LINK(HiddenFolder);
    VYX_OPTION_LINK(CheckSubFolder);
    VYX_OPTION_LINK(TreeRoot);
    VYX_OPTION_LINK(MemDraw);
    VYX_OPTION_LINK(FolderMonitor);
    VYX_OPTION_LINK(WheelScrollCount);
    VYX_OPTION_LINK(IDViewer);
    VYX_OPTION_LINK(ExecExt);
    VYX_OPTION_LINK(ClipboardCopyDIB);
    VYX_OPTION_LINK(ClipboardCopyTEXT);
    VYX_OPTION_LINK(NotClrCursorMove);
    VYX_OPTION_LINK(DispPluginLimit);
    VYX_OPTION_LINK(ArcDispPluginLimit);
    VYX_OPTION_LINK(FolderShow);
    VYX_OPTION_LINK(HiddenFile);
    VYX_OPTION_LINK(Monitor);
    VYX_OPTION_LINK(FolderTitle);
    VYX_OPTION_LINK(FolderTitleSearchCount);
    VYX_OPTION_LINK(ColumnCount);
    VYX_OPTION_LINK(LineCount);
    VYX_OPTION_LINK(DirectionLR);
    VYX_OPTION_LINK(DirectionUD);
#undef VYX_OPTION_LINK
}

inline OPTIONSDATA::OPTIONSDATA()
{
    const CKWDocSettings defaults;
    VisitOptionSettings([&](auto field, auto setting) { this->*field = defaults.*setting; });
    colBackground = defaults.colViewBackground;
    colText = defaults.colViewText;
}
