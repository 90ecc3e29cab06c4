#include "browser/CSpiInfoDlg.h"

#include "browser/CKWApp.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

CSpiInfoDlg::CSpiInfoDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CSpiInfoDlg::SetPlugin(const wchar_t* fileName, int kind)
{
    VyxSPI* plugin = theSPImapIndex.FindPluginByName(fileName, kind);
    if (!plugin)
        return;
    m_name = plugin->GetInfoString(1);
    m_apiVersion = plugin->GetInfoString(0);
    m_open = plugin->GetInfoString(3);
    m_extensions = plugin->GetFilePatterns();

    // The file the plug-in was loaded from; the plug-in folder of the settings only when the host
    // does not know it (a folder changed in the options counts from the next start).
    CString path = plugin->GetPath();
    if (path.IsEmpty()) {
        MakePath(path, nullptr, CKWApp::GetPluginFolder(), fileName, L".SPI");
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        const CString date = CTime(FileTimeToUnixTime(data.ftLastWriteTime)).Format(L"%Y/%m/%d %H:%M:%S");
        m_fileInfo.Format(L"%s %10lu %s", fileName, static_cast<unsigned long>(data.nFileSizeLow), date.GetString());
    }
    for (int i = 0; i < VersionFields; ++i)
        GetVersionInfoString(m_version[i], path, i);
}

void CSpiInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SPIINFO_NAME, m_name);
    DDX_Text(pDX, IDC_SPIINFO_API, m_apiVersion);
    DDX_Text(pDX, IDC_SPIINFO_OPEN, m_open);
    DDX_Text(pDX, IDC_SPIINFO_EXTENSIONS, m_extensions);
    DDX_Text(pDX, IDC_SPIINFO_FILE, m_fileInfo);
    for (int i = 0; i < VersionFields; ++i)
        DDX_Text(pDX, IDC_SPIINFO_COMPANY + i, m_version[i]);
}
