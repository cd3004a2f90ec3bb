// A program of the tests that plays a hostile process of the same user against
// single-instance mode. Driven by its arguments; each command ends on its own.
//
//   hold-mutex NAME READY MS          takes the mutex NAME (made when missing), writes
//                                     the file READY, keeps the mutex MS milliseconds
//                                     or until the file READY.stop exists
//   squat SECTION MESSAGE READY MS    makes the section SECTION first and names this
//                                     process and its thread in a block as a running
//                                     instance would; writes READY, then (as long as
//                                     hold-mutex) answers every request with 66 and
//                                     appends a line to READY.requests for each
//   flood THREAD MESSAGE COUNT SEQ    posts COUNT forged requests to the thread
//                                     (lParam 0, SEQ, SEQ+1 and the counter in turn);
//                                     exits with the number of posts that failed
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kBlockBytes = 2092;

void WriteFileText(const std::wstring& path, const char* text) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(file);
}

DWORD Number(const wchar_t* text) { return static_cast<DWORD>(std::wcstoul(text, nullptr, 10)); }

// Sleeps in short steps until `ms` have passed or the file READY.stop exists.
class Lifetime {
public:
    Lifetime(const std::wstring& ready, DWORD ms) : stop_(ready + L".stop"), end_(GetTickCount64() + ms) {}
    // The next step's length; 0 once it is over.
    DWORD NextStep() const {
        const ULONGLONG now = GetTickCount64();
        if (now >= end_ || GetFileAttributesW(stop_.c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
        return static_cast<DWORD>(end_ - now < 100 ? end_ - now : 100);
    }

private:
    std::wstring stop_;
    ULONGLONG end_;
};

int HoldMutex(const wchar_t* name, const std::wstring& ready, DWORD ms) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (!mutex || WaitForSingleObject(mutex, 5000) == WAIT_TIMEOUT) return 2;
    WriteFileText(ready, "held\n");
    const Lifetime lifetime(ready, ms);
    for (DWORD step = lifetime.NextStep(); step != 0; step = lifetime.NextStep()) Sleep(step);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

void PutUint32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

int Squat(const wchar_t* sectionName, const wchar_t* messageName, const std::wstring& ready, DWORD ms) {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue
    const UINT messageId = RegisterWindowMessageW(messageName);
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBlockBytes, sectionName);
    if (!section || GetLastError() == ERROR_ALREADY_EXISTS) return 2;
    auto* block = static_cast<unsigned char*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0));
    if (!block) return 2;
    PutUint32(block, GetCurrentThreadId());
    PutUint32(block + 4, GetCurrentProcessId());
    PutUint32(block + 8, messageId);
    WriteFileText(ready, "squatting\n");
    const Lifetime lifetime(ready, ms);
    for (DWORD step = lifetime.NextStep(); step != 0; step = lifetime.NextStep()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, step, QS_ALLPOSTMESSAGE);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != messageId) continue;
            WriteFileText(ready + L".requests", "request\n");
            PostThreadMessageW(static_cast<DWORD>(message.wParam), messageId, 66, 0);
        }
    }
    UnmapViewOfFile(block);
    CloseHandle(section);
    return 0;
}

int Flood(DWORD threadId, UINT messageId, DWORD count, DWORD sequence) {
    int failed = 0;
    for (DWORD i = 0; i < count; ++i) {
        const DWORD kinds[] = {0, sequence, sequence + 1, i};
        if (!PostThreadMessageW(threadId, messageId, GetCurrentThreadId(), static_cast<LPARAM>(kinds[i % 4]))) ++failed;
    }
    return failed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"hold-mutex" && argc == 5) return HoldMutex(argv[2], argv[3], Number(argv[4]));
    if (command == L"squat" && argc == 6) return Squat(argv[2], argv[3], argv[4], Number(argv[5]));
    if (command == L"flood" && argc == 6) return Flood(Number(argv[2]), Number(argv[3]), Number(argv[4]), Number(argv[5]));
    return 99;
}
