#include "foundation/VyxText.h"

VyxText::VyxText() {}

VyxText::VyxText(int) {}

VyxText::~VyxText() {}

int VyxText::LoadFile(const wchar_t* path)
{
    m_cursor = 0;
    m_lines.RemoveAll();
    CStdioFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeText))
        return -1;
    try {
        CString line;
        while (file.ReadString(line))
            m_lines.AddGrowing(VyxString(line.GetString()));
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}

int VyxText::SaveFile(const wchar_t* path) const
{
    CStdioFile file;
    if (!path || !file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        return -1;
    try {
        for (int i = 0; i < m_lines.GetCount(); ++i) {
            file.WriteString(m_lines[i]);
            file.WriteString(L"\n");
        }
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return -1;
    }
    return 0;
}

bool VyxText::GetLine(CString& out)
{
    if (m_cursor >= m_lines.GetCount())
        return false;
    out = m_lines[m_cursor++].GetText();
    return true;
}

bool VyxText::GetLine(VyxString& out)
{
    if (m_cursor >= m_lines.GetCount())
        return false;
    out = m_lines[m_cursor++];
    return true;
}

const wchar_t* VyxText::GetText(const wchar_t* separator) const
{
    static VyxString text;
    text = L"";
    for (int i = 0; i < m_lines.GetCount(); ++i) {
        if (i > 0 && separator)
            text += separator;
        text += m_lines[i].GetText();
    }
    return text;
}

int VyxText::SetText(const wchar_t* text, wchar_t separator)
{
    m_cursor = 0;
    m_lines.RemoveAll();
    if (text && *text)
        m_lines = VyxStringArray(text, separator);
    return m_lines.GetCount();
}
