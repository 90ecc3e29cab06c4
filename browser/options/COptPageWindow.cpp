#include "browser/options/COptPageWindow.h"

#include "res/resource.h"

namespace {

const COptPage::MacroEntry kCaptionMacros[] = {
    {L"パス名", L"$(Path)"},
    {L"フォルダ名", L"$(Dir)"},
    {L"ファイル名", L"$(FileName)"},
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
};

} // namespace

COptPageWindow::COptPageWindow(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_WINDOW, IDI_OPT_WINDOW)
{
    BindCheck(IDC_WINDOW_TOPMOST, pData->TopMost);
    BindCheck(IDC_WINDOW_MULTI, pData->MultiPicView);
    BindCheck(IDC_WINDOW_STAY, pData->Stay);
    BindText(IDC_WINDOW_CAPTION, pData->TitleFormat);
}

void COptPageWindow::PrepareControls()
{
    m_caption.SubclassDlgItem(IDC_WINDOW_CAPTION, this);
    PrepareMacroButton(m_caption, kCaptionMacros);
}

void COptPageWindow::SetAnchors()
{
    StretchWithWidth({IDC_WINDOW_CAPTION});
}
