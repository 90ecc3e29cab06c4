// The resizable dialogs of renaming: what stretches and what keeps to a corner when they grow.
// Pictures of the batch rename dialog with its preview and of the group editor are saved when
// VYX_RENAME_SHOT names a folder; the checks run every time.
#include "FileopsTestUtil.h"

#include "common/ControlTestUtil.h"
#include "fileops/CRegExpGroupDialog.h"
#include "fileops/VFileRenameNDlg.h"
#include "res/resource.h"

using namespace fileopstest;

namespace {

CRect ChildRect(CWnd& dialog, int id)
{
    CRect rect;
    ::GetWindowRect(::GetDlgItem(dialog.GetSafeHwnd(), id), &rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

void Grow(CWnd& dialog, int dx, int dy)
{
    CRect rect;
    dialog.GetWindowRect(&rect);
    dialog.SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height() + dy, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
}

void SaveShot(CWnd& dialog, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VYX_RENAME_SHOT", folder, MAX_PATH))
        return;
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    // Wine copies window surfaces to the screen from its idle pump: the picture is taken after
    // the pump has run dry for a while (nothing is checked on it).
    PumpUntil([] { return false; }, 300);
    CRect rect;
    dialog.GetWindowRect(&rect);
    EXPECT_TRUE(SaveScreenBitmap(rect, CString(folder) + L"\\" + name));
}

} // namespace

TEST(RenameLayout, TheBatchRenameListGrowsAndTheButtonsKeepToTheirCorners)
{
    ScratchSettings settings;
    StandardPlugins plugins;
    ScratchFolder folder;
    std::unique_ptr<VyxFile> first(NewPictureItem(folder, L"夏の海.tpic", 320, 240));
    std::unique_ptr<VyxFile> second(NewPictureItem(folder, L"DSC_0002.tpic", 200, 300));
    WriteAppIniString(L"RenameFormat", L"0", L"旅行_#3#");
    Modeless<VFileRenameNDlg> dialog;
    dialog.AddFile(first.get());
    dialog.AddFile(second.get());
    ASSERT_TRUE(dialog.Create(IDD_FILE_RENAME_N, nullptr));
    dialog.ShowWindow(SW_SHOW);
    LVITEMW select = {};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendDlgItemMessageW(dialog.GetSafeHwnd(), IDC_RENAMEN_LIST, LVM_SETITEMSTATE, 0,
                          reinterpret_cast<LPARAM>(&select));
    PumpPending();
    SaveShot(dialog, L"batch_rename.bmp");

    const CRect list = ChildRect(dialog, IDC_RENAMEN_LIST), ok = ChildRect(dialog, IDOK);
    const CRect picture = ChildRect(dialog, IDC_RENAMEN_PICTURE), down = ChildRect(dialog, IDC_RENAMEN_DOWN);
    const CRect target = ChildRect(dialog, IDC_RENAMEN_TARGET);
    Grow(dialog, 120, 80);
    EXPECT_EQ(list.Width() + 120, ChildRect(dialog, IDC_RENAMEN_LIST).Width());
    EXPECT_EQ(list.Height() + 80, ChildRect(dialog, IDC_RENAMEN_LIST).Height());
    EXPECT_EQ(target.Width() + 120, ChildRect(dialog, IDC_RENAMEN_TARGET).Width());
    EXPECT_EQ(ok.TopLeft() + CPoint(120, 0), ChildRect(dialog, IDOK).TopLeft());
    EXPECT_EQ(picture.TopLeft() + CPoint(120, 0), ChildRect(dialog, IDC_RENAMEN_PICTURE).TopLeft());
    EXPECT_EQ(down.TopLeft() + CPoint(120, 80), ChildRect(dialog, IDC_RENAMEN_DOWN).TopLeft());
}

TEST(RenameLayout, TheGroupEditorsListGrowsBothWaysAndItsButtonsKeepToTheTopRight)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"日付", {L"[0-9]{8}", L"[0-9]{4}$", L"$(Width)"});
    NamedItem item(L"IMG_20240804_1234.jpg", 0, 1234);
    Modeless<CRegExpGroupDialog> editor;
    editor.m_groups = groups.file;
    editor.m_groupName = L"日付";
    editor.m_sampleItem = &item;
    editor.m_sampleText = L"IMG_20240804_1234";
    ASSERT_TRUE(editor.Create(IDD_REGEXP_GROUP, nullptr));
    editor.ShowWindow(SW_SHOW);
    PumpPending();
    SaveShot(editor, L"regexp_group.bmp");

    const CRect list = ChildRect(editor, IDC_REGEXP_GROUP_LIST), close = ChildRect(editor, IDOK);
    const CRect remove = ChildRect(editor, IDC_REGEXP_GROUP_DELETE), names = ChildRect(editor, IDC_REGEXP_GROUP_NAME);
    Grow(editor, 100, 60);
    EXPECT_EQ(list.Size() + CSize(100, 60), ChildRect(editor, IDC_REGEXP_GROUP_LIST).Size());
    EXPECT_EQ(close.TopLeft() + CPoint(100, 0), ChildRect(editor, IDOK).TopLeft());
    EXPECT_EQ(remove.TopLeft() + CPoint(100, 0), ChildRect(editor, IDC_REGEXP_GROUP_DELETE).TopLeft());
    EXPECT_EQ(names.Width() + 100, ChildRect(editor, IDC_REGEXP_GROUP_NAME).Width());
}
