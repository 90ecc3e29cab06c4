// A second process of the test program running one of its tests: what another instance of the
// program does meanwhile, or a job ended half way as a crash would end it. The test it runs is a
// DISABLED_ one (a plain run leaves it out), told what to do through its environment; it says how
// far it got by setting events the parent made (ChildTest::Signal).
#pragma once

#include "common/OwnedProcess.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class ChildTest
{
public:
    using Settings = std::vector<std::pair<std::wstring, std::wstring>>;

    // test: "Suite.DISABLED_Name"; events: the names of the events the child may set.
    ChildTest(const char* test, Settings settings, const std::vector<std::wstring>& events = {})
    {
        for (const std::wstring& what : events)
            m_events.emplace_back(what,
                                  CreateEventW(nullptr, TRUE, FALSE, EventName(what, GetCurrentProcessId()).c_str()));
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(program) + L"\" --gtest_also_run_disabled_tests --gtest_filter=";
        for (const char* p = test; *p; ++p)
            command += static_cast<wchar_t>(*p);
        // Its output would mix with this run's.
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        m_null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = m_null;
        settings.emplace_back(kParent, std::to_wstring(GetCurrentProcessId()));
        for (const auto& setting : settings)
            SetEnvironmentVariableW(setting.first.c_str(), setting.second.c_str());
        m_process.Start(command, nullptr, 0, &startup);
        for (const auto& setting : settings)
            SetEnvironmentVariableW(setting.first.c_str(), nullptr);
    }
    ~ChildTest()
    {
        Kill();
        for (const auto& event : m_events)
            if (event.second)
                CloseHandle(event.second);
        if (m_null != INVALID_HANDLE_VALUE)
            CloseHandle(m_null);
    }
    ChildTest(const ChildTest&) = delete;
    ChildTest& operator=(const ChildTest&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_process.Id(); }

    // Waits until the child has set the event (true), or ended or let the bound pass first (false).
    bool WaitFor(const std::wstring& what, DWORD bound)
    {
        for (const auto& event : m_events)
            if (event.first == what && m_process) {
                HANDLE both[2] = {event.second, m_process.Handle()};
                return WaitForMultipleObjects(2, both, FALSE, bound) == WAIT_OBJECT_0 ||
                       WaitForSingleObject(event.second, 0) == WAIT_OBJECT_0;
            }
        return false;
    }
    // Its exit code once it has ended, or STILL_ACTIVE when it did not end within the bound.
    DWORD Wait(DWORD bound)
    {
        m_process.Ended(bound);
        return m_process.ExitCode();
    }
    // Ends it at once, as a crash would: none of its own clean-up runs. Its exit code stays readable.
    void Kill() { m_process.Terminate(); }

    // In the child: what the parent set for it; empty outside a child.
    static std::wstring Setting(const wchar_t* name)
    {
        wchar_t value[2048] = {};
        DWORD length = GetEnvironmentVariableW(name, value, 2048);
        return length > 0 && length < 2048 ? std::wstring(value, length) : std::wstring();
    }
    static bool IsChild() { return !Setting(kParent).empty(); }
    // In the child: sets an event the parent waits for.
    static void Signal(const wchar_t* what)
    {
        if (!IsChild())
            return;
        const DWORD parent = static_cast<DWORD>(std::stoul(Setting(kParent)));
        if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(what, parent).c_str())) {
            SetEvent(event);
            CloseHandle(event);
        }
    }

private:
    static constexpr const wchar_t* kParent = L"VYX_CHILD_TEST_PARENT";

    static std::wstring EventName(const std::wstring& what, DWORD parent)
    {
        return L"VyxChildTest-" + std::to_wstring(parent) + L"-" + what;
    }

    OwnedProcess m_process;
    HANDLE m_null = INVALID_HANDLE_VALUE;
    std::vector<std::pair<std::wstring, HANDLE>> m_events;
};
