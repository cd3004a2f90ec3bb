#include "foundation/service_log.h"

#include <windows.h>

#include <atomic>

#include "foundation/standard_error.h"
#include "foundation/unique_handle.h"

namespace orvo {
namespace {

// Written once by EnterServiceMode before other threads exist; read-only afterwards.
std::wstring serviceEventSource;
std::atomic<bool> serviceMode{false};

// No message file is registered for the source, so the event viewer shows the id
// with the text as its one insert.
constexpr DWORD kEventId = 1;
// ReportEventW refuses an insert longer than 31,839 characters.
constexpr std::size_t kMaxEventText = 31000;

void WriteToEventLog(const std::wstring& text) {
    UniqueEventSource source(RegisterEventSourceW(nullptr, serviceEventSource.c_str()));
    if (!source) return;
    std::wstring insert = text.substr(0, kMaxEventText);
    const wchar_t* inserts[] = {insert.c_str()};
    ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, kEventId, nullptr, 1, 0, inserts, nullptr);
}

}  // namespace

void EnterServiceMode(std::wstring eventSource) {
    serviceEventSource = std::move(eventSource);
    serviceMode.store(true);
}

bool InServiceMode() noexcept { return serviceMode.load(); }

void ReportToServiceLog(const std::wstring& text) {
    std::wstring lines = AsWholeLines(text);
    WriteToStandardError(lines);
    lines.resize(lines.size() - 2);  // the event viewer shows no line end after the last line
    WriteToEventLog(lines);
}

}  // namespace orvo
