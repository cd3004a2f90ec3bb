#include "foundation/trace.h"

#include <windows.h>

#include <string>

#include "foundation/launcher_path.h"
#include "foundation/path_names.h"
#include "foundation/standard_error.h"
#include "foundation/trace_format.h"
#include "foundation/unique_handle.h"
#include "foundation/utf8_text.h"

namespace orvo {
namespace {

constexpr wchar_t kTraceVariable[] = L"ORVO_TRACE";
constexpr wchar_t kToStandardError[] = L"1";

// Written by StartTrace before other threads exist; read-only afterwards.
struct TraceState {
    bool enabled = false;
    UniqueFileHandle file;  // invalid: the trace goes to standard error
    std::wstring process;
    DWORD processId = 0;
    ULONGLONG startTime = 0;  // FILETIME units (100 ns)
};
TraceState trace;

std::wstring ReadTraceVariable() {
    DWORD needed = GetEnvironmentVariableW(kTraceVariable, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    DWORD length = GetEnvironmentVariableW(kTraceVariable, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

ULONGLONG AsNumber(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Lines from several processes go to one file: with append access alone, every
// write lands at the end of the file as one piece.
UniqueFileHandle OpenForAppending(const std::wstring& path) {
    return UniqueFileHandle(CreateFileW(ToLongPathForm(path).c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

ULONGLONG ProcessStartTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return AsNumber(created);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return AsNumber(now);
}

std::wstring LauncherFileName() {
    std::optional<std::wstring> path = GetLauncherPath();
    if (!path) return L"launcher";
    return path->substr(path->rfind(L'\\') + 1);
}

TraceStamp StampNow() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULONGLONG elapsed = AsNumber(now) > trace.startTime ? AsNumber(now) - trace.startTime : 0;
    TraceStamp stamp;
    stamp.year = local.wYear;
    stamp.month = local.wMonth;
    stamp.day = local.wDay;
    stamp.hour = local.wHour;
    stamp.minute = local.wMinute;
    stamp.second = local.wSecond;
    stamp.milliseconds = local.wMilliseconds;
    stamp.elapsedMs = elapsed / 10000;
    stamp.process = trace.process;
    stamp.processId = trace.processId;
    return stamp;
}

}  // namespace

void StartTrace() {
    std::wstring target = ReadTraceVariable();
    if (target.empty()) return;
    if (target != kToStandardError) {
        trace.file = OpenForAppending(target);
        if (!trace.file) return;
    }
    trace.process = LauncherFileName();
    trace.processId = GetCurrentProcessId();
    trace.startTime = ProcessStartTime();
    trace.enabled = true;
}

bool TraceEnabled() noexcept { return trace.enabled; }

void Trace(const wchar_t* topic, std::wstring_view text) {
    if (!trace.enabled) return;
    DWORD lastError = GetLastError();  // callers trace between a failure and its report
    std::wstring line = FormatTraceLine(StampNow(), topic, text);
    if (trace.file) {
        std::string bytes = ToUtf8(line);
        DWORD written = 0;
        WriteFile(trace.file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } else {
        WriteToStandardError(line);
    }
    SetLastError(lastError);
}

}  // namespace orvo
