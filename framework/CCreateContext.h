// What a frame needs to create its views: the view class, the document and template they belong
// to, and the frame being built. Passed through CREATESTRUCT::lpCreateParams.
#pragma once

#include "framework/CObject.h"

class CDocument;
class CDocTemplate;
class CView;
class CFrameWnd;

struct CCreateContext
{
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
