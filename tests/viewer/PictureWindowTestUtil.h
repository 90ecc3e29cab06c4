// The program's frame on a scratch folder of pictures the program's own plug-ins read, for the
// tests of picture windows, their commands and the slideshow.
#pragma once

#include "common/FrameTestUtil.h"
#include "ViewerTestUtil.h"
#include "browser/CLstView.h"
#include "viewer/COneWnd.h"
#include "viewer/COneWndList.h"

#include <functional>
#include <memory>

struct PictureWindows
{
    FrameProgram program;
    std::unique_ptr<viewertest::OwnPlugins> plugins = std::make_unique<viewertest::OwnPlugins>();

    // settings runs before the document and the frame are made.
    explicit PictureWindows(bool start = true, const std::function<void()>& settings = nullptr)
        : program(settings, false)
    {
        viewertest::WriteBmp(program.m_folder / L"c.bmp", 320, 200, RGB(255, 0, 0));
        viewertest::WriteBmp(program.m_folder / L"d.bmp", 240, 180, RGB(0, 255, 0));
        viewertest::WriteBmp(program.m_folder / L"f.bmp", 200, 260, RGB(0, 0, 255));
        viewertest::WriteGreyTiff(program.m_folder / L"e.tif", 200, 150, 3);
        if (start)
            program.Start(program.m_folder.Path());
    }
    ~PictureWindows()
    {
        program.Close();
        plugins.reset();
    }
    CMainFrame* Frame() const { return program.Frame(); }
    CKWDoc* Doc() const { return program.Document(); }
    COneWndList& List() const { return Frame()->GetPictureWindows(); }
    int Count() const { return static_cast<int>(List().GetCount()); }
    COneWnd* Window(int i) const { return List().GetWindow(i); }
    int Index(const wchar_t* name) const { return Doc()->FindItem(program.m_folder / name, L"", 0); }
    // Takes the item out of the document as a change the picture windows have not heard of yet.
    // The file list's row holds the item itself and goes with it, as it does for every removal the
    // program makes: a row left behind would be painted from a freed item.
    void Remove(int index) const
    {
        Doc()->RemoveItem(index);
        Frame()->GetListView()->GetListCtrl().DeleteItem(index);
    }
    // Opens the file in a picture window and answers the window that shows it.
    COneWnd* Open(const wchar_t* name, int mode = PictureNewWindow)
    {
        int index = Index(name);
        EXPECT_EQ(0, Frame()->OpenPictureWindow(index, mode)) << name;
        for (int i = 0; i < Count(); ++i)
            if (Window(i)->GetIndex() == index)
                return Window(i);
        return nullptr;
    }
};

inline CString ShownName(COneWnd* window)
{
    VyxFile* item = window && window->GetView() ? window->GetView()->GetItem() : nullptr;
    return item ? item->GetFileName() : CString();
}

inline CString Caption(CWnd* window)
{
    CString text;
    window->GetWindowText(text);
    return text;
}
