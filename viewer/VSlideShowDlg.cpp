#include "viewer/VSlideShowDlg.h"

void VSlideShowDlg::ShowFrom(int) {}

void VSlideShowDlg::SetLocked(BOOL) {}

void VSlideShowDlg::Reload() {}

void VSlideShowDlg::RecalcPositionBar() {}
