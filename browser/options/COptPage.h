// What the twelve pages of the options sheet share: the page icon, the record fields each control
// writes the moment it changes (check boxes on BN_CLICKED, edits on EN_CHANGE, combo boxes on
// CBN_SELCHANGE, each after the page's data exchange), the white background the sheet may ask
// for, the anchors of the controls that stretch with the page, and the edits with a button.
#pragma once

#include "controls/CEditButtonCtrl.h"
#include "controls/CResizablePage.h"
#include "controls/CWhiteBackgroundProvider.h"

#include <initializer_list>
#include <vector>

class COptPage : public CResizablePage, public TreePropSheet::CWhiteBackgroundProvider
{
    DECLARE_DYNAMIC(COptPage)
public:
    // One entry of a macro menu; a null label is a separator.
    struct MacroEntry
    {
        const wchar_t* label;
        const wchar_t* value;
    };
    // The edit's default button with a menu of macros (ids from 1024) inserted at the caret.
    static void PrepareMacroButton(CEditButtonCtrl& edit, const MacroEntry* entries, size_t count);
    template <size_t N> static void PrepareMacroButton(CEditButtonCtrl& edit, const MacroEntry (&entries)[N])
    {
        PrepareMacroButton(edit, entries, N);
    }

    BOOL OnSetActive() override;

protected:
    // iconId 0: the page shows no icon.
    COptPage(UINT templateId, UINT iconId);

    // Bindings of controls to record fields, made by the constructors.
    void BindCheck(UINT id, bool& field);
    void BindCheck(UINT id, int& field);
    // The box sets or clears its own bit of the field and leaves the others.
    void BindCheckBit(UINT id, int& field, int bit);
    void BindComboIndex(UINT id, int& field);
    void BindText(UINT id, CString& field);
    // An edit that shows the field with "%d" and stores the typed text's integer value.
    void BindNumber(UINT id, int& field);

    // The steps of opening, in order: lists filled and buttons made, the exchange members taken
    // from the record, the controls shown, the anchors set.
    virtual void PrepareControls() {}
    virtual void LoadMembers();
    virtual void SetAnchors() {}
    // After a control wrote its field (or, unbound, after its notification): the page's rules.
    virtual void OnControlChanged(UINT /*id*/) {}

    // The data exchange with the notifications of the page's own writes held back.
    void ShowMembers();
    void StretchWithWidth(std::initializer_list<UINT> ids);
    void FillCombo(UINT id, std::initializer_list<const wchar_t*> items);
    int GetComboIndex(UINT id) const { return static_cast<int>(SendDlgItemMessage(id, CB_GETCURSEL)); }
    void SetComboIndex(UINT id, int index) { SendDlgItemMessage(id, CB_SETCURSEL, index); }
    // A 20-pixel folder button that browses and puts the chosen folder into the edit.
    static void PrepareFolderButton(CEditButtonCtrl& edit);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    // Set once the page has opened: what the page writes into its own controls before that, and
    // while it shows its members again, is not the user's change.
    bool m_bReady = false;

private:
    enum class Kind { Check, CheckBit, Combo, Text, Number };
    struct Binding
    {
        UINT id;
        Kind kind;
        int value;    // check state or combo index
        CString text; // edit text, numbers included
        bool* flag;
        int* number;
        int bit;
        CString* string;
    };
    void Bind(const Binding& binding) { m_bindings.push_back(binding); }
    void StoreField(Binding& binding);

    std::vector<Binding> m_bindings;
};
