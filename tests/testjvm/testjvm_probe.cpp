// Drives a test JVM library from a process of its own, for what ends the process:
//   testjvm_probe <jvm.dll> env-slot <n>          call slot n of the JNIEnv table
//   testjvm_probe <jvm.dll> vm-slot <n>           call slot n of the JavaVM table
//   testjvm_probe <jvm.dll> run-main <class> [arguments...]
//                                                 call <class>.main(arguments), detach, destroy
//   testjvm_probe <jvm.dll> check-and-load <name>  LauncherHelper.checkAndLoadMain(true, 1, name)
//   testjvm_probe <jvm.dll> wrong-thread x        use the JNIEnv on another thread
//   testjvm_probe <jvm.dll> deleted-ref x         delete a local reference twice
// Exit codes of its own: 0 done, 2 bad usage, 3 library not loaded, 4 VM not
// created, 5 a trap slot returned, 6 a JNI step failed (or gave null).
#include <windows.h>

#include <jni.h>

#include <cwchar>
#include <string>

namespace {

constexpr int kUsage = 2, kNoLibrary = 3, kNoVm = 4, kSlotReturned = 5, kStepFailed = 6;

void JNICALL ProbeExitHook(jint) {}
void JNICALL ProbeAbortHook() {}

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using SlotFunction = void(JNICALL*)(void*);

int CallSlot(const void* table, const wchar_t* slotText, void* self) {
    unsigned long slot = std::wcstoul(slotText, nullptr, 10);
    reinterpret_cast<const SlotFunction*>(table)[slot](self);
    return kSlotReturned;
}

jstring NewJavaString(JNIEnv* env, const std::wstring& text) {
    jclass stringClass = env->FindClass("java/lang/String");
    jmethodID constructor = stringClass ? env->GetMethodID(stringClass, "<init>", "([C)V") : nullptr;
    jcharArray chars = constructor ? env->NewCharArray(static_cast<jsize>(text.size())) : nullptr;
    if (chars == nullptr) return nullptr;
    env->SetCharArrayRegion(chars, 0, static_cast<jsize>(text.size()), reinterpret_cast<const jchar*>(text.data()));
    auto string = static_cast<jstring>(env->NewObject(stringClass, constructor, chars));
    env->DeleteLocalRef(chars);
    return string;
}

DWORD WINAPI FindStringClass(void* env) {
    static_cast<JNIEnv*>(env)->FindClass("java/lang/String");
    return 0;
}

int UseEnvOnAnotherThread(JNIEnv* env) {
    HANDLE thread = CreateThread(nullptr, 0, FindStringClass, env, 0, nullptr);
    if (thread == nullptr) return kStepFailed;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return kSlotReturned;
}

int DeleteTwice(JNIEnv* env) {
    jclass stringClass = env->FindClass("java/lang/String");
    env->DeleteLocalRef(stringClass);
    env->DeleteLocalRef(stringClass);
    return kSlotReturned;
}

int CheckAndLoad(HMODULE library, JNIEnv* env, const wchar_t* name) {
    using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);
    auto fromBootLoader = reinterpret_cast<FindClassFromBootLoaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "JVM_FindClassFromBootLoader")));
    jclass helper = fromBootLoader != nullptr ? fromBootLoader(env, "sun/launcher/LauncherHelper") : nullptr;
    jmethodID method = helper != nullptr ? env->GetStaticMethodID(helper, "checkAndLoadMain",
                                                                  "(ZILjava/lang/String;)Ljava/lang/Class;")
                                         : nullptr;
    jstring text = method != nullptr ? NewJavaString(env, name) : nullptr;
    if (text == nullptr) return kStepFailed;
    return env->CallStaticObjectMethod(helper, method, JNI_TRUE, 1, text) != nullptr ? 0 : kStepFailed;
}

int RunMain(JavaVM* vm, JNIEnv* env, int argc, wchar_t** argv) {
    std::string className(argv[3], argv[3] + std::wcslen(argv[3]));
    jclass mainClass = env->FindClass(className.c_str());
    jmethodID main = mainClass ? env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V") : nullptr;
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray arguments = main ? env->NewObjectArray(argc - 4, stringClass, nullptr) : nullptr;
    if (arguments == nullptr) return kStepFailed;
    for (int i = 4; i < argc; ++i) {
        jstring argument = NewJavaString(env, argv[i]);
        if (argument == nullptr) return kStepFailed;
        env->SetObjectArrayElement(arguments, i - 4, argument);
        env->DeleteLocalRef(argument);
    }
    env->CallStaticVoidMethod(mainClass, main, arguments);
    if (env->ExceptionOccurred() != nullptr) env->ExceptionDescribe();
    if (vm->DetachCurrentThread() != JNI_OK) return kStepFailed;
    return vm->DestroyJavaVM() == JNI_OK ? 0 : kStepFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return kUsage;
    HMODULE library = LoadLibraryW(argv[1]);
    if (library == nullptr) return kNoLibrary;
    auto create = reinterpret_cast<CreateJavaVmFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "JNI_CreateJavaVM")));
    if (create == nullptr) return kNoLibrary;
    JavaVMOption options[2] = {{const_cast<char*>("abort"), reinterpret_cast<void*>(&ProbeAbortHook)},
                               {const_cast<char*>("exit"), reinterpret_cast<void*>(&ProbeExitHook)}};
    JavaVMInitArgs args{JNI_VERSION_1_2, 2, options, JNI_FALSE};
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (create(&vm, reinterpret_cast<void**>(&env), &args) != JNI_OK) return kNoVm;
    std::wstring command = argv[2];
    if (command == L"env-slot") return CallSlot(env->functions, argv[3], env);
    if (command == L"vm-slot") return CallSlot(vm->functions, argv[3], vm);
    if (command == L"run-main") return RunMain(vm, env, argc, argv);
    if (command == L"check-and-load") return CheckAndLoad(library, env, argv[3]);
    if (command == L"wrong-thread") return UseEnvOnAnotherThread(env);
    if (command == L"deleted-ref") return DeleteTwice(env);
    return kUsage;
}
