// The test archive plug-in ("*.tarc") in the program's plug-in host while the object lives, and
// the items a folder listing makes of an archive's members.
#pragma once

#include "catalogue/VyxFile.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxPath.h"
#include "image/plugins/Spi.h"
#include "image/plugins/SpiInterface.h"

#include <vector>

class TestArchivePlugin
{
public:
    // A copy of the plug-in in a folder of its own, scanned as the program scans its folder.
    TestArchivePlugin()
    {
        static LONG serial = 0;
        CString source;
        MakeModulePath(source, L"plugins\\test_archive.spi");
        MakeTempPath(m_folder, L"");
        m_folder.AppendFormat(L"vyxarc_%lu_%ld", GetCurrentProcessId(), InterlockedIncrement(&serial));
        CreateDirectoryW(m_folder, nullptr);
        CopyFileW(source, m_folder + L"\\arc.spi", FALSE);
        theSPImapIndex.ScanPlugins(m_folder + L"\\*.spi", nullptr, nullptr);
    }
    ~TestArchivePlugin()
    {
        theSPImapIndex.DeleteAll();
        DeleteFileW(m_folder + L"\\arc.spi");
        RemoveDirectoryW(m_folder);
    }
    TestArchivePlugin(const TestArchivePlugin&) = delete;
    TestArchivePlugin& operator=(const TestArchivePlugin&) = delete;

    int Id() const
    {
        VyxSPI* plugin = theSPImapIndex.GetPluginAt(0, SPImapIndex::KindArchive);
        return plugin ? plugin->GetId() : -1;
    }
    // One new item per member (the caller owns them).
    std::vector<VyxFile*> Members(const CString& archive) const
    {
        std::vector<VyxFile*> items;
        SPIRequest request;
        request.id = Id();
        request.source = archive;
        if (theSPImapIndex.GetArchiveInfo(&request) != SPI_OK)
            return items;
        std::vector<SPIFileInfo> members = ReadArchiveListing(request.output);
        GlobalFree(request.output);
        for (const SPIFileInfo& record : members) {
            VyxFileFind finder;
            if (finder.FindFile(archive)) {
                finder.FindNextFile();
                items.push_back(new VyxFile(finder, -1, Id(), &record));
            }
        }
        return items;
    }

private:
    CString m_folder;
};
