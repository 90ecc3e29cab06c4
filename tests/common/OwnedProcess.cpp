#include "OwnedProcess.h"

#include <utility>
#include <vector>

namespace {

// Made once and never closed here: the system closes it as this program ends, whichever way.
HANDLE StartedProcessesJob()
{
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made && !SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
            CloseHandle(made);
            made = nullptr;
        }
        return made;
    }();
    return job;
}

} // namespace

OwnedProcess::OwnedProcess(OwnedProcess&& other) noexcept : m_info(std::exchange(other.m_info, {})) {}

OwnedProcess& OwnedProcess::operator=(OwnedProcess&& other) noexcept
{
    if (this != &other) {
        End();
        m_info = std::exchange(other.m_info, {});
    }
    return *this;
}

bool OwnedProcess::Start(const std::wstring& commandLine, const wchar_t* folder, DWORD flags,
                         const STARTUPINFOW* startup)
{
    End();
    STARTUPINFOW plain = {};
    plain.cb = sizeof(plain);
    const BOOL inherit = startup && (startup->dwFlags & STARTF_USESTDHANDLES);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    // Suspended until it is in the job, so that nothing it starts in turn escapes it.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, inherit, flags | CREATE_SUSPENDED, nullptr, folder,
                        const_cast<STARTUPINFOW*>(startup ? startup : &plain), &m_info)) {
        m_info = {};
        return false;
    }
    const HANDLE job = StartedProcessesJob();
    if (!job || !AssignProcessToJobObject(job, m_info.hProcess)) {
        End();
        return false;
    }
    if (!(flags & CREATE_SUSPENDED))
        ResumeThread(m_info.hThread);
    return true;
}

bool OwnedProcess::Ended(DWORD boundMs) const
{
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, boundMs) == WAIT_OBJECT_0;
}

DWORD OwnedProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess)
        GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

bool OwnedProcess::Terminate()
{
    if (!m_info.hProcess)
        return true;
    if (!Ended())
        TerminateProcess(m_info.hProcess, 9);
    return Ended(60000);
}

bool OwnedProcess::End()
{
    if (!m_info.hProcess)
        return true;
    const bool ended = Terminate();
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
    m_info = {};
    return ended;
}
