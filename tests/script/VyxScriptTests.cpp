#include "script/VyxScript.h"

#include "ScriptTestKit.h"
#include "foundation/TestSettings.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;

class ScriptHost : public ScriptOnCanvas
{
};

TEST_F(ScriptHost, LoadReportsWhatItFoundAndReplacesTheScriptBefore)
{
    EXPECT_EQ(0, script.Load(nullptr));
    EXPECT_EQ(0, script.Load(L""));
    EXPECT_TRUE(script.IsInvalid());
    EXPECT_EQ(-1, script.Load((folder / L"missing.txt").c_str()));
    EXPECT_EQ(-1, script.Load(folder.Path().c_str())); // a folder
    EXPECT_EQ(-3, LoadScript(script, folder, L"BOX COLOR_RED\n"));
    EXPECT_EQ(-3, script.GetState());
    EXPECT_TRUE(script.IsInvalid());
    // An empty file is a script without statements, not an unreadable one.
    EXPECT_EQ(1, LoadScript(script, folder, L""));
    ASSERT_EQ(1, LoadScript(script, folder, L"a = 1\nFUNCTION f()\nFEND\n"));
    ASSERT_EQ(1, LoadScript(script, folder, L"b = 2\n"));
    EXPECT_FALSE(script.IsInvalid());
    EXPECT_EQ(1, script.GetMainFunction().GetStatements().GetCount());
    EXPECT_EQ(0, script.GetFunctionMap().GetCount());
}

TEST_F(ScriptHost, ASecondInitializeKeepsTheFirstCommandsInUseAndAddsNoConstantTwice)
{
    VyxScriptCommandPtrArray& registry = script.GetRegistry();
    int constants = theSharedVariables.GetCount();
    script.Initialize();
    ASSERT_EQ(18, registry.GetCount());
    EXPECT_EQ(27, registry.GetData()[17]->GetId());
    EXPECT_EQ(constants, theSharedVariables.GetCount());
    ASSERT_EQ(1, LoadScript(script, folder, L"circle (1,1)\nBoxTo (0,0)-(1,1)\n"));
    EXPECT_EQ(18, script.GetMainFunction().GetStatements().GetData()[0]->GetId());
    EXPECT_EQ(10, script.GetMainFunction().GetStatements().GetData()[1]->GetId());
}

TEST_F(ScriptHost, ResolutionComesFromThePhysicalSizeAndWidthIsInTheScriptUnit)
{
    script.GetDrawContext().SetDeviceSize(203, 100, 2400, 1000, 96, 96);
    EXPECT_EQ(300, script.GetDrawContext().m_dpiX);
    EXPECT_EQ(254, script.GetDrawContext().m_dpiY);
    script.SetUnit(UnitMillimetre);
    ASSERT_EQ(1, Run(L"x = 1\n"));
    VyxVariant* width = theSharedVariables.Lookup(L"$_WIDTH");
    ASSERT_NE(nullptr, width);
    EXPECT_EQ(VyxVariant::Double, width->GetType());
    EXPECT_DOUBLE_EQ(203.0, width->GetDouble());
    EXPECT_DOUBLE_EQ(100.0, theSharedVariables.Lookup(L"$_HEIGHT")->GetDouble());
    // A device without a physical size: its logical pixels per inch.
    script.GetDrawContext().SetDeviceSize(0, -1, 800, 600, 120, 144);
    EXPECT_EQ(120, script.GetDrawContext().m_dpiX);
    EXPECT_EQ(144, script.GetDrawContext().m_dpiY);
}

TEST_F(ScriptHost, AttachDcTakesTheDevicesSizeAndResetsItsOrigins)
{
    canvas.dc.SetViewportOrg(5, 5);
    canvas.dc.SetWindowOrg(3, 3);
    script.AttachDC(&canvas.dc, MM_LOMETRIC);
    EXPECT_EQ(MM_LOMETRIC, canvas.dc.GetMapMode());
    EXPECT_EQ(0, canvas.dc.GetViewportOrg().x);
    EXPECT_EQ(0, canvas.dc.GetWindowOrg().y);
    const VyxDrawContext& context = script.GetDrawContext();
    EXPECT_EQ(canvas.dc.GetDeviceCaps(HORZRES), context.m_widthPx);
    EXPECT_GT(context.m_dpiX, 0);
    // 0 leaves the mapping mode alone.
    script.AttachDC(&canvas.dc, 0);
    EXPECT_EQ(MM_LOMETRIC, canvas.dc.GetMapMode());
    // Script millimetres become tenths of a millimetre.
    script.SetUnit(UnitMillimetre);
    EXPECT_NEAR(25.0, script.ScriptToDevice(2.5, 0), 1e-9);
    EXPECT_DOUBLE_EQ(2.5, script.ScriptToDevice(2.5, 2));
}

TEST_F(ScriptHost, HostVariablesAreSharedBySeveralScripts)
{
    CDrawMacro other;
    other.Initialize();
    other.AttachDC(&canvas.dc, 0);
    other.GetDrawContext().SetDeviceSize(0, 0, 77, 33, 96, 96);
    other.SetUnit(1);
    script.GetDrawContext().SetDeviceSize(0, 0, 55, 44, 96, 96);
    ASSERT_EQ(1, Run(L"w = $_WIDTH\n"));
    EXPECT_DOUBLE_EQ(55.0, Local(L"w").GetDouble());
    ASSERT_EQ(1, LoadScript(other, folder, L"x = 1\n"));
    ASSERT_EQ(1, other.Run());
    EXPECT_DOUBLE_EQ(77.0, theSharedVariables.Lookup(L"$_WIDTH")->GetDouble());

    script.SetVariable(L"$_SELECT", 1);
    script.SetVariableFormula(L"$KINDS", L"\"fi\" + \"le\"");
    script.SetVariableFormula(L"scriptTestHalf", L"3 / 2.0");
    EXPECT_STREQ(L"file", theSharedVariables.Lookup(L"$KINDS")->GetString());
    EXPECT_DOUBLE_EQ(1.5, theSharedVariables.Lookup(L"scriptTestHalf")->GetDouble());
    ASSERT_EQ(1, LoadScript(other, folder, L"s = $_SELECT + 1\n"));
    ASSERT_EQ(1, other.Run());
    EXPECT_EQ(2, other.GetMainFunction().GetLocalVariables().Lookup(L"s")->GetInt());
}

TEST_F(ScriptHost, RunReturnsTheCodeOfTheErrorThatEndedItAndKeepsWhatWasDrawn)
{
    ASSERT_EQ(1, LoadScript(script, folder, L"BOX (0,0)-(50,50)\nx = @nosuch(1)\nBOX (60,60)-(70,70)\n"));
    EXPECT_EQ(ePostFixUnknownFunction, script.Run());
    EXPECT_EQ(kBlack, canvas.Pixel(0, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(60, 65));
    EXPECT_EQ(1, script.GetState()); // still loaded
}

// The window drawing a cell or a printed page is never held up by one monstrous line: the script
// is refused at load, the statements before and after it drawing nothing.
TEST_F(ScriptHost, AStatementTooLongForAnyScriptIsRefusedAtLoad)
{
    const std::wstring line = L"BOX (0,0)-(50,50), " + std::wstring(500000, L'=') + L"\n";
    EXPECT_EQ(ePostFixSyntax, LoadScript(script, folder, L"BOX (0,0)-(50,50)\n" + line + L"x = 1\n"));
    EXPECT_TRUE(script.IsInvalid());
    // Continuation lines count together.
    std::wstring continued;
    for (int i = 0; i < 10; ++i)
        continued += L"x = x + " + std::wstring(VyxPostfix::MaxFormulaLength / 10, L'1') + L" \\\n";
    EXPECT_EQ(ePostFixSyntax, LoadScript(script, folder, continued + L"1\n"));
    // A long line within the limit loads and runs.
    ASSERT_EQ(1,
              LoadScript(script, folder, L"x = \"" + std::wstring(VyxPostfix::MaxFormulaLength - 8, L'a') + L"\"\n"));
    EXPECT_EQ(1, script.Run());
}

// A loop that never ends (a mistake, or a damaged file) stops after the run's statement budget,
// keeping what it drew; the next run has the whole budget again, and a long loop within it runs.
TEST_F(ScriptHost, ALoopThatNeverEndsStopsAtTheRunsStatementBudget)
{
    ASSERT_EQ(1, LoadScript(script, folder, L"BOX (0,0)-(50,50)\nWHILE 1\nWEND\nBOX (60,60)-(70,70)\n"));
    EXPECT_EQ(ePostFixSyntax, script.Run());
    EXPECT_EQ(kBlack, canvas.Pixel(0, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(60, 65));
    ASSERT_EQ(1, LoadScript(script, folder,
                            L"FUNCTION f(n)\n RETURN n + 1\nFEND\ni = 0\nWHILE i < 50000\n i = f(i)\nWEND\n"));
    EXPECT_EQ(1, script.Run());
    EXPECT_EQ(1, script.Run());
    EXPECT_EQ(50000, script.GetMainFunction().GetLocalVariables().Lookup(L"i")->GetInt());
}

// A text doubled in a loop is refused once it would pass the longest text, instead of taking the
// address space.
TEST_F(ScriptHost, ATextDoubledInALoopIsRefusedAtTheLongestText)
{
    ASSERT_EQ(1, LoadScript(script, folder, L"s = \"ab\"\nWHILE 1\n s = s + s\nWEND\n"));
    EXPECT_EQ(-2, script.Run());
    const int length = static_cast<int>(wcslen(script.GetMainFunction().GetLocalVariables().Lookup(L"s")->GetString()));
    EXPECT_GT(length, VyxVariant::MaxTextLength / 2);
    EXPECT_LE(length, VyxVariant::MaxTextLength);
}

TEST_F(ScriptHost, DrawDefaultFitsAndCentresTheCurrentPictureAndNeedsOne)
{
    Canvas page(400, 400);
    script.AttachDC(&page.dc, MM_TEXT);
    script.GetDrawContext().SetDeviceSize(0, 0, 400, 400, 96, 96);
    SolidDib picture(100, 50, kBlue);
    script.SetImage(picture);
    EXPECT_EQ(0, script.DrawDefault());
    RECT painted = page.BoundsOf(kBlue);
    EXPECT_EQ(0, painted.left);
    EXPECT_EQ(100, painted.top);
    EXPECT_EQ(400, painted.right);
    EXPECT_EQ(300, painted.bottom);
    // Nothing to fit: no picture, or a zero-sized device.
    page.Clear(kWhite);
    script.SetImage(nullptr);
    EXPECT_EQ(0, script.DrawDefault());
    script.GetDrawContext().SetDeviceSize(0, 0, 0, 0, 96, 96);
    script.SetImage(picture);
    EXPECT_EQ(0, script.DrawDefault());
    EXPECT_EQ(0, page.Count(kBlue));
}

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WMU_SCRIPTREQUEST) {
        auto* request = reinterpret_cast<VyxScriptRequest*>(lParam);
        auto* seen =
            reinterpret_cast<std::vector<std::pair<WPARAM, std::wstring>>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        seen->push_back({wParam, static_cast<const wchar_t*>(request->text)});
        request->text = L"owner's text";
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(ScriptHost, AnOwnerWindowReceivesTheRequestsAsMessages)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VyxScriptTestOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowW(L"VyxScriptTestOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    std::vector<std::pair<WPARAM, std::wstring>> seen;
    SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
    // Any window class that gives its handle will do, as the framework's windows will.
    struct Window
    {
        HWND handle;
        HWND GetSafeHwnd() const { return handle; }
    } window{owner};
    script.SetOwner(&window);
    host.expand = [](const std::wstring&) { return std::wstring(L"callback's text"); };
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelInfo);
    CapturedLog log;
    ASSERT_EQ(1, Run(L"DRAWTEXT (0,0)-(100,20), \"mine\"\n"));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(static_cast<WPARAM>(ScriptRequestExpandText), seen[0].first);
    EXPECT_EQ(L"mine", seen[0].second);
    EXPECT_TRUE(host.requests.empty()); // the owner comes before the callback
    ASSERT_FALSE(log.records.empty());
    EXPECT_NE(-1, log.records.back().message.Find(L"\"owner's text\""));
    script.SetOwner(nullptr);
    DestroyWindow(owner);
    UnregisterClassW(L"VyxScriptTestOwner", GetModuleHandleW(nullptr));
}

TEST_F(ScriptHost, EachTextIsCompiledOnceAcrossRuns)
{
    ScratchSettings settings;
    WriteAppIniInt(L"LOG", L"Level", LogLevelDebug);
    ASSERT_EQ(1, LoadScript(script, folder, L"i = 0\nWHILE i < 5\n i = i + 1\n BOX (i,i)-(i + 9,i + 9)\nWEND\n"));
    CapturedLog log;
    ASSERT_EQ(1, script.Run());
    ASSERT_EQ(1, script.Run());
    int compiles = 0;
    for (const LogRecord& record : log.records)
        compiles += record.message.Find(L"{command:") == 0; // a compile logs its calculator's dump
    // i = 0, i < 5, i = i + 1, and the four coordinate texts i, i + 9 (x and y share them); the
    // box's empty parameters once.
    EXPECT_EQ(6, compiles);
    EXPECT_EQ(5, Local(L"i").GetInt());
}

} // namespace
