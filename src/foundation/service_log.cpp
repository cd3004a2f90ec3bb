#include "foundation/service_log.h"

#include <windows.h>

#include <atomic>

#include "foundation/line_ends.h"
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

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void WriteToStandardError(const std::wstring& text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) {
        WriteConsoleW(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes = Utf8(text);
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

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
    std::wstring lines = WithCrLfLineEnds(text);
    while (!lines.empty() && (lines.back() == L'\r' || lines.back() == L'\n')) lines.pop_back();
    WriteToStandardError(lines + L"\r\n");
    WriteToEventLog(lines);
}

}  // namespace orvo
