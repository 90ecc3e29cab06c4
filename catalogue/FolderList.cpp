#include "catalogue/FolderList.h"

#include "catalogue/VyxConfig.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"

#include <vector>

namespace {

struct KindEntry
{
    const wchar_t* section;
    const wchar_t* keyPattern;
    int limit;
};

// Kind 3 lives in the layout file, not in a section of the settings file.
const KindEntry kKinds[FolderListKindCount] = {
    {L"FolderView", L"QuickAccess%d", 20},
    {L"Filer", L"Folder%d", 20},
    {L"Filter", L"Filter%d", 10},
    {L"", L"", 20},
    {L"Print", L"File%d", 10},
    {L"ReplaceFormat", L"%d", 20},
    {L"RenameFormat", L"%d", 20},
    {L"Catalog", L"Folder%d", 10},
    {L"Catalog", L"FileName%d", 10},
    {L"Html", L"Folder%d", 10},
    {L"Html", L"FileName%d", 10},
    {L"Html", L"HtmlFile%d", 10},
    {L"Html", L"ThumbsFolder%d", 10},
    {L"Filter", L"SizeBegin%d", 10},
    {L"Filter", L"SizeEnd%d", 10},
    {L"ReportFile", L"%d", 20},
    {L"", L"", 0},
};

bool IsKnownKind(int kind)
{
    return kind >= 0 && kind < FolderListKindCount;
}

CString KeyOf(int kind, int index)
{
    CString key;
    key.Format(kKinds[kind].keyPattern, index);
    return key;
}

// The section names of the layout file, in file order.
std::vector<CString> LayoutSections(const VyxConfig& config)
{
    std::vector<wchar_t> buffer(32768);
    int length = config.GetSectionNames(buffer.data(), static_cast<int>(buffer.size()));
    std::vector<CString> names;
    for (int at = 0; at < length && buffer[at];) {
        CString name(buffer.data() + at);
        at += name.GetLength() + 1;
        names.push_back(name);
    }
    return names;
}

// "name:WxH ": the start of a preset's entry in the list.
CString LayoutEntryHead(const CString& section, const THUMBSDATA& data)
{
    CString head;
    head.Format(L"%s:%dx%d ", static_cast<LPCWSTR>(section), static_cast<int>(data.ThumbsSize.cx),
                static_cast<int>(data.ThumbsSize.cy));
    return head;
}

CString LayoutEntry(const CString& section, const THUMBSDATA& data)
{
    CString entry = LayoutEntryHead(section, data);
    if (data.Name == 1)
        entry += L"下 ";
    else if (data.Name == 2)
        entry += L"右 ";
    if (data.Name != 0) {
        CString format(data.NameFormat);
        format.Replace(L'\t', L' ');
        entry += format;
    }
    return entry;
}

} // namespace

void FolderList::SetKind(int kind)
{
    m_kind = kind;
    RemoveAll();
}

int FolderList::GetLimit(int kind)
{
    return IsKnownKind(kind) ? kKinds[kind].limit : 0;
}

const wchar_t* FolderList::GetSection(int kind)
{
    return IsKnownKind(kind) ? kKinds[kind].section : L"";
}

const wchar_t* FolderList::GetKeyPattern(int kind)
{
    return IsKnownKind(kind) ? kKinds[kind].keyPattern : L"";
}

void FolderList::LoadKind(int kind, CStringArray& list)
{
    if (kind == FolderListThumbLayout) {
        LoadLayouts(list);
        return;
    }
    if (!IsKnownKind(kind))
        return;
    for (int i = 0; i < kKinds[kind].limit; ++i) {
        CString value;
        GetAppIniString(value, kKinds[kind].section, KeyOf(kind, i), L"");
        if (!value.IsEmpty())
            list.Add(value);
    }
}

void FolderList::SaveKind(int kind, const CStringArray& list)
{
    if (kind == FolderListThumbLayout) {
        SaveLayouts(list);
        return;
    }
    if (!IsKnownKind(kind) || kKinds[kind].limit == 0)
        return;
    int count = static_cast<int>(list.GetCount());
    for (int i = 0; i < count; ++i)
        WriteAppIniString(kKinds[kind].section, KeyOf(kind, i), list[i]);
    for (int i = count; i < kKinds[kind].limit; ++i)
        WriteAppIniString(kKinds[kind].section, KeyOf(kind, i), nullptr);
}

void FolderList::LoadLayouts(CStringArray& list)
{
    VyxConfig config;
    for (const CString& section : LayoutSections(config)) {
        THUMBSDATA data = {};
        if (config.Load(data, section))
            list.InsertAt(0, LayoutEntry(section, data));
    }
}

void FolderList::SaveLayouts(const CStringArray& list)
{
    // A preset is deleted only when it was listed (it loads as a layout) and its entry is gone.
    // Its entry is the text the list was given, or the start of it down to the name and size (a
    // list may cut a long text): so "a" is not kept by the entry of "a:b", nor the other way
    // round, whatever ":" the names hold.
    VyxConfig config;
    for (const CString& section : LayoutSections(config)) {
        THUMBSDATA data = {};
        if (!config.Load(data, section))
            continue;
        const CString entry = LayoutEntry(section, data);
        const int least = LayoutEntryHead(section, data).GetLength() - 1; // without the closing blank
        bool kept = false;
        for (INT_PTR i = 0; i < list.GetCount() && !kept; ++i)
            kept = list[i].GetLength() >= least && entry.Left(list[i].GetLength()) == list[i];
        if (!kept)
            config.WriteString(section, nullptr, nullptr);
    }
}

void FolderList::FillComboBox(CComboBox& combo) const
{
    for (INT_PTR i = 0; i < GetCount(); ++i)
        combo.AddString(GetAt(i));
}

void FolderList::MoveToTop(CComboBox& combo, const CString& text)
{
    if (text.IsEmpty())
        return;
    int found = combo.FindStringExact(-1, text);
    if (found >= 0)
        combo.DeleteString(found);
    combo.InsertString(0, text);
    combo.SetWindowText(text);
}

void FolderList::ReadComboBox(const CComboBox& combo)
{
    int count = combo.GetCount();
    for (int i = 0; i < count; ++i) {
        CString text;
        combo.GetLBText(i, text);
        Add(text);
    }
}

void FolderList::SaveComboBox(const CComboBox& combo)
{
    RemoveAll();
    ReadComboBox(combo);
    Save();
}

void FolderList::LoadIntoComboBox(CComboBox& combo, CString& value)
{
    Load();
    FillComboBox(combo);
    if (value.IsEmpty() && combo.GetCount() > 0) {
        combo.SetCurSel(0);
        combo.GetLBText(0, value);
    }
    combo.SetWindowText(value);
}

bool FolderList::TakeFromComboBox(CComboBox& combo, CString& value)
{
    combo.GetWindowText(value);
    if (value.IsEmpty())
        return false;
    MoveToTop(combo, value);
    SaveComboBox(combo);
    return true;
}

void FolderList::ShowInComboBox(CComboBox& combo, const CString& text)
{
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString entry;
        combo.GetLBText(i, entry);
        if (entry == text) {
            combo.SetCurSel(i);
            return;
        }
    }
    combo.SetCurSel(-1);
    combo.SetWindowText(text);
}

bool FolderList::BrowseIntoComboBox(CComboBox& combo, const wchar_t* title)
{
    CString start, chosen;
    combo.GetWindowText(start);
    BrowseForFolder(chosen, combo.GetParent()->GetSafeHwnd(), title, start);
    if (chosen.IsEmpty())
        return false;
    ShowInComboBox(combo, chosen);
    return true;
}

void FolderList::FillListCtrl(CListCtrl& list) const
{
    for (INT_PTR i = 0; i < GetCount(); ++i)
        list.InsertItem(static_cast<int>(i), GetAt(i));
}

void FolderList::ReadListCtrl(const CListCtrl& list)
{
    int count = list.GetItemCount();
    for (int i = 0; i < count; ++i)
        Add(list.GetItemText(i, 0));
}
