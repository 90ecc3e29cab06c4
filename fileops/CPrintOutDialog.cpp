#include "fileops/CPrintOutDialog.h"

#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

namespace {

const wchar_t kPrint[] = L"Print";
const int kDefaultBandHeight = 500;
// The job's state after its definition script failed on a page.
const int kScriptFailed = -10;

} // namespace

BEGIN_MESSAGE_MAP(CPrintOutDialog, CProgressDlgCore)
ON_MESSAGE(WMU_SCRIPTREQUEST, OnScriptRequest)
END_MESSAGE_MAP()

CPrintOutDialog::CPrintOutDialog(CWnd* parent)
    : CProgressDlgCore(IDD_PRINT_JOB, IDC_PRINT_JOB_BAR, IDC_PRINT_JOB_PERCENT, IDC_PRINT_JOB_NAME, 0),
      m_bandHeight(LoadBandHeight())
{
    m_parent = parent;
}

CPrintOutDialog::~CPrintOutDialog()
{
    DestroyWindow();
    if (!m_keepImage && m_script.GetImage())
        GlobalFree(m_script.GetImage());
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        delete m_items[i];
}

int CPrintOutDialog::BandHeightOrDefault(int rows)
{
    return rows >= 1 ? rows : kDefaultBandHeight;
}

int CPrintOutDialog::LoadBandHeight()
{
    return BandHeightOrDefault(GetAppIniInt(kPrint, L"Raster", kDefaultBandHeight));
}

BOOL CPrintOutDialog::DestroyWindow()
{
    if (GetSafeHwnd())
        WriteAppIniInt(kPrint, L"Raster", m_bandHeight);
    return CProgressDlgCore::DestroyWindow();
}

void CPrintOutDialog::AddItem(const VyxFile* item)
{
    if (item)
        m_items.Add(new VyxFile(*item));
}

void CPrintOutDialog::SetImage(HGLOBAL image)
{
    m_script.SetImage(image);
    m_keepImage = TRUE;
}

int CPrintOutDialog::ResultId(int code)
{
    switch (code) {
    case kScriptFailed:
        return IDS_PRINT_DEFINITION_FAILED;
    case SP_APPABORT:
    case SP_USERABORT:
        return IDS_PRINT_ABORTED;
    case SP_OUTOFDISK:
        return IDS_PRINT_NO_DISK;
    case SP_OUTOFMEMORY:
        return IDS_PRINT_NO_MEMORY;
    default:
        if (code > 0)
            return 0;
        // 0 and SP_ERROR are failures too, as is any code without a text of its own.
        return ::GetLastError() == ERROR_CANCELLED ? IDS_PRINT_ABORTED : IDS_PRINT_FAILED;
    }
}

int CPrintOutDialog::DeviceCaps(CDC* dc, int index)
{
    return dc->GetDeviceCaps(index);
}

int CPrintOutDialog::DeviceStartDoc(CDC* dc, DOCINFOW* info)
{
    return dc->StartDoc(info);
}

int CPrintOutDialog::DeviceStartPage(CDC* dc)
{
    return dc->StartPage();
}

int CPrintOutDialog::DeviceEndPage(CDC* dc)
{
    return dc->EndPage();
}

int CPrintOutDialog::DeviceEndDoc(CDC* dc)
{
    return dc->EndDoc();
}

int CPrintOutDialog::DeviceAbortDoc(CDC* dc)
{
    return dc->AbortDoc();
}

HGLOBAL CPrintOutDialog::TakeCurrentPicture()
{
    if (!m_current)
        return nullptr;
    SetText(m_current->GetFileName());
    HGLOBAL picture = nullptr;
    return m_current->LoadPicture(picture, nullptr) ? picture : nullptr;
}

void CPrintOutDialog::MoveToNextItem(VyxScriptRequest* request)
{
    ++m_index;
    m_current = m_index < m_items.GetSize() ? m_items[m_index] : nullptr;
    if (m_keepImage) {
        if (!m_current)
            request->image = nullptr;
        return;
    }
    if (request->image)
        GlobalFree(request->image);
    request->image = TakeCurrentPicture();
}

int CPrintOutDialog::AnswerScriptRequest(int type, VyxScriptRequest* request)
{
    switch (type) {
    case ScriptRequestNextFile:
        MoveToNextItem(request);
        break;
    case ScriptRequestExpandText:
        if (m_current)
            request->text = m_current->ExpandMacros(request->text, L"\r\n");
        break;
    case ScriptRequestProgress:
        OffsetPos(request->count);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CPrintOutDialog::OnScriptRequest(WPARAM type, LPARAM request)
{
    if (request)
        AnswerScriptRequest(static_cast<int>(type), reinterpret_cast<VyxScriptRequest*>(request));
    return 0;
}

int CPrintOutDialog::Print(CDC* printerDC, const wchar_t* definitionPath)
{
    if (!printerDC || !printerDC->GetSafeHdc())
        return IDS_PRINT_FAILED;
    m_script.Initialize();
    int state = m_script.Load(definitionPath);
    if (state != 0 && state != 1)
        return IDS_PRINT_DEFINITION_FAILED;
    const int caps = DeviceCaps(printerDC, RASTERCAPS);
    if (!(caps & RC_BITBLT))
        return IDS_PRINT_NO_BITBLT;
    if (!(caps & RC_BITMAP64))
        return IDS_PRINT_NO_BITMAP64K;
    if (!(caps & RC_DIBTODEV))
        return IDS_PRINT_NO_DIBTODEV;
    if (!(caps & RC_STRETCHDIB))
        return IDS_PRINT_NO_STRETCHDIB;

    m_script.AttachDC(printerDC, MM_TEXT);
    m_script.SetBandHeight(m_bandHeight);
    if (GetSafeHwnd())
        m_script.SetOwner(this);
    else
        m_script.SetCallback([this](VyxScriptRequest* request) { return AnswerScriptRequest(request->type, request); });

    DOCINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpszDocName = L"Vesko Print";
    int result = DeviceStartDoc(printerDC, &info);
    if (result <= 0)
        return ResultId(result);

    const int count = GetItemCount();
    SetRange(0, count);
    m_index = 0;
    m_current = count > 0 ? m_items[0] : nullptr;
    if (!m_keepImage)
        m_script.SetImage(TakeCurrentPicture());
    int page = 1;
    while (state >= 0 && m_index < count) {
        m_script.SetVariable(L"$_PAGE", page++);
        result = DeviceStartPage(printerDC);
        if (result > 0) {
            const int index = m_index;
            m_script.GetDrawContext().m_stop = false;
            if (state == 0)
                m_script.DrawDefault();
            else if (m_script.Run() != 1)
                state = kScriptFailed;
            if (m_index == index) {
                if (m_keepImage) {
                    // The caller's picture stays for the next page.
                    ++m_index;
                    m_current = m_index < count ? m_items[m_index] : nullptr;
                } else {
                    VyxScriptRequest next;
                    next.type = ScriptRequestNextFile;
                    next.image = m_script.GetImage();
                    MoveToNextItem(&next);
                    m_script.SetImage(next.image);
                }
                OffsetPos(1);
            }
            result = DeviceEndPage(printerDC);
        }
        if (CheckCancel()) {
            state = SP_USERABORT;
            break;
        }
        if (result <= 0)
            break;
    }
    if (!m_keepImage && m_script.GetImage()) {
        GlobalFree(m_script.GetImage());
        m_script.SetImage(nullptr);
    }
    if (result <= 0 || state == SP_USERABORT) {
        DeviceAbortDoc(printerDC);
        return ResultId(state < 0 ? state : result);
    }
    result = DeviceEndDoc(printerDC);
    if (result <= 0)
        return ResultId(result);
    // The pages the script managed are printed; its failure is still reported.
    return state == kScriptFailed ? IDS_PRINT_DEFINITION_FAILED : 0;
}
