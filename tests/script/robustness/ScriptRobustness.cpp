// Scripts whose objects share statements and values, on the guard-page allocator: a read of a
// block already freed faults at once.
#include "script/VyxScript.h"
#include "script/VyxVariantArray.h"

#include "../ScriptTestKit.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;

class ScriptRobustness : public ScriptOnCanvas
{
};

TEST_F(ScriptRobustness, PushingAnElementOfAFullStackOntoItReadsNoFreedMemory)
{
    VyxVariantStack stack;
    stack.Push(VyxVariant(L"bottom"));
    while (stack.GetCount() < stack.GetCapacity())
        stack.Push(VyxVariant(7));
    stack.Push(stack[0]);
    EXPECT_STREQ(L"bottom", stack[stack.GetCount() - 1].GetString());
}

TEST_F(ScriptRobustness, StatementsOutliveACopiedFunctionMap)
{
    ASSERT_EQ(1, LoadScript(script, folder,
                            L"FUNCTION mark(x)\n BOX (x,10)-(x + 20,30), COLOR_RED\n RETURN x\nFEND\n"
                            L"y = mark(10)\n"));
    {
        VyxScriptFunctionMap copy(script.GetFunctionMap());
        ASSERT_NE(nullptr, copy.Lookup(L"mark"));
    }
    // The original's statements still run on the original function.
    ASSERT_EQ(1, script.Run());
    EXPECT_EQ(10, script.GetMainFunction().GetLocalVariables().Lookup(L"y")->GetInt());
    EXPECT_GT(canvas.Count(kRed), 0);
}

} // namespace
