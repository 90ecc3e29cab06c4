// The class-library layer, whole. Every folder outside framework/ includes only this header.
#pragma once

#include "framework/FrameworkBase.h"

#include "framework/CObject.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"
#include "framework/FormatCore.h"
#include "framework/CString.h"
#include "framework/CFileException.h"
#include "framework/CRect.h"
#include "framework/CArray.h"
#include "framework/CList.h"
#include "framework/CMap.h"
#include "framework/CCmdTarget.h"

// Windows, message maps, the application loop, dialogs and the basic controls.
#include "framework/CWinThread.h"
#include "framework/CDC.h"
#include "framework/CGdiObject.h"
#include "framework/CMenu.h"
#include "framework/CCmdUI.h"
#include "framework/CWnd.h"
#include "framework/CDataExchange.h"
#include "framework/CDialog.h"
#include "framework/CStdControls.h"
