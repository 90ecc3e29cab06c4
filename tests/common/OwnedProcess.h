// A process a test or benchmark starts, ended on every way out: its owner ends it, should it still
// run, and waits for its end, whether the test passed, failed an assertion or threw. Should the
// starting program itself be ended first (a test killed on its time limit), the system ends it
// along: every process started here belongs to one job of the starting program that ends its
// processes once its last handle closes, which the system does as that program ends.
#pragma once

#include <windows.h>

#include <string>

class OwnedProcess
{
public:
    OwnedProcess() = default;
    ~OwnedProcess() { End(); }
    OwnedProcess(OwnedProcess&& other) noexcept;
    OwnedProcess& operator=(OwnedProcess&& other) noexcept;
    OwnedProcess(const OwnedProcess&) = delete;
    OwnedProcess& operator=(const OwnedProcess&) = delete;

    // Starts the command line in the folder (null: this program's), with the flags of process
    // creation (CREATE_SUSPENDED leaves it suspended) and, when given, the start-up information
    // with the handles it inherits; false when it did not start (any process owned before is
    // ended first).
    bool Start(const std::wstring& commandLine, const wchar_t* folder = nullptr, DWORD flags = 0,
               const STARTUPINFOW* startup = nullptr);

    explicit operator bool() const { return m_info.hProcess != nullptr; }
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD Id() const { return m_info.dwProcessId; }
    // Whether it has ended, waiting up to the bound for it.
    bool Ended(DWORD boundMs = 0) const;
    // Its exit code once ended, STILL_ACTIVE before.
    DWORD ExitCode() const;
    // Ends it at once should it still run (none of its own clean-up runs, as in a crash) and waits
    // for its end; false when it would not end. Its exit code stays readable.
    bool Terminate();
    // Terminate, and the process is no longer owned.
    bool End();

private:
    PROCESS_INFORMATION m_info = {};
};
