#include "script/VyxScriptCommand.h"

#include "script/VyxDrawContext.h"
#include "script/VyxScriptDrawCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Texts(const VyxScriptCommand& command, const wchar_t* (VyxScriptCommand::*get)(int) const,
                                int count)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back((command.*get)(i));
    return texts;
}

TEST(ScriptCommand, ParseCoordinateSplitsPairsFlagAndParameters)
{
    struct Row
    {
        const wchar_t* line;
        std::vector<std::wstring> x, y, parameters;
        bool fromCurrentPoint;
    } rows[] = {
        {L" - ( 1 , 2 ) (3,4) , 5", {L"1", L"3"}, {L"2", L"4"}, {L"5"}, true},
        {L"(a,b)-(c,d)e, f", {L"a", L"c"}, {L"b", L"d"}, {L"e", L"f"}, false},
        {L"(f(1),2)", {L"f(1)"}, {L"2"}, {L""}, false},
        {L"(1,f(2))", {L"1"}, {L"f(2"}, {L""}, false},
        {L"(0,0)-(9,9), \"a, b\", 'c;d' ,x", {L"0", L"9"}, {L"0", L"9"}, {L"\"a, b\"", L"'c;d'", L"x"}, false},
    };
    for (const Row& row : rows) {
        VyxScriptCommand command;
        command.ParseParameters(command.ParseCoordinate(row.line));
        std::string line(row.line, row.line + wcslen(row.line));
        EXPECT_EQ(row.x, Texts(command, &VyxScriptCommand::GetX, command.GetPointCount())) << line;
        EXPECT_EQ(row.y, Texts(command, &VyxScriptCommand::GetY, command.GetPointCount())) << line;
        EXPECT_EQ(row.parameters, Texts(command, &VyxScriptCommand::GetParameter, command.GetParameterCount())) << line;
        EXPECT_EQ(row.fromCurrentPoint, command.IsFromCurrentPoint()) << line;
    }
}

TEST(ScriptCommand, LineWithoutLeadingPairRaisesMinusThreeWithTheLineNumber)
{
    VyxDrawContext context;
    context.m_lineNumber = 7;
    VyxScriptCommandBox prototype;
    prototype.SetDrawContext(&context);
    try {
        delete prototype.CreateFromLine(L"COLOR_RED, 1");
        FAIL() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-3, e->GetCode());
        EXPECT_STREQ(L"not found (x,y) #0007:COLOR_RED, 1", e->GetErrorMessage());
        delete e;
    }
}

TEST(ScriptCommand, CreatedCommandsCarryThePrototypesIdAndKeywordsAndCopiesLeaveTheFlag)
{
    VyxScriptCommandBox prototype;
    prototype.SetId(10);
    VyxScriptCommand* box = prototype.CreateFromLine(L"-(1,2)-(3,4), 5");
    ASSERT_NE(nullptr, dynamic_cast<VyxScriptCommandBox*>(box));
    EXPECT_EQ(10, box->GetId());
    EXPECT_TRUE(box->HasKeyword(L"boxto")); // stored upper case, matched ignoring case
    EXPECT_FALSE(box->HasKeyword(L"bo"));
    EXPECT_STREQ(L"{tag:[\"BOX\", \"BOXTO\"], XY:[(1,2), (3,4)], param:[\"5\"]}", box->ToString());
    EXPECT_STREQ(L"", box->GetX(2)); // texts beyond their counts are empty
    EXPECT_STREQ(L"", box->GetParameter(1));
    VyxScriptCommand copy;
    copy.Assign(*box);
    EXPECT_EQ(10, copy.GetId());
    EXPECT_STREQ(L"4", copy.GetY(1));
    EXPECT_STREQ(L"5", copy.GetParameter(0));
    EXPECT_TRUE(box->IsFromCurrentPoint());
    EXPECT_FALSE(copy.IsFromCurrentPoint());
    delete box;
}

// Counts deletions so that sharing by holder count can be watched.
struct CountedCommand : VyxScriptCommand
{
    explicit CountedCommand(int* deleted) : deleted(deleted) {}
    ~CountedCommand() override { ++*deleted; }
    int* deleted;
};

TEST(ScriptCommand, SharedStatementIsDeletedOnceByItsLastHolder)
{
    int deleted = 0;
    {
        VyxScriptCommandPtrArray first;
        first.Add(new CountedCommand(&deleted));
        {
            VyxScriptCommandPtrArray second(first);
            EXPECT_EQ(1, first.GetData()[0]->GetHolderCount());
        }
        EXPECT_EQ(0, deleted);
        EXPECT_EQ(0, first.GetData()[0]->GetHolderCount());
    }
    EXPECT_EQ(1, deleted);
}

} // namespace
