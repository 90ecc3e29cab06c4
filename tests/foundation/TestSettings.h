// Points the application settings file at a scratch ini for one test and captures log lines.
#pragma once

#include "foundation/VyxIni.h"
#include "foundation/VyxLog.h"

#include "common/ScratchFolder.h"

#include <vector>

class ScratchSettings
{
public:
    ScratchSettings() : m_previous(theAppIni.GetPath()) { theAppIni.SetPath((m_folder / L"settings.ini").c_str()); }
    ~ScratchSettings() { theAppIni.SetPath(m_previous); }

    const ScratchFolder& Folder() const { return m_folder; }

private:
    ScratchFolder m_folder{L"vyxini"};
    CString m_previous;
};

// Collects every log line while alive (the level setting still applies).
class CapturedLog
{
public:
    CapturedLog() : m_previous(SetLogSink(&CapturedLog::Sink)) { s_active = this; }
    ~CapturedLog()
    {
        SetLogSink(m_previous);
        s_active = nullptr;
    }

    std::vector<LogRecord> records;

private:
    static int Sink(const LogRecord* record)
    {
        if (s_active)
            s_active->records.push_back(*record);
        return 0;
    }

    static inline CapturedLog* s_active = nullptr;
    LogSinkProc m_previous;
};
