// OLE data transfer: a registered format on the clipboard with delayed rendering, drags between
// two windows driven without a mouse (a scripted drop source; Wine drops at once when no button
// is held) and with a scripted right button, and the drop source's button rules.
#include "common/WindowTestUtil.h"

#include <functional>
#include <string>
#include <vector>

namespace {

HGLOBAL GlobalFromBytes(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes.size());
    if (block) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

// The bytes of a block the caller owns; the block is freed.
std::string TakeBytes(HGLOBAL block)
{
    if (!block)
        return "(none)";
    std::string bytes(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return bytes;
}

std::string Utf16Bytes(const wchar_t* text)
{
    return std::string(reinterpret_cast<const char*>(text), (wcslen(text) + 1) * sizeof(wchar_t));
}

CLIPFORMAT Format(const wchar_t* name)
{
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

// A source whose one delayed format is made on demand, counted.
class CRenderingSource : public COleDataSource
{
public:
    CRenderingSource(CLIPFORMAT format, std::string payload, bool* deleted = nullptr)
        : m_format(format), m_payload(std::move(payload)), m_deleted(deleted)
    {
    }
    ~CRenderingSource() override
    {
        if (m_deleted)
            *m_deleted = true;
    }
    int m_renders = 0;

protected:
    BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal) override
    {
        if (lpFormatEtc->cfFormat != m_format)
            return FALSE;
        ++m_renders;
        if (*phGlobal) {
            if (GlobalSize(*phGlobal) < m_payload.size())
                return FALSE;
            std::memcpy(GlobalLock(*phGlobal), m_payload.data(), m_payload.size());
            GlobalUnlock(*phGlobal);
            return TRUE;
        }
        *phGlobal = GlobalFromBytes(m_payload);
        return *phGlobal != nullptr;
    }

private:
    CLIPFORMAT m_format;
    std::string m_payload;
    bool* m_deleted;
};

class OleTransfer : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
};

TEST_F(OleTransfer, ClipboardRoundTripOfARegisteredFormatWithDelayedRendering)
{
    const CLIPFORMAT delayed = Format(L"CF_VyxTESTNOTE");
    const std::string payload = Utf16Bytes(L"遅延で作ったメモ");
    bool deleted = false;
    auto* source = new CRenderingSource(delayed, payload, &deleted);
    source->CacheGlobalData(CF_UNICODETEXT, GlobalFromBytes(Utf16Bytes(L"すぐ渡す文字")));
    source->DelayRenderData(delayed);
    source->SetClipboard();
    EXPECT_EQ(source, COleDataSource::GetClipboardOwner());
    EXPECT_EQ(0, source->m_renders); // nothing made until someone asks

    {
        COleDataObject data;
        ASSERT_TRUE(data.AttachClipboard());
        EXPECT_TRUE(data.IsDataAvailable(delayed));
        EXPECT_TRUE(data.IsDataAvailable(CF_UNICODETEXT));
        EXPECT_FALSE(data.IsDataAvailable(Format(L"CF_VyxTESTOTHER")));
        EXPECT_EQ(payload, TakeBytes(data.GetGlobalData(delayed)));
        EXPECT_EQ(Utf16Bytes(L"すぐ渡す文字"), TakeBytes(data.GetGlobalData(CF_UNICODETEXT)));
        EXPECT_GE(source->m_renders, 1);

        std::vector<CLIPFORMAT> listed;
        data.BeginEnumFormats();
        FORMATETC format;
        while (data.GetNextFormat(&format))
            listed.push_back(format.cfFormat);
        EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), delayed));
    }
    // Programs that know nothing of OLE read it through the plain clipboard.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE plain = GetClipboardData(delayed);
    std::string plainBytes = plain ? std::string(static_cast<const char*>(GlobalLock(plain)), payload.size()) : "";
    if (plain)
        GlobalUnlock(plain);
    CloseClipboard();
    EXPECT_EQ(payload, plainBytes);

    // Flushed, the data outlives its source, which the clipboard lets go of.
    COleDataSource::FlushClipboard();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(nullptr, COleDataSource::GetClipboardOwner());
    COleDataObject after;
    ASSERT_TRUE(after.AttachClipboard());
    EXPECT_EQ(payload, TakeBytes(after.GetGlobalData(delayed)));
}

TEST_F(OleTransfer, SourceGivesEachReceiverItsOwnCopyAndRefusesWhatItCannotMake)
{
    const CLIPFORMAT cached = Format(L"CF_VyxTESTCACHED");
    const CLIPFORMAT delayed = Format(L"CF_VyxTESTDELAYED");
    const CLIPFORMAT unrendered = Format(L"CF_VyxTESTUNRENDERED");
    CRenderingSource source(delayed, "delayed bytes");
    source.CacheGlobalData(cached, GlobalFromBytes("cached bytes"));
    source.DelayRenderData(delayed);
    source.DelayRenderData(unrendered);

    COleDataObject data;
    data.Attach(source.GetIDataObject(TRUE));
    HGLOBAL first = data.GetGlobalData(cached);
    HGLOBAL second = data.GetGlobalData(cached);
    ASSERT_NE(nullptr, first);
    EXPECT_NE(first, second);
    EXPECT_EQ("cached bytes", TakeBytes(first));
    EXPECT_EQ("cached bytes", TakeBytes(second));

    // In place: a block that is large enough is filled, a small one refused.
    FORMATETC format = {delayed, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM here = {};
    here.tymed = TYMED_HGLOBAL;
    here.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    EXPECT_EQ(S_OK, data.GetIDataObject(FALSE)->GetDataHere(&format, &here));
    EXPECT_EQ(std::string("delayed bytes"), std::string(static_cast<const char*>(GlobalLock(here.hGlobal))));
    GlobalUnlock(here.hGlobal);
    GlobalFree(here.hGlobal);
    FORMATETC cachedFormat = {cached, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    here.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_EQ(STG_E_MEDIUMFULL, data.GetIDataObject(FALSE)->GetDataHere(&cachedFormat, &here));
    GlobalFree(here.hGlobal);

    EXPECT_TRUE(data.IsDataAvailable(unrendered));
    EXPECT_EQ(nullptr, data.GetGlobalData(unrendered));
    FORMATETC asStream = {cached, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_FALSE(data.IsDataAvailable(cached, &asStream));
    data.Release();
}

TEST(OleDropSource, ButtonThatStartedTheDragDropsAndTheOtherCancels)
{
    struct Row
    {
        DWORD startButton;
        BOOL escape;
        DWORD keys;
        SCODE expected;
    };
    const Row rows[] = {
        {MK_LBUTTON, FALSE, MK_LBUTTON, S_OK},
        {MK_LBUTTON, FALSE, 0, DRAGDROP_S_DROP},
        {MK_LBUTTON, FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {MK_LBUTTON, FALSE, MK_LBUTTON | MK_CONTROL | MK_SHIFT, S_OK},
        {MK_RBUTTON, FALSE, MK_RBUTTON, S_OK},
        {MK_RBUTTON, FALSE, 0, DRAGDROP_S_DROP},
        {MK_RBUTTON, FALSE, MK_RBUTTON | MK_LBUTTON, DRAGDROP_S_CANCEL},
        {MK_RBUTTON, TRUE, MK_RBUTTON, DRAGDROP_S_CANCEL},
    };
    for (const Row& row : rows) {
        COleDropSource source;
        source.m_dwButtonDrop = row.startButton;
        source.m_dwButtonCancel = row.startButton == MK_LBUTTON ? MK_RBUTTON : MK_LBUTTON;
        EXPECT_EQ(row.expected, source.QueryContinueDrag(row.escape, row.keys))
            << "start " << row.startButton << " escape " << row.escape << " keys " << row.keys;
    }
}

// ---------------------------------------------------------------- drags between two windows

const DROPEFFECT kNotHandled = static_cast<DROPEFFECT>(-1);

class CRecordingTarget : public COleDropTarget
{
public:
    explicit CRecordingTarget(CLIPFORMAT format) : m_format(format) {}

    DROPEFFECT m_offer = DROPEFFECT_COPY;
    DROPEFFECT m_dropExAnswer = kNotHandled;
    int m_enters = 0, m_leaves = 0, m_drops = 0, m_dropExs = 0;
    DROPEFFECT m_dropEffect = 0, m_dropDefault = 0, m_dropList = 0;
    CPoint m_enterPoint;
    std::string m_data;

    void Reset()
    {
        m_enters = m_leaves = m_drops = m_dropExs = 0;
        m_dropEffect = m_dropDefault = m_dropList = 0;
        m_data.clear();
    }

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pDataObject, DWORD, CPoint point) override
    {
        ++m_enters;
        m_enterPoint = point;
        return pDataObject->IsDataAvailable(m_format) ? m_offer : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pDataObject, DWORD, CPoint) override
    {
        return pDataObject->IsDataAvailable(m_format) ? m_offer : DROPEFFECT_NONE;
    }
    void OnDragLeave(CWnd*) override { ++m_leaves; }
    DROPEFFECT OnDropEx(CWnd*, COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint) override
    {
        ++m_dropExs;
        m_dropDefault = dropDefault;
        m_dropList = dropList;
        if (m_dropExAnswer != kNotHandled)
            m_data = TakeBytes(pDataObject->GetGlobalData(m_format));
        return m_dropExAnswer;
    }
    BOOL OnDrop(CWnd*, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint) override
    {
        ++m_drops;
        m_dropEffect = dropEffect;
        m_data = TakeBytes(pDataObject->GetGlobalData(m_format));
        return TRUE;
    }

private:
    CLIPFORMAT m_format;
};

// Starts the drag at once: the test has no mouse to hold down. Optionally acts on the first
// poll (pressing or releasing a button) to script the rest of the drag.
class CScriptedDropSource : public COleDropSource
{
public:
    std::function<void()> m_onFirstPoll;
    int m_polls = 0;
    DWORD m_dropButtonSeen = 0;

    BOOL OnBeginDrag(CWnd*) override
    {
        m_bDragStarted = TRUE;
        return TRUE;
    }
    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override
    {
        if (m_polls++ == 0) {
            m_dropButtonSeen = m_dwButtonDrop;
            if (m_onFirstPoll)
                m_onFirstPoll();
        }
        return COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
    }
};

void SendButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

class OleDragDrop : public OleTransfer
{
protected:
    void SetUp() override
    {
        LPCWSTR cls = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_WINDOW));
        ASSERT_TRUE(m_window.CreateEx(WS_EX_TOPMOST, cls, L"ドロップ先", WS_POPUP | WS_VISIBLE | WS_BORDER, 300, 300,
                                      200, 150, nullptr, nullptr));
        ASSERT_TRUE(m_target.Register(&m_window));
        SetCursorPos(400, 375);
        ASSERT_TRUE(PumpUntil([this] {
            POINT cursor;
            GetCursorPos(&cursor);
            return WindowFromPoint(cursor) == m_window.m_hWnd;
        }));
        m_source.DelayRenderData(m_format);
    }
    void TearDown() override { m_window.DestroyWindow(); }

    const CLIPFORMAT m_format = Format(L"CF_VyxTESTDRAG");
    const std::string m_payload = Utf16Bytes(L"C:\\画像\\");
    CWnd m_window;
    CRecordingTarget m_target{m_format};
    CRenderingSource m_source{m_format, m_payload};
};

TEST_F(OleDragDrop, DropGoesToOnDropExThenOnDropWhenExDeclines)
{
    struct Row
    {
        DROPEFFECT offer;
        DROPEFFECT dropExAnswer;
        int expectedDrops;
        DROPEFFECT expectedResult;
    };
    const Row rows[] = {
        {DROPEFFECT_COPY, kNotHandled, 1, DROPEFFECT_COPY},
        {DROPEFFECT_MOVE, kNotHandled, 1, DROPEFFECT_MOVE},
        {DROPEFFECT_COPY, DROPEFFECT_MOVE, 0, DROPEFFECT_MOVE},
        // The source never allowed a link: whatever the target says, nothing happens.
        {DROPEFFECT_LINK, kNotHandled, 0, DROPEFFECT_NONE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "offer " << row.offer << " dropEx " << row.dropExAnswer);
        m_target.Reset();
        m_target.m_offer = row.offer;
        m_target.m_dropExAnswer = row.dropExAnswer;
        CScriptedDropSource dropSource;
        DROPEFFECT result = m_source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
        EXPECT_EQ(row.expectedResult, result);
        EXPECT_EQ(1, m_target.m_enters);
        CPoint cursor(400, 375);
        m_window.ScreenToClient(&cursor);
        EXPECT_EQ(cursor, m_target.m_enterPoint);
        EXPECT_EQ(row.expectedDrops, m_target.m_drops);
        if (row.expectedDrops || row.dropExAnswer != kNotHandled) {
            EXPECT_EQ(m_payload, m_target.m_data);
        }
        if (m_target.m_dropExs) {
            EXPECT_EQ(DROPEFFECT(DROPEFFECT_COPY | DROPEFFECT_MOVE), m_target.m_dropList);
            EXPECT_EQ(row.offer & (DROPEFFECT_COPY | DROPEFFECT_MOVE), m_target.m_dropDefault);
        }
        if (row.expectedDrops) {
            EXPECT_EQ(row.offer, m_target.m_dropEffect);
        }
    }
}

TEST_F(OleDragDrop, NoDragBeginsWithoutAButtonHeld)
{
    ASSERT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(DROPEFFECT_NONE, m_source.DoDragDrop(DROPEFFECT_COPY));
    EXPECT_EQ(0, m_target.m_enters);
    EXPECT_EQ(0, m_source.m_renders);
}

TEST_F(OleDragDrop, RightButtonDragDropsOnItsOwnReleaseAndTheLeftButtonCancelsIt)
{
    struct Row
    {
        DWORD firstPollInput;
        DROPEFFECT expected;
        int expectedDrops;
    };
    const Row rows[] = {
        {MOUSEEVENTF_RIGHTUP, DROPEFFECT_COPY, 1},
        {MOUSEEVENTF_LEFTDOWN, DROPEFFECT_NONE, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "first poll input " << row.firstPollInput);
        m_target.Reset();
        SendButton(MOUSEEVENTF_RIGHTDOWN);
        ASSERT_TRUE(PumpUntil([] { return GetKeyState(VK_RBUTTON) < 0; }));
        CScriptedDropSource dropSource;
        dropSource.m_onFirstPoll = [&] { SendButton(row.firstPollInput); };
        DROPEFFECT result = m_source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
        // Let go of whatever is still held before checking.
        if (GetAsyncKeyState(VK_LBUTTON) < 0)
            SendButton(MOUSEEVENTF_LEFTUP);
        if (GetAsyncKeyState(VK_RBUTTON) < 0)
            SendButton(MOUSEEVENTF_RIGHTUP);
        ASSERT_TRUE(PumpUntil([] { return GetKeyState(VK_RBUTTON) >= 0 && GetKeyState(VK_LBUTTON) >= 0; }));
        EXPECT_EQ(DWORD(MK_RBUTTON), dropSource.m_dropButtonSeen);
        EXPECT_GE(dropSource.m_polls, 2);
        EXPECT_EQ(row.expected, result);
        EXPECT_EQ(row.expectedDrops, m_target.m_drops);
    }
}

TEST_F(OleDragDrop, DestroyedWindowIsNoLongerADropTarget)
{
    m_window.DestroyWindow();
    EXPECT_EQ(nullptr, m_window.m_pDropTarget);
    // Registering again needs a window; the old registration is gone with the old one.
    EXPECT_FALSE(m_target.Register(&m_window));
    CWnd second;
    LPCWSTR cls = AfxRegisterWndClass(0);
    ASSERT_TRUE(second.CreateEx(0, cls, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_TRUE(m_target.Register(&second));
    EXPECT_EQ(&m_target, second.m_pDropTarget);
    second.DestroyWindow();
}

} // namespace
