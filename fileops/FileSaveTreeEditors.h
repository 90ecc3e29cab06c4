// The in-place editors of the save-as conversion dialog's option tree: the quality edit with its
// spin, the size and angle edits, and the three compression combo boxes with their tables.
#pragma once

#include "controls/CTreeOptionsCombo.h"
#include "controls/CTreeOptionsEdit.h"
#include "controls/CTreeOptionsSpinCtrl.h"

struct CodecChoice
{
    const wchar_t* text;
    int value;
};

// A compression table: the combo's texts in order, each with the value it stands for.
struct CodecTable
{
    const CodecChoice* choices;
    int count;

    // Empty when no entry has the value.
    CString TextOf(int value) const;
    // The fallback when no entry has the text.
    int ValueOf(const CString& text, int fallback) const;
};

extern const CodecTable kTifCodecTable;
extern const CodecTable kPngCodecTable;
extern const CodecTable kGifCodecTable;

// A combo box listing the texts of its table.
class CCodecCombo : public CTreeOptionsCombo
{
    DECLARE_DYNAMIC(CCodecCombo)
protected:
    virtual const CodecTable& Table() const = 0;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};

class CPngCodec : public CCodecCombo
{
    DECLARE_DYNCREATE(CPngCodec)
protected:
    const CodecTable& Table() const override { return kPngCodecTable; }
};

class CTifCodec : public CCodecCombo
{
    DECLARE_DYNCREATE(CTifCodec)
protected:
    const CodecTable& Table() const override { return kTifCodecTable; }
};

class CGifCodec : public CCodecCombo
{
    DECLARE_DYNCREATE(CGifCodec)
protected:
    const CodecTable& Table() const override { return kGifCodecTable; }
};

// Digits only.
class CQualityEdit : public CTreeOptionsEdit
{
    DECLARE_DYNCREATE(CQualityEdit)
public:
    DWORD GetWindowStyle() override;
};

// 0 to 100.
class CQualitySpin : public CTreeOptionsSpinCtrl
{
    DECLARE_DYNCREATE(CQualitySpin)
public:
    void GetRange(int& nLower, int& nUpper) override;
};

// Sizes, the scale factor and the angle. The value is typed over whole, however the editor first
// takes the focus (a click included), and Enter puts it into the tree.
class CFsEdit : public CTreeOptionsEdit
{
    DECLARE_DYNCREATE(CFsEdit)
public:
    int GetWidth() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    bool m_selectWhole = true;
};
