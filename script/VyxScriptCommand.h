// VyxScriptCommand: one parsed statement of a drawing script (a statement of the language, ids 0
// to 9, or a drawing command, ids from 10) with its keywords, coordinate pairs and parameters as
// texts; the texts are evaluated only when the statement runs, by the owning function.
// VyxScriptCommandPtrArray: a list of statements that shares them by holder count.
#pragma once

#include "foundation/VyxPtrArray.h"
#include "foundation/VyxStringArray.h"
#include "script/VyxPointD.h"
#include "script/VyxVariant.h"

class VyxDrawContext;
class VyxScriptFunction;

class VyxScriptCommand : public VyxPtrObject
{
public:
    VyxScriptCommand();
    // Copies as Assign does, without the hook.
    VyxScriptCommand(const VyxScriptCommand& other);
    ~VyxScriptCommand() override;

    // Copies id, keywords, pairs, parameters, context and owner (not the from-current-point flag),
    // then calls OnAssigned.
    virtual VyxScriptCommand& Assign(const VyxScriptCommand& other);
    // Appends the comma-separated fields of text, trimmed, to the parameters; returns their number.
    virtual int ParseParameters(const wchar_t* text);
    // A new statement of this prototype's class from the line after the keyword; null in the base.
    virtual VyxScriptCommand* CreateFromLine(const wchar_t* line);
    // Drawing commands draw and return 1, or 0 when they cannot; the base does nothing.
    virtual int Execute();
    virtual void OnAssigned();
    // {tag:["BOX"], XY:[(1,2), (3,4)], param:["5"]}
    virtual const wchar_t* ToString();

    void AddKeyword(const wchar_t* keyword);
    // Ignores case.
    bool HasKeyword(const wchar_t* word) const;
    int AddParameter(const wchar_t* text);
    // "" beyond the count.
    const wchar_t* GetParameter(int index) const;
    int GetParameterCount() const { return m_parameters.GetCount(); }
    const wchar_t* GetX(int index) const;
    const wchar_t* GetY(int index) const;
    int GetPointCount() const { return m_x.GetCount(); }
    // Fills the pairs and the flag from "-(x,y)-(x,y)..."; returns where the parameters begin.
    // No leading pair raises -3 "not found (x,y) #line:text".
    const wchar_t* ParseCoordinate(const wchar_t* text);
    bool IsFromCurrentPoint() const { return m_fromCurrentPoint; }

    // The owner's local variables "$_CP_[0]" and "$_CP_[1]", in device units; reading them before
    // any command set them raises "illegal index" (-1).
    POINTD GetCurrentPoint() const;
    void SetCurrentPoint(POINTD point);

    int GetId() const { return m_id; }
    void SetId(int id) { m_id = id; }
    const VyxStringArray& GetKeywords() const { return m_keywords; }
    VyxDrawContext* GetDrawContext() const { return m_context; }
    VyxScriptFunction* GetOwner() const { return m_owner; }
    void SetDrawContext(VyxDrawContext* context) { m_context = context; }
    void SetOwner(VyxScriptFunction* owner) { m_owner = owner; }

protected:
    // CreateFromLine of a drawing command: a T with this prototype's id, keywords and context,
    // its pairs and parameters parsed from the line.
    template <class T> VyxScriptCommand* CreateFromLineAs(const wchar_t* line) const;
    void ParseLine(const wchar_t* line);

    // The text evaluated by the owner's calculator (the empty value without an owner).
    const VyxVariant& Evaluate(const wchar_t* text) const;
    double EvaluateDouble(const wchar_t* text) const { return Evaluate(text).GetDouble(); }
    int EvaluateInt(const wchar_t* text) const { return Evaluate(text).GetInt(); }
    CString EvaluateText(const wchar_t* text) const { return Evaluate(text).GetString(); }
    // True when the parameter is given and not empty.
    bool HasParameterText(int index) const { return GetParameter(index)[0] != 0; }

private:
    CString m_text;
    VyxStringArray m_keywords; // upper case
    int m_id = -1;
    VyxStringArray m_x;
    VyxStringArray m_y;
    VyxStringArray m_parameters;
    VyxDrawContext* m_context = nullptr;
    VyxScriptFunction* m_owner = nullptr;
    bool m_fromCurrentPoint = false;
};

template <class T> VyxScriptCommand* VyxScriptCommand::CreateFromLineAs(const wchar_t* line) const
{
    T* command = new T;
    try {
        command->m_id = m_id;
        command->m_keywords = m_keywords;
        // The context's line number goes into the parse messages.
        command->m_context = m_context;
        command->ParseLine(line);
    } catch (...) {
        delete command;
        throw;
    }
    return command;
}

class VyxScriptCommandPtrArray : public VyxPtrArrayT<VyxScriptCommand*>
{
public:
    VyxScriptCommandPtrArray() = default;
    VyxScriptCommandPtrArray(const VyxScriptCommandPtrArray& other) : VyxPtrArrayT<VyxScriptCommand*>(other) {}
    VyxScriptCommandPtrArray& operator=(const VyxScriptCommandPtrArray& other)
    {
        VyxPtrArrayT<VyxScriptCommand*>::operator=(other);
        return *this;
    }
    ~VyxScriptCommandPtrArray() override;

    // "[" each statement's ToString joined by ", " "]".
    const wchar_t* ToText() override;

private:
    CString m_dump;
};
