// The application object of every test executable, so that AfxGetApp, the resource handles and
// the profile functions work as they do in the program. The profile is an ini file of its own in
// the temporary folder, removed when the tests end.
#pragma once

#include "framework/Framework.h"

class CTestApp : public CWinApp
{
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
};

extern CTestApp theTestApp;
