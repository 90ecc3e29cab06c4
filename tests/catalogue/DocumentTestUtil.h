// Shared set-up of the document tests: a document on settings and a folder of the test's own,
// a view that writes down every update hint it hears, and a frame to stand in as the main window.
#pragma once

#include "ThumbnailTestUtil.h"

#include "catalogue/CKWDoc.h"
#include "catalogue/FrameMessages.h"
#include "foundation/CurrentDirectoryScope.h"
#include "common/WindowTestUtil.h"

#include <memory>
#include <string>
#include <vector>

namespace doctest {

using namespace thumbtest;

// Writes each hint as one text: "1 <path>" (or "1 -" without argument), "4 1,3", "11 0,2",
// "15 6", "8 2", "19 2", "10 <path>", "13 29" (the tree root pointed at; "13 -" without), "0".
class CHintView : public CView
{
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* argument) override
    {
        std::wstring text = std::to_wstring(hint);
        switch (hint) {
        case HintListRebuilding:
        case HintListRebuilt:
        case HintRenamed:
        case HintFolderChanged:
            text += argument ? L" " + std::wstring(reinterpret_cast<const wchar_t*>(argument)) : L" -";
            break;
        case HintSelection:
        case HintCursorMoved: {
            const int* values = reinterpret_cast<const int*>(argument);
            text += L" " + std::to_wstring(values[0]) + L"," + std::to_wstring(values[1]);
            break;
        }
        case HintItemRemoved:
        case HintItemChanged:
        case HintNextFolder:
            text += L" " + std::to_wstring(reinterpret_cast<INT_PTR>(argument));
            break;
        case HintGoToPath:
            text += L" " + std::wstring(reinterpret_cast<const wchar_t*>(argument));
            break;
        case HintSettingsChanged:
            // The tree root the argument points at, "-" without one.
            text += argument ? L" " + std::to_wstring(*reinterpret_cast<const int*>(argument)) : L" -";
            break;
        default:
            break;
        }
        heard.push_back(text);
    }

    std::vector<std::wstring> heard;

protected:
    // The tests own their views.
    void PostNcDestroy() override {}
};

// A plain frame as the main window, which writes down the folders it is told have changed.
class CStandInFrame : public CFrameWnd
{
public:
    CStandInFrame()
    {
        Create(nullptr, L"document tests", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300));
        m_previous = AfxGetThread()->m_pMainWnd;
        AfxGetThread()->m_pMainWnd = this;
    }
    ~CStandInFrame() override
    {
        AfxGetThread()->m_pMainWnd = m_previous;
        DestroyWindow();
    }

    std::vector<std::wstring> changedFolders;
    // The jobs the frame was handed, as "copy|move <destination>: <file names...>".
    std::vector<std::wstring> jobs;

protected:
    void PostNcDestroy() override {}
    afx_msg LRESULT OnFolderChanged(WPARAM wParam, LPARAM lParam)
    {
        if (wParam == 109 && lParam)
            changedFolders.push_back(reinterpret_cast<const wchar_t*>(lParam));
        return 0;
    }
    afx_msg LRESULT OnFileOperation(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_previous = nullptr;
};

// The document of one test: its own settings file, cache list and folder; the process-wide
// settings of the item layer and the current directory as a fresh process has them afterwards.
class DocumentScope
{
public:
    DocumentScope() { m_directory = CurrentDirectoryScope::Swap(nullptr); }
    virtual ~DocumentScope()
    {
        if (m_document)
            m_document.reset();
        SetCurrentDirectoryW(m_directory);
        VyxFilexImage::SetItemSettings(ItemSettings{});
    }
    DocumentScope(const DocumentScope&) = delete;
    DocumentScope& operator=(const DocumentScope&) = delete;

    // Made once the test has written the settings it wants read.
    CKWDoc& Document()
    {
        if (!m_document) {
            m_document.reset(new CKWDoc);
            m_document->m_bAutoDelete = FALSE;
            Attach(*m_document);
            m_document->AddView(&view);
        }
        return *m_document;
    }
    // The next Document() is a new one, reading the settings as they now stand.
    void NewDocument() { m_document.reset(); }
    // Lists the folder (or a location of the test's choosing) and forgets the hints so far.
    int Open(const CVirtualFolder& location)
    {
        int result = Document().OpenFolder(location, nullptr);
        view.heard.clear();
        return result;
    }
    int Open() { return Open(CVirtualFolder(folder.Path().c_str(), folder.Path().c_str(), 1)); }
    // The hints heard since the last call.
    std::vector<std::wstring> Heard()
    {
        std::vector<std::wstring> heard;
        heard.swap(view.heard);
        return heard;
    }
    // The names in view order.
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < Document().GetItemCount(); ++i)
            names.push_back(Document().GetItem(i)->GetFileName().GetString());
        return names;
    }
    int IndexOf(const std::wstring& name)
    {
        for (int i = 0; i < Document().GetItemCount(); ++i)
            if (Document().GetItem(i)->GetFileName() == name.c_str())
                return i;
        return -1;
    }

    CacheScope cache;
    ScratchFolder folder{L"doc"};
    CHintView view;

protected:
    // What a new document is given before its first use (the main window's tests give it the
    // command target the main frame gives it).
    virtual void Attach(CKWDoc&) {}

private:
    CString m_directory;
    std::unique_ptr<CKWDoc> m_document;
};

} // namespace doctest
