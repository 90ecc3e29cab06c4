// Dialog data exchange with the items of an option tree, one function per item, in the manner of
// the framework's own DDX functions: saving reads the item, loading writes it.
#pragma once

#include "framework/Framework.h"

void AFXAPI DDX_TreeCheck(CDataExchange* pDX, int nIDC, HTREEITEM hItem, BOOL& bCheck);
// hParent: the parent of the radio group; the index counts its radio children from 0.
void AFXAPI DDX_TreeRadio(CDataExchange* pDX, int nIDC, HTREEITEM hParent, int& nIndex);
void AFXAPI DDX_TreeEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText);
void AFXAPI DDX_TreeEditInt(CDataExchange* pDX, int nIDC, HTREEITEM hItem, int& nValue);
void AFXAPI DDX_TreeEditDouble(CDataExchange* pDX, int nIDC, HTREEITEM hItem, double& dValue);
void AFXAPI DDX_TreeColor(CDataExchange* pDX, int nIDC, HTREEITEM hItem, COLORREF& color);
// The browse and menu editors hold plain text.
void AFXAPI DDX_TreeFileEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText);
void AFXAPI DDX_TreeFolderEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText);
void AFXAPI DDX_TreeColorEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText);
void AFXAPI DDX_TreeMenuEdit(CDataExchange* pDX, int nIDC, HTREEITEM hItem, CString& sText);
