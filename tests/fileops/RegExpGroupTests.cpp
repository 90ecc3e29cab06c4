// The named regular-expression groups: the group file's round trip and the group editor.
#include "FileopsTestUtil.h"

#include "common/ControlTestUtil.h"
#include "common/RealInput.h"
#include "common/WindowTestUtil.h"
#include "fileops/CRegExpGroupDialog.h"
#include "res/resource.h"

using namespace fileopstest;

namespace {

std::vector<CString> Group(const RegExpGroupFile& file, const wchar_t* name)
{
    CStringArray patterns;
    file.ReadGroup(name, patterns);
    return Texts(patterns);
}

std::vector<CString> GroupNames(const RegExpGroupFile& file)
{
    CStringArray names;
    file.GetGroupNames(names);
    return Texts(names);
}

// The group editor made modeless on the test's thread, driven through its controls.
class GroupEditor : public Modeless<CRegExpGroupDialog>
{
public:
    explicit GroupEditor(const ScratchGroups& groups) { m_groups = groups.file; }
    bool Open() { return Create(IDD_REGEXP_GROUP, nullptr) != FALSE; }

    HWND List() const { return Control(IDC_REGEXP_GROUP_LIST); }
    HWND Names() const { return Control(IDC_REGEXP_GROUP_NAME); }
    std::vector<CString> Column(int column) const { return ListColumn(List(), column); }
    std::vector<CString> Entries() const
    {
        std::vector<CString> entries;
        int count = static_cast<int>(::SendMessageW(Names(), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(Names(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    void EditRow(int row, const wchar_t* text, bool escape = false) { EditListLabel(List(), row, text, escape); }
    // The user types a name into the combo box's edit field.
    void TypeName(const wchar_t* name)
    {
        ::SetWindowTextW(Names(), name);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REGEXP_GROUP_NAME, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(Names()));
    }
    void ChooseName(int index)
    {
        ::SendMessageW(Names(), CB_SETCURSEL, index, 0);
        SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REGEXP_GROUP_NAME, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Names()));
    }
};

const CString kPlaceholder = CRegExpGroupDialog::GetPlaceholderText();

} // namespace

TEST(RegExpGroupFile, PatternsWithEqualsSemicolonsBlanksAndQuotesComeBackAsWritten)
{
    ScratchGroups groups;
    groups.Write(L"odd", {L"a=b", L"x;y", L"  lead", L"trail  ", L"\"quoted\"", L"", L"=", L"\"", L"日本語=[０-９]+"});
    EXPECT_EQ((std::vector<CString>{L"a=b", L"x;y", L"  lead", L"trail  ", L"\"quoted\"", L"", L"=", L"\"",
                                    L"日本語=[０-９]+"}),
              Group(groups.file, L"odd"));
}

TEST(RegExpGroupFile, GroupsAreSectionsWithConsecutiveKeysAndAnEmptyOneIsRemoved)
{
    ScratchGroups groups;
    EXPECT_TRUE(GroupNames(groups.file).empty());
    groups.Write(L"first", {L"a", L"b", L"c"});
    groups.Write(L"second", {L"x"});
    groups.Write(L"first", {L"c", L"a"});
    EXPECT_EQ((std::vector<CString>{L"first", L"second"}), GroupNames(groups.file));
    std::string text = ScratchFolder::ReadFile(groups.folder / L"RegExpGroup.ini");
    EXPECT_NE(std::string::npos, text.find("[first]\r\n000=c\r\n001=a\r\n"));
    EXPECT_EQ(std::string::npos, text.find("002="));
    groups.Write(L"first", {});
    EXPECT_EQ((std::vector<CString>{L"second"}), GroupNames(groups.file));
    EXPECT_TRUE(Group(groups.file, L"first").empty());
}

TEST(RegExpGroupFile, EntriesAreReadInFileOrderWhateverTheirKeys)
{
    ScratchGroups groups;
    ScratchFolder::WriteFile(groups.folder / L"RegExpGroup.ini",
                             "[g]\r\nzz=last key first\r\n000=a=b\r\nno equals sign\r\n");
    EXPECT_EQ((std::vector<CString>{L"last key first", L"a=b", L"no equals sign"}), Group(groups.file, L"g"));
}

TEST(RegExpGroupDialog, OpeningShowsTheNamesAfterAnEmptyEntryAndThePreselectedGroup)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"beta", {L"[0-9]+"});
    groups.Write(L"alpha", {L"[a-z]+", L"[a-c]"});
    GroupEditor editor(groups);
    editor.m_groupName = L"alpha";
    ASSERT_TRUE(editor.Open());
    EXPECT_EQ((std::vector<CString>{L"", L"beta", L"alpha"}), editor.Entries());
    EXPECT_EQ((std::vector<CString>{L"[a-z]+", L"[a-c]", kPlaceholder}), editor.Column(0));
    // Without a sample the results stay empty.
    EXPECT_EQ((std::vector<CString>{L"", L"", L""}), editor.Column(1));
    editor.DestroyWindow();

    // The name is looked up exactly: another case is no match.
    GroupEditor other(groups);
    other.m_groupName = L"ALPHA";
    ASSERT_TRUE(other.Open());
    EXPECT_EQ((std::vector<CString>{kPlaceholder}), other.Column(0));
}

TEST(RegExpGroupDialog, ResultsShowTheSampleAfterEachExpressionNumberedFromOne)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"chain", {L"[a-z]+_[0-9]+", L"([", L"[0-9]+", L"#2#|34", L"$(Width)"});
    NamedItem item(L"dsc_01234.jpg", 0, 1);
    GroupEditor editor(groups);
    editor.m_groupName = L"chain";
    editor.m_sampleItem = &item;
    editor.m_sampleText = L"x dsc_01234 y";
    ASSERT_TRUE(editor.Open());
    // A refused expression leaves the text; "#2#" is the number 1 in two digits; the item's
    // width is 1.
    EXPECT_EQ((std::vector<CString>{L"dsc_01234", L"dsc_01234", L"01234", L"01", L"1", L""}), editor.Column(1));
}

TEST(RegExpGroupDialog, ThePlaceholderBecomesARowOnlyWhenItsTextChangesAndIsNeverSaved)
{
    ScratchSettings settings;
    ScratchGroups groups;
    GroupEditor editor(groups);
    ASSERT_TRUE(editor.Open());
    editor.EditRow(0, kPlaceholder);
    EXPECT_EQ((std::vector<CString>{kPlaceholder}), editor.Column(0));
    editor.EditRow(0, L"[0-9]+");
    editor.EditRow(1, L"[0-5]");
    editor.EditRow(0, L"[1-9]+");
    EXPECT_EQ((std::vector<CString>{L"[1-9]+", L"[0-5]", kPlaceholder}), editor.Column(0));
    // Esc keeps what the box holds.
    editor.EditRow(1, L"[2-5]", true);
    EXPECT_EQ(CString(L"[2-5]"), ListCell(editor.List(), 1, 0));
    editor.TypeName(L"新しい");
    editor.Press(IDOK);
    EXPECT_EQ((std::vector<CString>{L"新しい"}), GroupNames(groups.file));
    EXPECT_EQ((std::vector<CString>{L"[1-9]+", L"[2-5]"}), Group(groups.file, L"新しい"));
}

TEST(RegExpGroupDialog, ChoosingAnotherGroupSavesTheShownOneUnderTheTypedName)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"kept", {L"k"});
    GroupEditor editor(groups);
    ASSERT_TRUE(editor.Open());
    editor.EditRow(0, L"a+");
    editor.TypeName(L"typed");
    editor.ChooseName(1);
    EXPECT_EQ((std::vector<CString>{L"k", kPlaceholder}), editor.Column(0));
    EXPECT_EQ((std::vector<CString>{L"a+"}), Group(groups.file, L"typed"));
    EXPECT_EQ((std::vector<CString>{L"", L"kept", L"typed"}), editor.Entries());
    // Esc saves nothing more.
    editor.EditRow(0, L"changed");
    editor.Press(IDCANCEL);
    EXPECT_EQ((std::vector<CString>{L"k"}), Group(groups.file, L"kept"));
}

TEST(RegExpGroupDialog, ADraggedRowIsSavedInItsNewPlaceAndThePlaceholderStaysLast)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"g", {L"a", L"b", L"c"});
    GroupEditor editor(groups);
    editor.m_groupName = L"g";
    ASSERT_TRUE(editor.Open());
    editor.SendMessage(WMU_ITEMMOVED, 2, 0); // c to the top
    editor.SendMessage(WMU_ITEMMOVED, 0, 3); // c below b
    editor.SendMessage(WMU_ITEMMOVED, 3, 0); // the placeholder does not move
    EXPECT_EQ((std::vector<CString>{L"a", L"b", L"c", kPlaceholder}), editor.Column(0));
    editor.SendMessage(WMU_ITEMMOVED, 1, 0);
    editor.DeleteRow(2);
    editor.DeleteRow(2); // the placeholder stays
    editor.Press(IDOK);
    EXPECT_EQ((std::vector<CString>{L"b", L"a"}), Group(groups.file, L"g"));
    std::string text = ScratchFolder::ReadFile(groups.folder / L"RegExpGroup.ini");
    EXPECT_NE(std::string::npos, text.find("000=b\r\n001=a\r\n"));
}

TEST(RegExpGroupDialog, ARowIsDeletedFromItsContextMenu)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"g", {L"a", L"b"});
    GroupEditor editor(groups);
    editor.m_groupName = L"g";
    ASSERT_TRUE(editor.Open());
    editor.ShowWindow(SW_SHOW);
    ASSERT_TRUE(MakeActive(editor));
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = editor.List();
    click.hdr.idFrom = IDC_REGEXP_GROUP_LIST;
    click.hdr.code = NM_RCLICK;
    click.iItem = 0;
    HelperThread driver([&] { DriveMenu(editor.GetSafeHwnd(), 1); });
    editor.SendMessage(WM_NOTIFY, IDC_REGEXP_GROUP_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ((std::vector<CString>{L"b", kPlaceholder}), editor.Column(0));
}

TEST(RegExpGroupDialog, DeletingAGroupAsksFirst)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"g", {L"a"});
    GroupEditor editor(groups);
    editor.m_groupName = L"g";
    ASSERT_TRUE(editor.Open());
    for (int answer : {IDNO, IDYES}) {
        CString question;
        HelperThread driver([&] {
            HWND box = WaitForMessageBox(&question, 30000);
            if (box)
                PostMessageW(box, WM_COMMAND, answer, 0);
        });
        editor.Press(IDC_REGEXP_GROUP_DELETE);
        EXPECT_EQ(CString(L"この名前の正規表現グループを削除しますか？"), question);
    }
    EXPECT_TRUE(GroupNames(groups.file).empty());
    EXPECT_EQ((std::vector<CString>{L""}), editor.Entries());
    EXPECT_EQ((std::vector<CString>{kPlaceholder}), editor.Column(0));
}

// The group name box keeps its own Enter but lets the dialog have Tab and Escape: a user typing a
// name can tab on to the list and close the editor from the keyboard.
TEST(RegExpGroupDialog, TabLeavesTheNameBoxAndEscapeClosesTheEditor)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"g", {L"a"});
    CRegExpGroupDialog editor;
    editor.m_groups = groups.file;
    editor.m_groupName = L"g";
    bool tabbed = false, closed = false;
    int result = 0;
    {
        HelperThread driver([&] {
            HWND dialog = WaitForDialog(L"正規表現グループ", 30000);
            ASSERT_NE(nullptr, dialog);
            HWND names = GetDlgItem(dialog, IDC_REGEXP_GROUP_NAME);
            auto inNames = [&] {
                HWND focus = FocusOfThread(dialog);
                return focus == names || IsChild(names, focus);
            };
            ASSERT_TRUE(WaitUntil(inNames, 30000));
            SendKey(VK_TAB);
            tabbed = WaitUntil([&] { return !inNames(); }, 30000);
            // Back in the box, Escape closes the editor.
            SendKey(VK_TAB, VK_SHIFT);
            WaitUntil(inNames, 30000);
            SendKey(VK_ESCAPE);
            closed = WaitUntil([&] { return !IsWindow(dialog); }, 30000);
            if (!closed)
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        result = static_cast<int>(editor.DoModal());
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(tabbed);
    EXPECT_TRUE(closed);
}
