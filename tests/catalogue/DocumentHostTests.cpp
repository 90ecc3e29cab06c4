// The document without the program's main frame: the host it is handed hears what the document
// asks of the frame, and the commands go to the command target it is given.
#include "DocumentTestUtil.h"
#include "common/CommandState.h"

#include "catalogue/DocumentHost.h"
#include "res/resource.h"

#include <algorithm>
#include <memory>
#include <utility>

using namespace doctest;

namespace {

using Texts = std::vector<std::wstring>;

// The stand-in main window as the document's host, writing down each call.
class CRecordingHost : public CStandInFrame, public DocumentHost
{
public:
    // The calls since the last time; a call repeated at once is written once.
    Texts Heard()
    {
        Texts heard;
        heard.swap(m_heard);
        return heard;
    }

    void ScheduleStatusUpdate() override { Hear(L"schedule counts"); }
    void UpdateCountPane() override { Hear(L"counts"); }
    void SetThumbViewBackColor(COLORREF colour) override { Hear(L"background " + std::to_wstring(colour)); }
    void FillPluginSetCombo() override { Hear(L"plug-in sets"); }
    int OpenPictureWindow(int nViewIndex, int nMode) override
    {
        Hear(L"picture " + std::to_wstring(nViewIndex) + L" mode " + std::to_wstring(nMode));
        return 0;
    }
    WatchMode SetWatchMode(WatchMode mode) override
    {
        Hear(L"watch " + std::to_wstring(static_cast<int>(mode)));
        return std::exchange(m_mode, mode);
    }

private:
    void Hear(const std::wstring& text)
    {
        if (m_heard.empty() || m_heard.back() != text)
            m_heard.push_back(text);
    }

    WatchMode m_mode = WatchMode::Watching;
    Texts m_heard;
};

// Handles one command with an update handler that enables it.
class CCopyCommand : public CCmdTarget
{
public:
    int copies = 0;

protected:
    afx_msg void OnCopy() { ++copies; }
    afx_msg void OnUpdateCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCopyCommand, CCmdTarget)
ON_COMMAND(ID_EDIT_COPY, OnCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateCopy)
END_MESSAGE_MAP()

} // namespace

TEST(DocumentHost, TheHostHandedToTheDocumentHearsCountsBackgroundPluginSetsWatchersAndThePendingPicture)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.txt", "a");
    PutFile(scope.folder, L"b.txt", "b");
    CRecordingHost host;
    CKWDoc& doc = scope.Document();
    // The main window, though it could be, is not the host until it is handed over.
    EXPECT_EQ(nullptr, doc.GetHost());
    scope.Open();
    doc.SelectItem(0, true, nullptr);
    doc.SetAllSelection(false);
    EXPECT_EQ(Texts{}, host.Heard());
    doc.SetHost(&host);
    ASSERT_EQ(static_cast<DocumentHost*>(&host), doc.GetHost());

    doc.OnOpenDocument((scope.folder / L"b.txt").c_str());
    scope.Open();
    const Texts opened = host.Heard();
    const std::wstring picture = L"picture " + std::to_wstring(scope.IndexOf(L"b.txt")) + L" mode " +
                                 std::to_wstring(PictureReuseWindow | PictureOnTop);
    EXPECT_NE(opened.end(), std::find(opened.begin(), opened.end(), L"counts"));
    EXPECT_EQ(picture, opened.back());

    doc.SelectItem(0, true, nullptr);
    EXPECT_EQ(Texts{L"schedule counts"}, host.Heard());
    doc.SetAllSelection(false);
    EXPECT_EQ(Texts{L"counts"}, host.Heard());

    THUMBSDATA layout = doc.GetOwnLayout();
    layout.colBackGround = RGB(1, 2, 3);
    doc.ApplyLayout(layout);
    EXPECT_EQ((Texts{L"background " + std::to_wstring(RGB(1, 2, 3)), L"plug-in sets"}), host.Heard());

    // The folder's own watcher rests while the document deletes and runs again after.
    doc.SetItemSelection(scope.IndexOf(L"a.txt"), true);
    host.Heard();
    doc.DeleteSelectedFiles(true);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((scope.folder / L"a.txt").c_str()));
    const Texts deleting = host.Heard();
    ASSERT_GE(deleting.size(), 2u);
    EXPECT_EQ(L"watch 1", deleting.front());
    EXPECT_NE(deleting.end(), std::find(deleting.begin(), deleting.end(), L"watch 0"));
}

TEST(DocumentHost, ADocumentHandlesNoCommandUntilGivenItsCommandTargetThenOffersItEachOne)
{
    DocumentScope scope;
    CKWDoc doc;
    doc.m_bAutoDelete = FALSE;
    EXPECT_FALSE(RunCommand(doc, ID_EDIT_COPY));
    EXPECT_FALSE(UpdateCommand(doc, ID_EDIT_COPY).enabled);

    auto commands = std::make_unique<CCopyCommand>();
    CCopyCommand* target = commands.get();
    doc.SetCommands(std::move(commands));
    EXPECT_EQ(target, doc.GetCommands());
    EXPECT_TRUE(UpdateCommand(doc, ID_EDIT_COPY).enabled);
    EXPECT_TRUE(RunCommand(doc, ID_EDIT_COPY));
    EXPECT_EQ(1, target->copies);
    EXPECT_FALSE(RunCommand(doc, ID_EDIT_CUT));
}
