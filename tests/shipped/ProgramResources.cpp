#include "ProgramResources.h"

namespace {

// Reads a template's fields in order, refusing to step past its end.
class TemplateReader
{
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Ok() const { return m_ok; }
    WORD Word() { return static_cast<WORD>(Take(2)); }
    DWORD Dword() { return static_cast<DWORD>(Take(4)); }
    void Skip(size_t bytes)
    {
        if (m_at + bytes > m_size)
            m_ok = false;
        else
            m_at += bytes;
    }
    void AlignTo(size_t bytes) { Skip((bytes - m_at % bytes) % bytes); }
    // A name or an ordinal (0xFFFF then the number); the text of a name.
    std::wstring NameOrOrdinal()
    {
        const WORD first = Word();
        if (first == 0xFFFF) {
            Word();
            return std::wstring();
        }
        std::wstring text;
        for (WORD c = first; c && m_ok; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    std::wstring Text()
    {
        std::wstring text;
        for (WORD c = Word(); c && m_ok; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

private:
    DWORD Take(size_t bytes)
    {
        if (m_at + bytes > m_size) {
            m_ok = false;
            return 0;
        }
        DWORD value = 0;
        for (size_t i = 0; i < bytes; ++i)
            value |= static_cast<DWORD>(m_data[m_at + i]) << (8 * i);
        m_at += bytes;
        return value;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

struct Collect
{
    HMODULE module;
    std::vector<DialogResource>* dialogs;
};

BOOL CALLBACK TakeDialog(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto* collect = reinterpret_cast<Collect*>(param);
    if (!IS_INTRESOURCE(name))
        return TRUE;
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DialogResource dialog;
    if (data && ParseDialogTemplate(data, SizeofResource(module, found), dialog)) {
        dialog.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
        collect->dialogs->push_back(dialog);
    }
    return TRUE;
}

void WalkMenu(HMENU menu, WORD resource, const std::wstring& path, std::vector<MenuEntry>& out)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        const std::wstring here = path.empty() ? text : path + L" > " + text;
        if (info.hSubMenu)
            WalkMenu(info.hSubMenu, resource, here, out);
        else
            out.push_back({resource, here, info.wID});
    }
}

} // namespace

bool ParseDialogTemplate(const BYTE* data, size_t size, DialogResource& out)
{
    TemplateReader in(data, size);
    const bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    DWORD style = 0;
    WORD items = 0;
    if (extended) {
        in.Skip(4 + 4 + 4); // version and signature, help id, extended style
        style = in.Dword();
    } else {
        style = in.Dword();
        in.Skip(4);
    }
    items = in.Word();
    in.Skip(8);
    in.NameOrOrdinal(); // menu
    in.NameOrOrdinal(); // class
    out.caption = in.Text();
    if (style & DS_SETFONT) {
        in.Skip(extended ? 6 : 2);
        in.Text();
    }
    for (WORD i = 0; i < items && in.Ok(); ++i) {
        in.AlignTo(4);
        int id = 0;
        if (extended) {
            in.Skip(4 + 4 + 4 + 8);
            id = static_cast<int>(in.Dword());
        } else {
            in.Skip(4 + 4 + 8);
            id = static_cast<short>(in.Word());
        }
        in.NameOrOrdinal();
        in.NameOrOrdinal();
        in.Skip(in.Word());
        if (id != -1 && id != 0xFFFF && id != 0)
            out.controls.insert(id);
    }
    return in.Ok();
}

ProgramResources::ProgramResources(const std::wstring& file)
    : m_module(LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
{
    if (!m_module)
        return;
    Collect collect = {m_module, &m_dialogs};
    EnumResourceNamesW(m_module, MAKEINTRESOURCEW(5), &TakeDialog, reinterpret_cast<LONG_PTR>(&collect));
}

ProgramResources::~ProgramResources()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::vector<MenuEntry> ProgramResources::MenuEntries(WORD menu) const
{
    std::vector<MenuEntry> entries;
    HMENU loaded = m_module ? LoadMenuW(m_module, MAKEINTRESOURCEW(menu)) : nullptr;
    if (!loaded)
        return entries;
    WalkMenu(loaded, menu, std::wstring(), entries);
    DestroyMenu(loaded);
    return entries;
}
