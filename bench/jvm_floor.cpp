// The floor of a launcher's own work: a program that only loads the JVM library
// named on its command line (by full path, with the search flags the launcher uses
// for it) and calls JNI_CreateJavaVM, then exits with 0 when the VM was created.
// Usage: orvo_bench_jvm_floor <full path of jvm.dll> <class path option>
#include <windows.h>

#include <jni.h>

int wmain(int argc, wchar_t** argv) {
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
