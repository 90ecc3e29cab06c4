#include "browser/SubFolderProbe.h"

#include "foundation/VyxUtility.h"
#include "image/plugins/Spi.h"

#include <memory>

SubFolderProbe::SubFolderProbe() : m_ready(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_thread = std::thread([this] { Run(); });
}

SubFolderProbe::~SubFolderProbe()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
        m_questions.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_ready)
        CloseHandle(m_ready);
}

int SubFolderProbe::Answer(const wchar_t* folder, bool hidden, const wchar_t* specs, const std::atomic<bool>* stop)
{
    if (!folder || !*folder)
        return 0;
    std::wstring pattern = folder;
    if (pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L"*.*";
    // Without archives to look for, the system may leave files out; it need not, so directories
    // are still told apart below.
    const FINDEX_SEARCH_OPS search = specs ? FindExSearchNameMatch : FindExSearchLimitToDirectories;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, search, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int answer = 0;
    do {
        if (stop && *stop) {
            answer = 0;
            break;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const wchar_t* name = data.cFileName;
            if (!(name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))))
                answer = 1;
        } else if (specs && answer == 0 && (hidden || !(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) &&
                   MatchFileSpecs(data.cFileName, specs)) {
            answer = 2;
        }
    } while (answer != 1 && FindNextFileW(find, &data));
    FindClose(find);
    return answer;
}

void SubFolderProbe::Ask(UINT_PTR key, const wchar_t* folder, bool hidden, const wchar_t* patterns)
{
    const unsigned ticket = ++m_nextTicket;
    m_asked[key] = ticket;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_questions.push_back({key, ticket, folder ? folder : L"", hidden, patterns ? patterns : L""});
    }
    m_wake.notify_one();
}

bool SubFolderProbe::Take(UINT_PTR& key, int& answer)
{
    std::lock_guard<std::mutex> hold(m_lock);
    while (!m_answers.empty()) {
        const Reply reply = m_answers.front();
        m_answers.pop_front();
        if (m_answers.empty())
            ResetEvent(m_ready);
        auto asked = m_asked.find(reply.key);
        if (asked == m_asked.end() || asked->second != reply.ticket)
            continue;
        m_asked.erase(asked);
        key = reply.key;
        answer = reply.answer;
        return true;
    }
    return false;
}

bool SubFolderProbe::Wait()
{
    if (!IsBusy())
        return false;
    // Woken by the user's input and by messages other threads send, not by posted ones: those can
    // lie unread while idle steps run, and would end every wait at once.
    MsgWaitForMultipleObjects(1, &m_ready, FALSE, 50, QS_INPUT | QS_SENDMESSAGE);
    return IsBusy();
}

bool SubFolderProbe::IsBusy() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return !m_questions.empty() || !m_answers.empty() || m_reading > 0;
}

void SubFolderProbe::Clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_questions.clear();
    m_answers.clear();
    m_asked.clear();
    ResetEvent(m_ready);
}

void SubFolderProbe::Run()
{
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_wake.wait(hold, [this] { return m_stop || !m_questions.empty(); });
        if (m_stop)
            return;
        Question question = std::move(m_questions.front());
        m_questions.pop_front();
        ++m_reading;
        hold.unlock();
        std::unique_ptr<wchar_t[]> specs;
        if (!question.patterns.empty())
            specs = SplitListToMultiString(question.patterns.c_str());
        const int answer = Answer(question.folder.c_str(), question.hidden, specs.get(), &m_stop);
        hold.lock();
        --m_reading;
        m_answers.push_back({question.key, question.ticket, answer});
        SetEvent(m_ready);
    }
}
