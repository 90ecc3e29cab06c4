// The move dialog: the copy dialog with the move template, title and placement.
#pragma once

#include "fileops/VFileCopyDlg.h"

class VFileMoveDlg : public VFileCopyDlg
{
public:
    explicit VFileMoveDlg(CWnd* parent = nullptr);
};
