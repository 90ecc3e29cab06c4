#include "script/VyxRegExp.h"

#include "foundation/VyxLog.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace {

// Oniguruma's global state is set up once per process and ended only when no object and not
// the process itself needs it any longer: ending it under a live compiled pattern breaks it.
class OnigurumaUse
{
public:
    static void Acquire()
    {
        if (s_users++ == 0) {
            OnigEncoding encodings[] = {ONIG_ENCODING_UTF8};
            onig_initialize(encodings, 1);
        }
    }
    static void Release()
    {
        if (--s_users == 0)
            onig_end();
    }

private:
    static int s_users;
};

int OnigurumaUse::s_users = 0;

struct ProcessUse
{
    ProcessUse() { OnigurumaUse::Acquire(); }
    ~ProcessUse() { OnigurumaUse::Release(); }
} s_processUse;

// Both directions in UTF-8, the encoding the engine is told; group texts are cut at the
// engine's byte offsets in the same bytes that were searched.
std::string ToUtf8(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    int length = static_cast<int>(wcslen(text));
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, &result[0], bytes, nullptr, nullptr);
    return result;
}

CString FromUtf8(const char* bytes, int length)
{
    CString result;
    if (length <= 0)
        return result;
    int count = MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
    if (count <= 0)
        return result;
    wchar_t* buffer = result.GetBuffer(count);
    MultiByteToWideChar(CP_UTF8, 0, bytes, length, buffer, count);
    result.ReleaseBuffer(count);
    return result;
}

// The engine's parser and compiler descend once for every nesting level of a pattern (groups,
// classes, alternatives, quantifiers), each level taking at most some 1.1 KB of stack as built
// here; twice that is allowed. A pattern nested deeper than the compiling thread's stack holds is
// refused as invalid rather than overflowing it.
constexpr size_t kStackPerNestingLevel = 2048;
// The compile's own frames and what the system needs to raise an exception.
constexpr size_t kStackReserve = 48 * 1024;
// The engine's own default.
constexpr size_t kMaxNesting = 4096;

// The stack left below the caller on this thread.
size_t StackLeft()
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(&info, &info, sizeof info) || !info.AllocationBase)
        return 0;
    return static_cast<size_t>(reinterpret_cast<const BYTE*>(&info) - static_cast<const BYTE*>(info.AllocationBase));
}

unsigned NestingLimitForThisThread()
{
    size_t left = StackLeft();
    size_t levels = left > kStackReserve ? (left - kStackReserve) / kStackPerNestingLevel : 0;
    // 0 would stand for the engine's default: one level is the least.
    return static_cast<unsigned>(std::clamp<size_t>(levels, 1, kMaxNesting));
}

// The nesting limit is the engine's global setting: it is set and used under one lock.
std::mutex& CompileLock()
{
    static std::mutex lock;
    return lock;
}

const wchar_t kNumberPattern[] = L"^(([-+]?[0-9]*\\.?[0-9]*)|([-+]?[0-9]+\\.?))$";

} // namespace

VyxRegExp::VyxRegExp() : m_syntax(ONIG_SYNTAX_JAVA), m_encoding(ONIG_ENCODING_UTF8)
{
    OnigurumaUse::Acquire();
}

VyxRegExp::VyxRegExp(const wchar_t* pattern, int options) : VyxRegExp()
{
    SetPattern(pattern, options);
}

VyxRegExp::~VyxRegExp()
{
    Release();
    OnigurumaUse::Release();
}

void VyxRegExp::Release()
{
    m_matches.RemoveAll();
    m_alternative = nullptr;
    if (m_region) {
        onig_region_free(m_region, 1);
        m_region = nullptr;
    }
    if (m_regex) {
        onig_free(m_regex);
        m_regex = nullptr;
    }
}

void VyxRegExp::SetPattern(const wchar_t* pattern, int options)
{
    m_pattern = pattern ? pattern : L"";
    m_options = options;
    m_replacement.Empty();
    m_command.Empty();
}

int VyxRegExp::Match(const wchar_t* target)
{
    m_matches.RemoveAll();
    if (!m_compileTried || m_compiledPattern != m_pattern || m_compiledOptions != m_options) {
        Release();
        m_compileTried = true;
        m_compiledPattern = m_pattern;
        m_compiledOptions = m_options;
        std::string pattern = ToUtf8(m_pattern);
        const OnigUChar* patternStart = reinterpret_cast<const OnigUChar*>(pattern.data());
        int result;
        {
            std::lock_guard<std::mutex> lock(CompileLock());
            onig_set_parse_depth_limit(NestingLimitForThisThread());
            result = onig_new(&m_regex, patternStart, patternStart + pattern.size(),
                              static_cast<OnigOptionType>(m_options), m_encoding, m_syntax, &m_errorInfo);
        }
        if (result == ONIG_NORMAL) {
            m_region = onig_region_new();
        } else {
            m_regex = nullptr;
            // The engine writes at most ONIG_MAX_ERROR_MESSAGE_LEN bytes, the size of the field.
            onig_error_code_to_str(m_message, result, &m_errorInfo);
            // Refused once for this pattern and these options: the same pattern is not compiled
            // again for every name it is tried on.
            const char* message = reinterpret_cast<const char*>(m_message);
            LogWrite(VYX_LOG_SOURCE, LogLevelWarning, L"regular expression refused (%s): %s",
                     static_cast<const wchar_t*>(FromUtf8(message, static_cast<int>(strlen(message)))),
                     static_cast<const wchar_t*>(m_pattern.Left(80)));
        }
    }
    if (!m_region)
        return 0;

    std::string subject = ToUtf8(target);
    const OnigUChar* start = reinterpret_cast<const OnigUChar*>(subject.data());
    const OnigUChar* end = start + subject.size();
    onig_region_clear(m_region);
    if (onig_search(m_regex, start, end, start, end, m_region, ONIG_OPTION_NONE) < 0)
        return 0;
    for (int i = 0; i < m_region->num_regs; ++i) {
        int begin = m_region->beg[i];
        int finish = m_region->end[i];
        if (begin < 0 || finish < begin)
            m_matches.Add(CString());
        else
            m_matches.Add(FromUtf8(subject.data() + begin, finish - begin));
    }
    return m_region->num_regs;
}

const wchar_t* VyxRegExp::GetMatch(int index) const
{
    if (static_cast<unsigned>(index) >= static_cast<unsigned>(m_matches.GetSize()))
        return L"";
    return m_matches[index];
}

int VyxRegExp::Execute(const wchar_t* pattern, const wchar_t* target)
{
    SetPattern(pattern, 0);
    return Match(target);
}

int VyxRegExp::IsNumber(const wchar_t* text)
{
    SetPattern(kNumberPattern, 0);
    return Match(text);
}

const wchar_t* VyxRegExp::ToString()
{
    CString dump = L"{Match:[";
    for (INT_PTR i = 0; i < m_matches.GetSize(); ++i) {
        if (i > 0)
            dump += L", ";
        dump += L"\"" + m_matches[i] + L"\"";
    }
    dump += L"]}";
    m_dump = dump;
    return m_dump;
}
