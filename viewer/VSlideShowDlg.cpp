#include "viewer/VSlideShowDlg.h"

void VSlideShowDlg::SetIndex(int) {}

int VSlideShowDlg::GetIndex() const
{
    return -1;
}

void VSlideShowDlg::SetLocked(BOOL) {}

void VSlideShowDlg::Reload() {}

void VSlideShowDlg::UpdatePositionBar() {}
