// The program's one application object; the framework's entry point runs it.
#include "browser/CKWApp.h"

CKWApp theApp;
