// VyxScript: the host object of a drawing script. The host loads a script file once, attaches a
// device context and runs the script whenever the output is to be drawn; while running, the
// script asks the host for data through VyxScriptRequest. Order of calls: Initialize, Load,
// AttachDC, the setters, then per drawing the host variables and Run.
// CDrawMacro: the print host's script, which can also paint the current picture fitted.
#pragma once

#include "script/VyxDrawContext.h"
#include "script/VyxScriptCommand.h"
#include "script/VyxScriptFunction.h"

#include <cstddef>

class VyxScript
{
public:
    VyxScript();
    virtual ~VyxScript();
    VyxScript(const VyxScript&) = delete;
    VyxScript& operator=(const VyxScript&) = delete;

    // Defines the constants, links the main function, registers the nine drawing commands and
    // drops any loaded script (state 0).
    void Initialize();
    // Replaces the script with the file's: 1 loaded, 0 no path, -1 the file could not be read,
    // any other value the error code of the statement that could not be parsed.
    int Load(const wchar_t* path);
    bool IsInvalid() const { return m_state != 1; }
    int GetState() const { return m_state; }
    // 1 when the script ran to its end or stopped; the error code that ended it otherwise.
    virtual int Run();
    // {main:{command:[...], vars:{...}, }}
    virtual const wchar_t* ToString();

    // Takes the DC (mapMode 0 leaves its mapping mode as it is), its size and resolution, and
    // sets its origins to (0, 0).
    void AttachDC(CDC* dc, int mapMode);
    void SetUnit(int unit) { m_context.m_unit = unit; }
    void SetBandHeight(int rows) { m_context.m_bandHeight = rows; }
    // The window that receives WMU_SCRIPTREQUEST (any window class with GetSafeHwnd).
    template <class Wnd> void SetOwner(Wnd* owner) { SetOwnerWindow(owner ? owner->GetSafeHwnd() : nullptr); }
    void SetOwner(std::nullptr_t) { SetOwnerWindow(nullptr); }
    void SetOwnerWindow(HWND owner) { m_context.m_owner = owner; }
    // The request handler used when there is no owner.
    void SetCallback(const VyxScriptCallback& callback) { m_context.m_callback = callback; }
    void SetImage(HGLOBAL image) { m_context.m_image = image; }
    HGLOBAL GetImage() const { return m_context.m_image; }

    // Host variables and constants live in the shared variable table: every script sees them.
    void SetVariable(const wchar_t* name, int value);
    // Stores the value of the expression, whatever its type (raises as the calculator does).
    void SetVariableFormula(const wchar_t* name, const wchar_t* expression);

    int SendRequest(VyxScriptRequest* request) { return m_context.SendRequest(request); }
    double ScriptToDevice(double value, int axis) const { return m_context.ScriptToDevice(value, axis); }
    void PaintDibBanded(int left, int top, int right, int bottom, HGLOBAL dib)
    {
        m_context.PaintDibBanded(left, top, right, bottom, dib);
    }

    // The command gets the id registry count + 10; the registry owns it.
    void RegisterCommand(VyxScriptCommand* command);

    // The stop flag stays set until the host clears it here.
    VyxDrawContext& GetDrawContext() { return m_context; }
    VyxScriptFunction& GetMainFunction() { return m_main; }
    VyxScriptCommandPtrArray& GetRegistry() { return m_registry; }
    VyxScriptFunctionMap& GetFunctionMap() { return m_functions; }

protected:
    CString m_dump;
    int m_state = 0;
    VyxScriptFunction m_main;
    VyxDrawContext m_context;
    VyxScriptCommandPtrArray m_registry;
    VyxScriptFunctionMap m_functions;
};

class CDrawMacro : public VyxScript
{
public:
    ~CDrawMacro() override;
    // Paints the current picture fitted and centred into the whole output; always 0.
    int DrawDefault();
};
