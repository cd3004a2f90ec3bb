// A library that must never be loaded: copied into a folder under the name of a
// library the launcher (or something it loads) asks for, it records every process
// that loads it in "<its own path>.loaded" and then refuses to stay loaded.
// A test that plants it and finds no such file knows the launcher took the real one.
#include <windows.h>

namespace {

void RecordLoad(HMODULE self) {
    wchar_t path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    lstrcatW(path, L".loaded");
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    wchar_t process[MAX_PATH];
    DWORD processLength = GetModuleFileNameW(nullptr, process, MAX_PATH);
    DWORD written = 0;
    WriteFile(file, process, processLength * sizeof(wchar_t), &written, nullptr);
    WriteFile(file, L"\r\n", 2 * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) RecordLoad(instance);
    // Refusing keeps a planted copy from standing in for a real library with none
    // of its exports; the marker file is the evidence either way.
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
