// The framework's entry point for GUI programs: a program without a wWinMain of its own runs its
// application object through AfxWinMain (InitInstance, Run, ExitInstance).
#include "common/OwnedProcess.h"
#include "common/WindowTestUtil.h"

namespace {

struct EntryRun
{
    DWORD exitCode = 0;
    std::string report;
};

EntryRun RunEntryApp(LPCWSTR mode)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CString exe = self;
    exe = exe.Left(exe.ReverseFind(L'\\') + 1) + L"framework_entry_app.exe";
    FrameworkScratchFolder scratch;
    CString report = scratch / L"report.txt";
    CString commandLine;
    commandLine.Format(L"\"%s\" %s %s", static_cast<LPCWSTR>(exe), static_cast<LPCWSTR>(report), mode);
    EntryRun run;
    OwnedProcess process;
    if (!process.Start(commandLine.GetString())) {
        ADD_FAILURE() << "cannot start the entry program";
        return run;
    }
    EXPECT_TRUE(process.Ended(60000));
    run.exitCode = process.ExitCode();
    process.End();
    run.report = FrameworkScratchFolder::ReadFile(report);
    return run;
}

TEST(AppEntry, ProgramWithoutItsOwnEntryRunsTheApplicationObject)
{
    EntryRun run = RunEntryApp(L"run");
    // The main window's closing ended Run; ExitInstance gave the exit code.
    EXPECT_EQ(23u, run.exitCode);
    EXPECT_EQ("init 入口の確認 1\nmain window gone\nexit\n", run.report);
}

TEST(AppEntry, FailedInitInstanceDestroysTheMainWindowAndExits)
{
    EntryRun run = RunEntryApp(L"fail");
    EXPECT_EQ(31u, run.exitCode);
    EXPECT_EQ("init 入口の確認 1\nmain window gone\nexit\n", run.report);
}

TEST(AppEntry, AnyExceptionFromStartOrLoopEndsInOrderWithExitCodeMinusOne)
{
    for (LPCWSTR mode : {L"throw", L"runthrow"}) {
        EntryRun run = RunEntryApp(mode);
        EXPECT_EQ(static_cast<DWORD>(-1), run.exitCode) << CStringA(mode).GetString();
        EXPECT_EQ("init 入口の確認 1\nmessage 内部エラーが発生しました。\nmain window gone\n", run.report)
            << CStringA(mode).GetString();
    }
}

} // namespace
