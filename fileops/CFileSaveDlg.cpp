#include "fileops/CFileSaveDlg.h"

#include "controls/TreeOptionsDDX.h"
#include "fileops/FileSaveTreeEditors.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxUtility.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

#include <cmath>
#include <cwchar>

namespace {

const wchar_t kFileSave[] = L"FileSave";
// Images of the option tree's bitmap: a heading, and an item that holds a value.
const int kGroupImage = 10;
const int kValueImage = 11;
const int kRightAngles[] = {0, 90, 180, 270};

// A number as the whole text (blanks around it allowed), finite.
bool IsWholeNumber(const CString& text)
{
    const wchar_t* start = text.GetString();
    wchar_t* end = nullptr;
    const double value = std::wcstod(start, &end);
    if (end == start || !std::isfinite(value))
        return false;
    while (*end == L' ' || *end == L'\t')
        ++end;
    return *end == 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CFileSaveDlg, CResizableDialog)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_SAVE_FOLDER_BROWSE, OnBrowseFolder)
ON_BN_CLICKED(IDC_SAVE_RUN, OnRun)
ON_COMMAND_RANGE(ID_SAVE_QUICK_ACCESS_FIRST, ID_SAVE_QUICK_ACCESS_LAST, OnQuickAccess)
END_MESSAGE_MAP()

CFileSaveDlg::CFileSaveDlg(CWnd* parent) : CResizableDialog(IDD_FILE_SAVE, parent) {}

CFileSaveDlg::~CFileSaveDlg() = default;

int CFileSaveDlg::RotateChoiceOf(int angle)
{
    if (angle == 0 || angle == 360)
        return 0;
    for (int choice = 1; choice < 4; ++choice)
        if (angle == kRightAngles[choice])
            return choice;
    return 4;
}

void CFileSaveDlg::LoadSettings()
{
    Load();
    m_bmpReduce = BmpQuant != 0;
    m_pngReduce = PngQuant != 0;
    m_resampleChoice = ScaleMode != 0 ? 1 : 0;
    m_rotateChoice = RotateChoiceOf(RotateAngle);
    m_tifCodecName = kTifCodecTable.TextOf(TifCodec);
    m_pngCodecName = kPngCodecTable.TextOf(PngCodec);
    m_gifCodecName = kGifCodecTable.TextOf(GifCodec);
}

void CFileSaveDlg::BuildOptionTree()
{
    CTreeOptionsCtrl& t = m_tree;
    t.DeleteAllItems();
    t.SetBkColor(0xE0FFFF);
    auto valueItem = [&t](const wchar_t* label, HTREEITEM parent) {
        return t.InsertGroup(CString(label) + L": ", kValueImage, parent);
    };
    auto qualityItem = [&](HTREEITEM parent) {
        HTREEITEM item = valueItem(L"圧縮品質(0:高圧縮～100:高品質)", parent);
        t.AddEditBoxWithSpin(item, RUNTIME_CLASS(CQualityEdit), RUNTIME_CLASS(CQualitySpin));
        return item;
    };
    auto codecItem = [&](HTREEITEM parent, CRuntimeClass* combo) {
        HTREEITEM item = valueItem(L"圧縮形式", parent);
        t.AddComboBox(item, combo);
        return item;
    };
    auto sizeEdit = [&](const wchar_t* label, HTREEITEM parent) {
        HTREEITEM item = valueItem(label, parent);
        t.AddEditBox(item, RUNTIME_CLASS(CFsEdit));
        return item;
    };

    m_formatGroup = t.InsertGroup(L"画像形式", kGroupImage);
    HTREEITEM* format = m_formatItems;
    format[FormatBmp] = t.InsertRadioButton(L"BMP", m_formatGroup, Format == FormatBmp);
    m_bmpReduceItem = t.InsertCheckBox(L"256色へ減色", format[FormatBmp], m_bmpReduce);
    format[FormatJpeg] = t.InsertRadioButton(L"JPEG", m_formatGroup, Format == FormatJpeg);
    m_jpegQualityItem = qualityItem(format[FormatJpeg]);
    m_jpegProgressiveItem = t.InsertCheckBox(L"プログレッシブ", format[FormatJpeg], JpegProgressive);
    m_jpegGrayItem = t.InsertCheckBox(L"グレイスケール", format[FormatJpeg], JpegGrayscale);
    format[FormatJpeg2000] = t.InsertRadioButton(L"JPEG2000", m_formatGroup, Format == FormatJpeg2000);
    m_jpeg2000QualityItem = qualityItem(format[FormatJpeg2000]);
    format[FormatPng] = t.InsertRadioButton(L"PNG", m_formatGroup, Format == FormatPng);
    m_pngReduceItem = t.InsertCheckBox(L"256色へ減色", format[FormatPng], m_pngReduce);
    m_pngInterlaceItem = t.InsertCheckBox(L"インターレース", format[FormatPng], PngInterlace);
    m_pngCodecItem = codecItem(format[FormatPng], RUNTIME_CLASS(CPngCodec));
    format[FormatTiff] = t.InsertRadioButton(L"TIFF", m_formatGroup, Format == FormatTiff);
    m_tifCodecItem = codecItem(format[FormatTiff], RUNTIME_CLASS(CTifCodec));
    m_tifMultiPageItem = t.InsertCheckBox(L"マルチページ", format[FormatTiff], TifMultiPage);
    format[FormatGif] = t.InsertRadioButton(L"GIF", m_formatGroup, Format == FormatGif);
    m_gifCodecItem = codecItem(format[FormatGif], RUNTIME_CLASS(CGifCodec));

    m_sizeGroup = t.InsertGroup(L"サイズ指定", kGroupImage);
    m_sizeItems[SizeKeep] = t.InsertRadioButton(L"サイズ指定しない", m_sizeGroup, SizeMode == SizeKeep);
    m_sizeItems[SizeGiven] = t.InsertRadioButton(L"サイズを指定する", m_sizeGroup, SizeMode == SizeGiven);
    m_widthItem = sizeEdit(L"サイズ幅　(W) ", m_sizeItems[SizeGiven]);
    m_heightItem = sizeEdit(L"サイズ高さ(H) ", m_sizeItems[SizeGiven]);
    m_aspectItem = t.InsertCheckBox(L"縦横比を保持する", m_sizeGroup, Aspect);
    m_sizeItems[SizeScaled] = t.InsertRadioButton(L"倍率を指定する", m_sizeGroup, SizeMode == SizeScaled);
    m_scaleItem = sizeEdit(L"倍率", m_sizeItems[SizeScaled]);
    m_resampleGroup = t.InsertGroup(L"伸張手法", kGroupImage, m_sizeGroup);
    t.InsertRadioButton(L"通常", m_resampleGroup, m_resampleChoice == 0);
    t.InsertRadioButton(L"美麗モード", m_resampleGroup, m_resampleChoice == 1);
    m_unsharpItem = t.InsertCheckBox(L"アンシャープマスクを適用する", m_resampleGroup, Unsharp);

    m_rotateGroup = t.InsertGroup(L"回転", kGroupImage);
    for (const wchar_t* label : {L"回転しない", L"右90度回転", L"180度回転", L"左90度回転"})
        t.InsertRadioButton(label, m_rotateGroup, FALSE);
    m_angleChoiceItem = t.InsertRadioButton(L"角度指定", m_rotateGroup, FALSE);
    m_angleItem = sizeEdit(L"角度(0-360)", m_angleChoiceItem);

    t.Expand(m_formatGroup, TVE_EXPAND);
    if (Format >= FormatBmp && Format <= FormatGif)
        t.Expand(format[Format], TVE_EXPAND);
    if (SizeMode == SizeGiven || SizeMode == SizeScaled) {
        t.Expand(m_sizeGroup, TVE_EXPAND);
        t.Expand(m_sizeItems[SizeMode], TVE_EXPAND);
    }
    if (m_rotateChoice != 0)
        t.Expand(m_rotateGroup, TVE_EXPAND);
    if (m_rotateChoice == 4)
        t.Expand(m_angleChoiceItem, TVE_EXPAND);
    t.EnsureVisible(m_formatGroup);
}

void CFileSaveDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAVE_OPTIONS, m_tree);
    if (!m_treeBuilt) {
        m_treeBuilt = true;
        BuildOptionTree();
    }
    const int id = IDC_SAVE_OPTIONS;
    DDX_TreeRadio(pDX, id, m_formatGroup, Format);
    DDX_TreeCheck(pDX, id, m_bmpReduceItem, m_bmpReduce);
    DDX_TreeEditInt(pDX, id, m_jpegQualityItem, JpegQuality);
    DDX_TreeCheck(pDX, id, m_jpegProgressiveItem, JpegProgressive);
    DDX_TreeCheck(pDX, id, m_jpegGrayItem, JpegGrayscale);
    DDX_TreeEditInt(pDX, id, m_jpeg2000QualityItem, Jpeg2000Quality);
    DDX_TreeCheck(pDX, id, m_pngReduceItem, m_pngReduce);
    DDX_TreeCheck(pDX, id, m_pngInterlaceItem, PngInterlace);
    DDX_TreeEdit(pDX, id, m_pngCodecItem, m_pngCodecName);
    DDX_TreeEdit(pDX, id, m_tifCodecItem, m_tifCodecName);
    DDX_TreeCheck(pDX, id, m_tifMultiPageItem, TifMultiPage);
    DDX_TreeEdit(pDX, id, m_gifCodecItem, m_gifCodecName);
    DDX_TreeRadio(pDX, id, m_sizeGroup, SizeMode);
    DDX_TreeEditInt(pDX, id, m_widthItem, Width);
    DDX_TreeEditInt(pDX, id, m_heightItem, Height);
    DDX_TreeCheck(pDX, id, m_aspectItem, Aspect);
    DDX_TreeEditDouble(pDX, id, m_scaleItem, Scale);
    DDX_TreeRadio(pDX, id, m_resampleGroup, m_resampleChoice);
    DDX_TreeCheck(pDX, id, m_unsharpItem, Unsharp);
    DDX_TreeRadio(pDX, id, m_rotateGroup, m_rotateChoice);
    DDX_TreeEditInt(pDX, id, m_angleItem, RotateAngle);
    if (m_rotateChoice >= 0 && m_rotateChoice < 4)
        RotateAngle = kRightAngles[m_rotateChoice];
}

BOOL CFileSaveDlg::OnInitDialog()
{
    LoadSettings();
    CResizableDialog::OnInitDialog();
    m_folders.SubclassDlgItem(IDC_SAVE_FOLDER, this);
    m_folderHistory.LoadIntoComboBox(m_folders, m_folder);

    FolderList quickAccess(FolderListQuickAccess);
    quickAccess.Load();
    m_quickAccess.Copy(quickAccess);
    m_quickAccessMenu.CreatePopupMenu();
    const int limit = ID_SAVE_QUICK_ACCESS_LAST - ID_SAVE_QUICK_ACCESS_FIRST + 1;
    for (int i = 0; i < m_quickAccess.GetSize() && i < limit; ++i)
        m_quickAccessMenu.AppendMenu(MF_STRING, ID_SAVE_QUICK_ACCESS_FIRST + i, MenuItemText(m_quickAccess[i]));
    m_quickAccessButton.SubclassDlgItem(IDC_SAVE_QUICK_ACCESS, this);
    m_quickAccessButton.AttachMenu(&m_quickAccessMenu);

    AddAnchor(IDC_SAVE_FOLDER, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_SAVE_FOLDER_BROWSE, TOP_RIGHT);
    AddAnchor(IDC_SAVE_QUICK_ACCESS, TOP_RIGHT);
    AddAnchor(IDC_SAVE_RUN, BOTTOM_RIGHT);
    AddAnchor(IDCANCEL, BOTTOM_RIGHT);
    AddAnchor(IDC_SAVE_OPTIONS, TOP_LEFT, BOTTOM_RIGHT);
    RestoreWindowPlacement(m_hWnd, kFileSave);
    return TRUE;
}

void CFileSaveDlg::OnOK() {}

void CFileSaveDlg::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kFileSave);
    CResizableDialog::OnDestroy();
}

void CFileSaveDlg::OnBrowseFolder()
{
    FolderList::BrowseIntoComboBox(m_folders, L"保存先を選択してください");
}

void CFileSaveDlg::OnQuickAccess(UINT id)
{
    INT_PTR index = id - ID_SAVE_QUICK_ACCESS_FIRST;
    if (index >= 0 && index < m_quickAccess.GetSize())
        FolderList::ShowInComboBox(m_folders, m_quickAccess[index]);
}

bool CFileSaveDlg::IsSizeValid() const
{
    switch (SizeMode) {
    case SizeKeep:
        return true;
    case SizeGiven:
        return Width >= 1 && Height >= 1;
    case SizeScaled:
        return Scale > 0;
    default:
        return false;
    }
}

void CFileSaveDlg::OnRun()
{
    m_tree.CloseItemEditors();
    const double scale = Scale;
    UpdateData(TRUE);
    // Read by its beginning, "1.0000000.5" would pass for 1: such a value is no scale, and the
    // one before stays.
    const bool wholeScale = IsWholeNumber(m_tree.GetEditText(m_scaleItem));
    if (!wholeScale)
        Scale = scale;
    ScaleMode = m_resampleChoice == 1 ? 10 : 0;
    BmpQuant = m_bmpReduce ? 8 : 0;
    PngQuant = m_pngReduce ? 8 : 0;
    if (!m_folderHistory.TakeFromComboBox(m_folders, m_folder))
        return;
    TifCodec = kTifCodecTable.ValueOf(m_tifCodecName, TifCodec);
    GifCodec = kGifCodecTable.ValueOf(m_gifCodecName, GifCodec);
    PngCodec = kPngCodecTable.ValueOf(m_pngCodecName, PngCodec);
    Save();
    CString full;
    if (GetFullPath(full, m_folder).IsEmpty() || !IsSizeValid() || (SizeMode == SizeScaled && !wholeScale))
        return;
    m_folder = full;
    EndDialog(IDOK);
}
