// The floor of a launcher's own work: a program that only loads the JVM library
// named on its command line (by full path, with the search flags the launcher uses
// for it) and calls JNI_CreateJavaVM, then exits with 0 when the VM was created.
// Built twice: the plain floor imports kernel32 alone; the second build
// (ORVO_FLOOR_LAUNCHER_IMPORTS) is a windowed program that imports the windowing
// and shell libraries at start, which the launcher loads only to show something:
// it shows what the loader's work for them, large under wine, would cost.
// Usage: orvo_bench_jvm_floor <full path of jvm.dll> <class path option>
#include <windows.h>

#ifdef ORVO_FLOOR_LAUNCHER_IMPORTS
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#endif

#include <jni.h>

#ifdef ORVO_FLOOR_LAUNCHER_IMPORTS
// Never called: it only makes each library an import of the program.
void ImportLauncherLibraries() {
    InitCommonControls();
    CoTaskMemFree(nullptr);
    CommandLineToArgvW(L"", nullptr);
    GetStockObject(0);
    RegCloseKey(nullptr);
    MessageBeep(0);
}
#endif

int wmain(int argc, wchar_t** argv) {
#ifdef ORVO_FLOOR_LAUNCHER_IMPORTS
    if (argc > 1000) ImportLauncherLibraries();
#endif
    if (argc < 3) return 2;
    HMODULE library = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!library) return 3;
    using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
    auto create = reinterpret_cast<CreateJavaVm>(reinterpret_cast<void*>(GetProcAddress(library, "JNI_CreateJavaVM")));
    if (!create) return 4;
    char option[2048];
    WideCharToMultiByte(CP_ACP, 0, argv[2], -1, option, sizeof option, nullptr, nullptr);
    JavaVMOption options[] = {{option, nullptr}};
    JavaVMInitArgs args{JNI_VERSION_1_8, 1, options, JNI_TRUE};
    JavaVM* vm = nullptr;
    void* env = nullptr;
    return create(&vm, &env, &args) == JNI_OK ? 0 : 5;
}
