#include "browser/CThumbOption.h"

#include "browser/options/COptPage.h"
#include "catalogue/CalcFitRect.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxSystem.h"
#include "image/DibCore.h"
#include "image/DibPaint.h"
#include "image/DibSection.h"
#include "image/DibValidate.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"

#include <algorithm>

namespace {

const wchar_t kSystem[] = L"System";
const int kEdges[] = {4, 8, 1, 2, 5, 6, 9, 10};
const int kEdgeCount = sizeof kEdges / sizeof kEdges[0];

struct PickerField
{
    UINT id;
    COLORREF THUMBSDATA::*field;
};

const PickerField kPickers[9] = {
    {IDC_THUMB_COLBACK, &THUMBSDATA::colBackGround},      {IDC_THUMB_COLSELBACK, &THUMBSDATA::colSelectBackGround},
    {IDC_THUMB_COLSELCHECK, &THUMBSDATA::colSelectCheck}, {IDC_THUMB_COLTEXT, &THUMBSDATA::colText},
    {IDC_THUMB_COLSELTEXT, &THUMBSDATA::colSelectText},   {IDC_THUMB_COLNORMAL, &THUMBSDATA::colNormalDraw},
    {IDC_THUMB_COLARC, &THUMBSDATA::colArcDraw},          {IDC_THUMB_COLFOLDER, &THUMBSDATA::colFolderDraw},
    {IDC_THUMB_COLCANT, &THUMBSDATA::colCantDraw},
};

const COptPage::MacroEntry kFormatMacros[] = {
    {L"フォルダ名", L"$(Dir)"},
    {L"ファイル名", L"$(FileName)"},
    {L"ファイルタイトル", L"$(Name)"},
    {L"ファイルサイズ(単位)", L"$(Length)"},
    {L"ファイルサイズ", L"$(Size)"},
    {L"年月日", L"$(Date)"},
    {L"時間", L"$(Time)"},
    {nullptr, nullptr},
    {L"画像幅", L"$(Width)"},
    {L"画像高さ", L"$(Height)"},
    {L"色数ビット", L"$(Color)"},
    {L"画像情報", L"$(Info)"},
    {nullptr, nullptr},
    {L"コメント", L"$(Comment)"},
    {L"書庫ファイル名", L"$(ArcFileName)"},
    {nullptr, nullptr},
    {L"Exif：メーカ名", L"$(ExifCameraMaker)"},
    {L"Exif：機種", L"$(ExifCameraModel)"},
    {L"Exif：撮影日付", L"$(ExifDateTime)"},
};

// A resolution limit is written back as read (or as the default that replaced what could not be
// used); a value that stands already is left alone, so a cancelled dialog leaves the settings
// file as it was.
void WriteResolution(const wchar_t* key, int value)
{
    CString stored, wanted;
    GetAppIniString(stored, kSystem, key, L"");
    wanted.Format(L"%d", value);
    if (stored != wanted)
        WriteAppIniInt(kSystem, key, value);
}

// The built-in sample: bitmap resource 105 as a packed DIB.
HGLOBAL LoadSampleResource()
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDB_THUMB_SAMPLE), RT_BITMAP);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return bytes ? NormalizeDib(bytes, SizeofResource(module, resource)) : nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(CThumbOption, CToolTipDialog)
ON_WM_PAINT()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_DESTROY()
ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_THUMB_SCALESTEP, IDC_THUMB_LIMITY, OnKillFocusSize)
ON_EN_KILLFOCUS(IDC_THUMB_NAMEFORMAT, OnKillFocusNameFormat)
ON_CONTROL_RANGE(BN_CLICKED, IDC_THUMB_FRAME, IDC_THUMB_LIMITCHECK, OnClickedCheck)
ON_CONTROL_RANGE(BN_CLICKED, IDC_THUMB_NAMENONE, IDC_THUMB_NAMERIGHT, OnClickedName)
ON_BN_CLICKED(IDC_THUMB_FONT, OnFont)
ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_THUMB_NAMEFRAMEEDGE, IDC_THUMB_FRAMEEDGE, OnSelChangeEdge)
ON_MESSAGE(WMU_COLOUR_SELENDOK, OnColourChosen)
END_MESSAGE_MAP()

CThumbOption::CThumbOption() : CToolTipDialog(IDD) {}

CThumbOption::~CThumbOption()
{
    if (m_sample)
        GlobalFree(m_sample);
}

int CThumbOption::EdgeToIndex(int edge)
{
    for (int i = 0; i < kEdgeCount; ++i)
        if (kEdges[i] == edge)
            return i;
    return -1;
}

int CThumbOption::IndexToEdge(int index)
{
    return index >= 0 && index < kEdgeCount ? kEdges[index] : -1;
}

CString CThumbOption::FormatToEdit(const wchar_t* format)
{
    CString text(format, static_cast<int>(wcsnlen(format, 256)));
    text.Replace(L"\\n", L"\r\n");
    return text;
}

void CThumbOption::EditToFormat(const CString& text, wchar_t (&format)[256])
{
    CString stored = text;
    stored.Replace(L"\r\n", L"\\n");
    lstrcpynW(format, stored, 256);
}

void CThumbOption::DoDataExchange(CDataExchange* pDX)
{
    CToolTipDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_THUMB_WIDTHSLIDER, m_widthSlider);
    DDX_Control(pDX, IDC_THUMB_HEIGHTSLIDER, m_heightSlider);
    DDX_Control(pDX, IDC_THUMB_UNSHARPLEVEL, m_unsharpSlider);
    DDX_Control(pDX, IDC_THUMB_NAME2PER, m_name2PerSlider);
    DDX_Control(pDX, IDC_THUMB_NAMEFORMAT, m_nameFormat);
    for (int i = 0; i < 9; ++i)
        DDX_Control(pDX, kPickers[i].id, m_pickers[i]);
}

void CThumbOption::ClampRecord()
{
    VyxConfig::KeepWithinRanges(m_data, SIZE{m_maxX, m_maxY});
    m_data.Name2Per = std::max(0, std::min(m_data.Name2Per, 100));
    if (m_data.Name < 0 || m_data.Name > 2)
        m_data.Name = 1;
    if (!(m_data.UnsharpLevel >= 0.0 && m_data.UnsharpLevel <= 1.0))
        m_data.UnsharpLevel = 0.5;
    m_data.NameFormat[255] = 0;
}

BOOL CThumbOption::OnInitDialog()
{
    CToolTipDialog::OnInitDialog();
    m_maxX = VyxConfig::ReadLargestSide(L"ThumbsMaxXres", DefaultMaxX);
    m_maxY = VyxConfig::ReadLargestSide(L"ThumbsMaxYres", DefaultMaxY);
    ClampRecord();

    CheckDlgButton(IDC_THUMB_LIMITCHECK, m_data.LimitCheck);
    CheckDlgButton(IDC_THUMB_FRAME, m_data.Frame != FALSE);
    CheckDlgButton(IDC_THUMB_QUALITY, m_data.ScaleMode != 0);
    CheckDlgButton(IDC_THUMB_UNSHARP, m_data.Unsharp);
    CheckDlgButton(IDC_THUMB_NAMEFRAME, m_data.NameFrame != FALSE);
    const std::pair<UINT, int> numbers[] = {
        {IDC_THUMB_WIDTH, m_data.ThumbsSize.cx},       {IDC_THUMB_MARGINX, m_data.ThumbsMarginSize.cx},
        {IDC_THUMB_HEIGHT, m_data.ThumbsSize.cy},      {IDC_THUMB_MARGINY, m_data.ThumbsMarginSize.cy},
        {IDC_THUMB_LIMITX, m_data.ThumbsLimitSize.cx}, {IDC_THUMB_LIMITY, m_data.ThumbsLimitSize.cy},
        {IDC_THUMB_SCALESTEP, m_data.ScaleStep},
    };
    for (const auto& [id, value] : numbers)
        SetDlgItemInt(id, value, TRUE);
    CheckRadioButton(IDC_THUMB_NAMENONE, IDC_THUMB_NAMERIGHT, IDC_THUMB_NAMENONE + m_data.Name);

    m_widthSlider.SetRange(MinSize, m_maxX);
    m_widthSlider.SetTicFreq(10);
    m_widthSlider.SetPos(m_data.ThumbsSize.cx);
    m_heightSlider.SetRange(MinSize, m_maxY);
    m_heightSlider.SetTicFreq(10);
    m_heightSlider.SetPos(m_data.ThumbsSize.cy);
    m_unsharpSlider.SetRange(0, 10);
    m_unsharpSlider.SetTicFreq(1);
    m_unsharpSlider.SetPos(static_cast<int>(m_data.UnsharpLevel * 10 + 0.5));
    m_name2PerSlider.SetRange(0, 100);
    m_name2PerSlider.SetTicFreq(10);
    m_name2PerSlider.SetPos(m_data.Name2Per);

    COptPage::PrepareMacroButton(m_nameFormat, kFormatMacros);
    m_nameFormat.SetWindowText(FormatToEdit(m_data.NameFormat));

    for (int i = 0; i < 9; ++i) {
        m_pickers[i].SetDefaultColour(m_data.*kPickers[i].field);
        m_pickers[i].SetColour(CLR_DEFAULT);
    }
    for (UINT id : {IDC_THUMB_FRAMEEDGE, IDC_THUMB_NAMEFRAMEEDGE}) {
        for (const wchar_t* item : {L"内側を凸", L"内側を凹", L"外側を凸", L"外側を凹", L"内側を凸 & 外側を凸",
                                    L"内側を凸 & 外側を凹", L"内側を凹 & 外側を凸", L"内側を凹 & 外側を凹"})
            SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendDlgItemMessage(IDC_THUMB_FRAMEEDGE, CB_SETCURSEL, EdgeToIndex(m_data.FrameEdge));
    SendDlgItemMessage(IDC_THUMB_NAMEFRAMEEDGE, CB_SETCURSEL, EdgeToIndex(m_data.NameFrameEdge));
    LoadSample();
    return TRUE;
}

// A picture on the clipboard is the sample; anything the image library refuses is not.
void CThumbOption::LoadSample()
{
    if (m_sample)
        GlobalFree(m_sample);
    m_sample = GetDibFromClipboard();
    if (!m_sample)
        m_sample = LoadSampleResource();
}

CRect CThumbOption::GetPreviewRect() const
{
    CRect rect;
    if (CWnd* frame = GetDlgItem(IDC_THUMB_PREVIEW)) {
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
        rect.DeflateRect(2, 2);
    }
    return rect;
}

void CThumbOption::RepaintPreview()
{
    CClientDC dc(this);
    DrawPreview(&dc);
}

void CThumbOption::OnPaint()
{
    CPaintDC dc(this);
    DrawPreview(&dc);
}

void CThumbOption::DrawPreview(CDC* dc)
{
    const CRect area = GetPreviewRect();
    const SIZE cellSize = m_data.ThumbsSize;
    if (area.IsRectEmpty() || cellSize.cx <= 0 || cellSize.cy <= 0)
        return;
    CDibSection preview, cell;
    if (!preview.Create24(dc, area.Width(), area.Height(), GetSysColor(COLOR_BTNFACE)) ||
        !cell.Create24(dc, cellSize.cx, cellSize.cy, m_data.colBackGround))
        return;
    preview.Fill(nullptr, GetSysColor(COLOR_BTNFACE));
    cell.Fill(nullptr, m_data.colBackGround);

    VyxFile item(L"filename.ext");
    item.SetNameMode(m_data.Name);
    item.SetName2Per(m_data.Name2Per);
    item.SetNameFrame(m_data.NameFrame);
    item.SetNameFrameEdge(m_data.NameFrameEdge);
    item.SetUnsharp(m_data.Unsharp);
    item.SetFrame(m_data.Frame);
    item.SetFrameEdge(m_data.FrameEdge);
    item.SetLimitCheck(m_data.LimitCheck);
    item.SetScaleMode(m_data.ScaleMode);
    item.SetMarginSize(m_data.ThumbsMarginSize);
    item.colBackGround = m_data.colBackGround;
    item.colText = m_data.colText;
    item.colSelectText = m_data.colSelectText;
    item.colSelectBackGround = m_data.colSelectBackGround;
    item.colSelectCheck = m_data.colSelectCheck;
    item.colNormalDraw = m_data.colNormalDraw;
    item.colFolderDraw = m_data.colFolderDraw;
    item.colArcDraw = m_data.colArcDraw;
    item.colCantDraw = m_data.colCantDraw;
    item.SetFont(m_data.font);
    item.SetNameFormat(CString(m_data.NameFormat, static_cast<int>(wcsnlen(m_data.NameFormat, 256))));
    if (m_sample) {
        item.SetWidth(GetDibWidth(m_sample));
        item.SetHeight(GetDibHeight(m_sample));
        item.SetBitCount(GetDibBitCount(m_sample));
        item.SetFileSize(GetDibTotalSize(m_sample), 0);
    }
    item.SetAutoCache(FALSE);
    item.SetCacheLookup(FALSE);
    // No picture step: the cell's frame and text only; the sample goes in below.
    item.DrawCell(cell.GetMemDC(), 0, 0, cellSize.cx, cellSize.cy, 0);

    if (m_sample) {
        const CRect box = item.GetCellRect();
        RECT fit;
        CalcFitRect(fit, box.left, box.top, box.right, box.bottom, GetDibWidth(m_sample), GetDibHeight(m_sample),
                    m_data.LimitCheck, true, 0);
        HGLOBAL scaled = item.MakeThumbnail(fit.right - fit.left, fit.bottom - fit.top, m_sample);
        if (scaled) {
            PaintDib(cell.GetMemDC(), fit, scaled);
            if (scaled != m_sample)
                GlobalFree(scaled);
        }
    }

    const double factor = std::min(
        {static_cast<double>(area.Width()) / cellSize.cx, static_cast<double>(area.Height()) / cellSize.cy, 1.0});
    const int width = static_cast<int>(cellSize.cx * factor), height = static_cast<int>(cellSize.cy * factor);
    const int x = std::max(0, (area.Width() - width) / 2), y = std::max(0, (area.Height() - height) / 2);
    m_previewCell.SetRect(area.left + x, area.top + y, area.left + x + width, area.top + y + height);
    CDC* target = preview.GetMemDC();
    const int oldMode = target->SetStretchBltMode(COLORONCOLOR);
    target->StretchBlt(x, y, width, height, cell.GetMemDC(), 0, 0, cellSize.cx, cellSize.cy, SRCCOPY);
    target->SetStretchBltMode(oldMode);
    preview.Draw(dc, area.left, area.top);
}

void CThumbOption::TakeSlider(CWnd* slider)
{
    if (!slider)
        return;
    const int pos = static_cast<int>(slider->SendMessage(TBM_GETPOS));
    switch (slider->GetDlgCtrlID()) {
    case IDC_THUMB_WIDTHSLIDER:
        m_data.ThumbsSize.cx = pos;
        SetDlgItemInt(IDC_THUMB_WIDTH, pos, TRUE);
        break;
    case IDC_THUMB_HEIGHTSLIDER:
        m_data.ThumbsSize.cy = pos;
        SetDlgItemInt(IDC_THUMB_HEIGHT, pos, TRUE);
        break;
    case IDC_THUMB_UNSHARPLEVEL:
        m_data.UnsharpLevel = pos / 10.0;
        break;
    case IDC_THUMB_NAME2PER:
        m_data.Name2Per = pos;
        break;
    default:
        return;
    }
    RepaintPreview();
}

void CThumbOption::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    TakeSlider(reinterpret_cast<CWnd*>(pScrollBar));
}

void CThumbOption::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    TakeSlider(reinterpret_cast<CWnd*>(pScrollBar));
}

void CThumbOption::OnKillFocusSize(UINT nID)
{
    CString text;
    GetDlgItemText(nID, text);
    const int typed = DecimalTextToInt(text);
    auto size = [&](int high) { return typed < MinSize ? MinSize : std::min(typed, high); };
    int value = typed;
    switch (nID) {
    case IDC_THUMB_WIDTH:
        m_data.ThumbsSize.cx = value = size(m_maxX);
        m_widthSlider.SetPos(value);
        break;
    case IDC_THUMB_HEIGHT:
        m_data.ThumbsSize.cy = value = size(m_maxY);
        m_heightSlider.SetPos(value);
        break;
    case IDC_THUMB_MARGINX:
        m_data.ThumbsMarginSize.cx = value;
        break;
    case IDC_THUMB_MARGINY:
        m_data.ThumbsMarginSize.cy = value;
        break;
    case IDC_THUMB_LIMITX:
        m_data.ThumbsLimitSize.cx = value = size(m_maxX);
        break;
    case IDC_THUMB_LIMITY:
        m_data.ThumbsLimitSize.cy = value = size(m_maxY);
        break;
    case IDC_THUMB_SCALESTEP:
        m_data.ScaleStep = value = typed < 1 ? 1 : std::min(typed, m_maxX);
        break;
    default:
        return;
    }
    CString shown;
    shown.Format(L"%d", value);
    if (shown != text)
        SetDlgItemText(nID, shown);
    if (nID != IDC_THUMB_LIMITX && nID != IDC_THUMB_LIMITY && nID != IDC_THUMB_SCALESTEP)
        RepaintPreview();
}

void CThumbOption::OnKillFocusNameFormat()
{
    CString text;
    m_nameFormat.GetWindowText(text);
    EditToFormat(text, m_data.NameFormat);
    RepaintPreview();
}

void CThumbOption::OnClickedCheck(UINT nID)
{
    const bool checked = IsDlgButtonChecked(nID) == BST_CHECKED;
    switch (nID) {
    case IDC_THUMB_LIMITCHECK:
        m_data.LimitCheck = checked;
        break;
    case IDC_THUMB_FRAME:
        m_data.Frame = checked;
        break;
    case IDC_THUMB_QUALITY:
        m_data.ScaleMode = checked ? 10 : 0;
        break;
    case IDC_THUMB_UNSHARP:
        m_data.Unsharp = checked;
        break;
    case IDC_THUMB_NAMEFRAME:
        m_data.NameFrame = checked;
        break;
    default:
        return;
    }
    RepaintPreview();
}

void CThumbOption::OnClickedName(UINT nID)
{
    m_data.Name = static_cast<int>(nID - IDC_THUMB_NAMENONE);
    RepaintPreview();
}

void CThumbOption::OnFont()
{
    CFontDialog dialog(&m_data.font, CF_SCREENFONTS | CF_EFFECTS, nullptr, this);
    dialog.m_cf.rgbColors = m_data.colText;
    if (dialog.DoModal() == IDOK) {
        m_data.font = dialog.m_lf;
        m_data.colText = dialog.GetColor();
        for (int i = 0; i < 9; ++i)
            if (kPickers[i].id == IDC_THUMB_COLTEXT)
                m_pickers[i].SetColour(m_data.colText);
    }
    RepaintPreview();
}

void CThumbOption::OnSelChangeEdge(UINT nID)
{
    const int edge = IndexToEdge(static_cast<int>(SendDlgItemMessage(nID, CB_GETCURSEL)));
    if (edge < 0)
        return;
    if (nID == IDC_THUMB_FRAMEEDGE)
        m_data.FrameEdge = edge;
    else
        m_data.NameFrameEdge = edge;
    RepaintPreview();
}

LRESULT CThumbOption::OnColourChosen(WPARAM wParam, LPARAM lParam)
{
    for (int i = 0; i < 9; ++i) {
        if (kPickers[i].id != static_cast<UINT>(lParam))
            continue;
        CColourPickerXP& picker = m_pickers[i];
        m_data.*kPickers[i].field =
            static_cast<COLORREF>(wParam) == CLR_DEFAULT ? picker.GetDefaultColour() : picker.GetColour();
        RepaintPreview();
    }
    return 0;
}

void CThumbOption::OnDestroy()
{
    if (m_sample) {
        GlobalFree(m_sample);
        m_sample = nullptr;
    }
    WriteResolution(L"ThumbsMaxXres", m_maxX);
    WriteResolution(L"ThumbsMaxYres", m_maxY);
    CToolTipDialog::OnDestroy();
}
