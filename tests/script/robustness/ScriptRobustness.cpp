// Scripts whose objects share statements and values, on the guard-page allocator: a read of a
// block already freed faults at once. Hostile drawing scripts (a layout's cell design, a print
// definition): mutations of scripts that use every command, each loaded and run on a canvas within
// the bounds of time and memory every hostile input keeps.
#include "foundation/VyxText.h"
#include "script/VyxScript.h"
#include "script/VyxVariantArray.h"

#include "../ScriptTestKit.h"
#include "common/HostileInputs.h"

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

// Scripts that use every command, blocks, functions, texts and the built-in functions.
std::vector<hostile::Input> ScriptSeeds()
{
    const char* const texts[] = {
        "BOX (0,0)-(50,50), COLOR_BLACK, 1, PS_SOLID, COLOR_RED, HS_CROSS\r\nBOX -(80,80)\r\n"
        "LINE (10,10)-(50,50)-(50,10), COLOR_BLUE, 5, -1\r\nLINE -(10,10)\r\n"
        "POLYGON (10,10)-(90,10)-(50,70), COLOR_BLACK, 1, 0, COLOR_RED\r\n"
        "RoundBox (10,10)-(60,60), COLOR_BLACK, 20, 20\r\nCIRCLE (50,50), 10, 10\r\n",
        "BSPLINE (10,50)-(40,50)-(70,50)-(100,50), COLOR_RED, 1, 0, 20\r\n"
        "CSPLINE (10,10)-(40,80)-(70,10)-(100,80), COLOR_BLUE, 2, 0, 10\r\n"
        "DRAWTEXT (0,0)-(120,40), \"$(Name) \" + @left(\"abcdef\", 3), DT_CENTER, \"\", COLOR_RED, 12\r\n"
        "DRAWIMAGE (10,20)-(60,70), DT_CENTER\r\n",
        "FUNCTION mark(x, y)\r\n IF x > y\r\n  BOX (x,y)-(x + 10,y + 10)\r\n ELSE IF x == y\r\n"
        "  RETURN @round(x / 2)\r\n ELSE\r\n  RETURN @abs(y - x)\r\n ENDIF\r\n RETURN x\r\nFEND\r\n"
        "i = 0\r\ns = \"\"\r\nWHILE i < 20\r\n t = mark(i, 10 - i) + i++\r\n s = s + #FF\r\n"
        "  a[i, 2] = t * 1.5 % 7\r\nWEND\r\nn = s.length + a[3, 2]\r\nx = 1 + \\\r\n 2 ; note\r\n",
    };
    std::vector<hostile::Input> seeds;
    for (const char* text : texts)
        seeds.emplace_back(text, text + strlen(text));
    return seeds;
}

// The bytes as a script file's lines are parsed (ANSI code page, as scripts are stored), as Load
// parses them, without the file.
void ParseAsLoaded(VyxScript& script, const hostile::Input& data)
{
    std::wstring text(data.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(data.data()),
                                           static_cast<int>(data.size()), &text[0], static_cast<int>(text.size()));
    text.resize(length > 0 ? length : 0);
    VyxText lines;
    lines.SetText(text.c_str(), L'\n');
    script.GetMainFunction().Clear();
    try {
        script.GetMainFunction().ParseText(lines);
    } catch (VyxGlobalErrorException* e) {
        delete e;
        return;
    } catch (...) {
        return;
    }
    script.Run();
}

// Every script is parsed and run; one in twenty is loaded from its file as the host loads it.
// The inputs of each seed are a test of their own, so that the shards share them.
void FeedScripts(VyxScript& script, const ScratchFolder& folder, size_t seed)
{
    const std::wstring path = folder / L"hostile.txt";
    const int fed =
        hostile::FeedHostile({ScriptSeeds()[seed]}, 0x736372 + static_cast<unsigned>(seed),
                             hostile::InputsPerReader() / 3 + 1, [&](const hostile::Input& data, int index) {
                                 if (index % 20 != 0) {
                                     ParseAsLoaded(script, data);
                                     return;
                                 }
                                 ScratchFolder::WriteFile(path, std::string(data.begin(), data.end()));
                                 if (script.Load(path.c_str()) == 1)
                                     script.Run();
                             });
    hostile::Report("drawing scripts", fed);
}

TEST_F(ScriptRobustness, HostileScriptsOfShapesRunOrFailWithACode)
{
    FeedScripts(script, folder, 0);
}

TEST_F(ScriptRobustness, HostileScriptsOfCurvesTextsAndPicturesRunOrFailWithACode)
{
    FeedScripts(script, folder, 1);
}

TEST_F(ScriptRobustness, HostileScriptsOfBlocksFunctionsAndTextsRunOrFailWithACode)
{
    FeedScripts(script, folder, 2);
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
