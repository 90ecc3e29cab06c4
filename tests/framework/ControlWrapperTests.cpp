// Wrappers of the common controls: tooltips (tools named by window or by id), tabs and headers
// with owner-drawn items reflected to the control, sliders with negative ranges, the date and
// time picker's unchecked state, and the image list being dragged.
#include "common/WindowTestUtil.h"

#include <vector>

namespace {

class CDrawnTab : public CTabCtrl
{
public:
    std::vector<LPARAM> m_drawn;

protected:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        if (lpDrawItemStruct->CtlType == ODT_TAB)
            m_drawn.push_back(static_cast<LPARAM>(lpDrawItemStruct->itemData));
    }
};

class CDrawnHeader : public CHeaderCtrl
{
public:
    std::vector<UINT> m_drawn;

protected:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        if (lpDrawItemStruct->CtlType == ODT_HEADER)
            m_drawn.push_back(lpDrawItemStruct->itemID);
    }
};

TEST(ToolTipCtrl, ToolsNamedByWindowOrByIdKeepTheirTexts)
{
    CTestHostWnd host;
    CButton button;
    ASSERT_TRUE(button.Create(L"押す", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 90, 40), &host, 100));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&host, TTS_ALWAYSTIP));
    EXPECT_EQ(host.m_hWnd, GetWindow(tip.m_hWnd, GW_OWNER));

    EXPECT_TRUE(tip.AddTool(&button, L"ボタンの説明"));
    CRect area(100, 10, 200, 60);
    EXPECT_TRUE(tip.AddTool(&host, L"右の領域", &area, 7));
    EXPECT_EQ(2, tip.GetToolCount());
    EXPECT_FALSE(tip.AddTool(nullptr, L"なし"));

    CString text;
    tip.GetText(text, &button);
    EXPECT_EQ(CString(L"ボタンの説明"), text);
    tip.UpdateTipText(L"新しい説明", &button);
    tip.GetText(text, &button);
    EXPECT_EQ(CString(L"新しい説明"), text);
    tip.GetText(text, &host, 7);
    EXPECT_EQ(CString(L"右の領域"), text);

    TTTOOLINFOW info;
    ASSERT_TRUE(tip.GetToolInfo(info, &button));
    EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(button.m_hWnd), info.uId);
    ASSERT_TRUE(tip.GetToolInfo(info, &host, 7));
    EXPECT_EQ(area, CRect(info.rect));

    tip.SetMaxTipWidth(400);
    EXPECT_EQ(400, tip.GetMaxTipWidth());
    tip.SetDelayTime(TTDT_INITIAL, 250);
    EXPECT_EQ(250, tip.GetDelayTime(TTDT_INITIAL));
    tip.SetTipBkColor(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), tip.GetTipBkColor());

    tip.DelTool(&button);
    EXPECT_EQ(1, tip.GetToolCount());
    tip.DestroyWindow();
}

TEST(TabCtrl, ItemsAndOwnerDrawnTabsReflectedToTheControl)
{
    CTestHostWnd host;
    CDrawnTab tab;
    ASSERT_TRUE(tab.Create(WS_VISIBLE | TCS_OWNERDRAWFIXED, CRect(0, 0, 300, 100), &host, 200));
    EXPECT_EQ(0, tab.InsertItem(TCIF_TEXT | TCIF_PARAM, 0, L"一般", 0, 11));
    EXPECT_EQ(1, tab.InsertItem(TCIF_TEXT | TCIF_PARAM, 1, L"表示", 0, 22));
    EXPECT_EQ(2, tab.InsertItem(2, L"詳細"));
    EXPECT_EQ(3, tab.GetItemCount());
    EXPECT_EQ(0, tab.SetCurSel(1));
    EXPECT_EQ(1, tab.GetCurSel());

    wchar_t text[32] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(tab.GetItem(1, &item));
    EXPECT_STREQ(L"表示", text);
    EXPECT_EQ(22, item.lParam);

    tab.RedrawWindow();
    EXPECT_NE(tab.m_drawn.end(), std::find(tab.m_drawn.begin(), tab.m_drawn.end(), 11));
    EXPECT_NE(tab.m_drawn.end(), std::find(tab.m_drawn.begin(), tab.m_drawn.end(), 22));

    CRect window;
    tab.GetClientRect(&window);
    CRect display = window;
    tab.AdjustRect(FALSE, &display);
    EXPECT_TRUE(window.Height() > display.Height());
    EXPECT_TRUE(tab.DeleteItem(2));
    EXPECT_EQ(2, tab.GetItemCount());
}

TEST(HeaderCtrl, OrderAndOwnerDrawnItemsReflectedToTheControl)
{
    CTestHostWnd host;
    CDrawnHeader header;
    ASSERT_TRUE(header.Create(WS_VISIBLE | HDS_HORZ | HDS_DRAGDROP, CRect(0, 0, 300, 24), &host, 300));
    const wchar_t* titles[] = {L"名前", L"サイズ", L"日付"};
    for (int i = 0; i < 3; ++i) {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<LPWSTR>(titles[i]);
        item.cxy = 80;
        item.fmt = HDF_LEFT | (i == 1 ? HDF_OWNERDRAW : HDF_STRING);
        EXPECT_EQ(i, header.InsertItem(i, &item));
    }
    EXPECT_EQ(3, header.GetItemCount());
    int order[] = {2, 0, 1};
    EXPECT_TRUE(header.SetOrderArray(3, order));
    int read[3] = {};
    EXPECT_TRUE(header.GetOrderArray(read));
    EXPECT_EQ(2, read[0]);
    EXPECT_EQ(1, read[2]);
    EXPECT_EQ(0, header.OrderToIndex(1));

    header.RedrawWindow();
    EXPECT_EQ(std::vector<UINT>{1}, header.m_drawn);
    EXPECT_TRUE(header.DeleteItem(0));
    EXPECT_EQ(2, header.GetItemCount());
}

TEST(SliderCtrl, RangeReachesBelowZeroAndPositionsStayInside)
{
    CTestHostWnd host;
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_VISIBLE | TBS_HORZ | TBS_AUTOTICKS, CRect(0, 0, 200, 30), &host, 400));
    slider.SetRange(-100, 100, TRUE);
    int low = 0, high = 0;
    slider.GetRange(low, high);
    EXPECT_EQ(-100, low);
    EXPECT_EQ(100, high);
    slider.SetPos(150);
    EXPECT_EQ(100, slider.GetPos());
    slider.SetPos(-30);
    EXPECT_EQ(-30, slider.GetPos());
    slider.SetPageSize(10);
    EXPECT_EQ(10, slider.SetPageSize(20));
    slider.SetTicFreq(10);
    EXPECT_EQ(21u, slider.GetNumTics());
}

TEST(DateTimeCtrl, TimeRoundTripsAndAnUncheckedPickerHasNone)
{
    CTestHostWnd host;
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_VISIBLE | DTS_SHOWNONE | DTS_SHORTDATEFORMAT, CRect(0, 0, 200, 24), &host, 500));
    SYSTEMTIME leap = {2024, 2, 4, 29, 13, 45, 10, 0};
    ASSERT_TRUE(picker.SetTime(&leap));
    SYSTEMTIME read = {};
    EXPECT_EQ(DWORD(GDT_VALID), picker.GetTime(&read));
    EXPECT_EQ(2024, read.wYear);
    EXPECT_EQ(2, read.wMonth);
    EXPECT_EQ(29, read.wDay);
    EXPECT_EQ(13, read.wHour);
    EXPECT_EQ(45, read.wMinute);
    COleDateTime date;
    EXPECT_TRUE(picker.GetTime(date));
    EXPECT_EQ(COleDateTime::valid, date.GetStatus());
    EXPECT_EQ(29, date.GetDay());

    ASSERT_TRUE(picker.SetTime(static_cast<const SYSTEMTIME*>(nullptr)));
    EXPECT_EQ(DWORD(GDT_NONE), picker.GetTime(&read));
    EXPECT_TRUE(picker.GetTime(date));
    EXPECT_EQ(COleDateTime::null, date.GetStatus());

    SYSTEMTIME from = {2000, 1, 6, 1, 0, 0, 0, 0};
    EXPECT_TRUE(picker.SetRange(&from, nullptr));
    SYSTEMTIME low = {}, high = {};
    EXPECT_EQ(DWORD(GDTR_MIN), picker.GetRange(&low, &high));
    EXPECT_EQ(2000, low.wYear);
}

TEST(ImageList, ImageBeingDraggedIsFoundWithItsHotSpot)
{
    CTestHostWnd host;
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
    ASSERT_EQ(0, images.Add(LoadIconW(nullptr, IDI_APPLICATION)));
    POINT position = {}, hotSpot = {};
    EXPECT_EQ(nullptr, CImageList::GetDragImage(&position, &hotSpot));
    ASSERT_TRUE(images.BeginDrag(0, CPoint(3, 4)));
    EXPECT_TRUE(CImageList::DragEnter(&host, CPoint(20, 30)));
    CImageList* dragged = CImageList::GetDragImage(&position, &hotSpot);
    ASSERT_NE(nullptr, dragged);
    EXPECT_EQ(3, hotSpot.x);
    EXPECT_EQ(4, hotSpot.y);
    EXPECT_EQ(1, dragged->GetImageCount());
    EXPECT_TRUE(CImageList::DragLeave(&host));
    CImageList::EndDrag();
    EXPECT_EQ(nullptr, CImageList::GetDragImage(&position, &hotSpot));
}

} // namespace
