#include "testjvm/vm_entry.h"

#include <cstring>

#include "testjvm/java_classes.h"
#include "testjvm/java_output.h"
#include "testjvm/jdk11_init_args.h"
#include "testjvm/native_interface.h"
#include "testjvm/object_model.h"
#include "testjvm/option_check.h"
#include "testjvm/trap.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

std::string ReadFileBytes(const std::wstring& path, bool& found) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    found = file != INVALID_HANDLE_VALUE;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (found && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    if (found) CloseHandle(file);
    return bytes;
}

// The performance counter at JNI_CreateJavaVM's entry, in decimal, for a benchmark
// that compares it with the counter just before the process was created.
void WriteCreationTime(long long counter) {
    const std::u16string& path = Vm().settings.createTimeFile;
    if (path.empty()) return;
    std::string text = std::to_string(counter);
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
}

// On the first call into the library: the log's first line and the settings.
void StartLibrary() {
    static bool started = false;
    if (started) return;
    started = true;
    std::wstring modulePath(32768, L'\0');
    modulePath.resize(GetModuleFileNameW(GetModuleHandleW(nullptr), modulePath.data(), 32768));
    LogLine("library").Number("pid", GetCurrentProcessId()).Bytes("arch", sizeof(void*) == 8 ? "x64" : "x86")
        .Java("folder", Utf16FromWide(LibraryFolder())).Java("process", Utf16FromWide(modulePath)).Write();
    bool found = false;
    std::string text = ReadFileBytes(LibraryFolder() + L"testjvm.ini", found);
    std::string problem;
    std::optional<TestJvmSettings> settings = ParseSettings(text, problem);
    if (!settings) Misuse("testjvm.ini: " + problem);
    Vm().settings = std::move(*settings);
    LogLine("settings").Number("found", found).Write();
}

// Bytes of the calling thread's stack reservation (0 where the system cannot tell).
unsigned long long StackReservation() {
    using LimitsFunction = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
    auto limits = reinterpret_cast<LimitsFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits")));
    ULONG_PTR low = 0, high = 0;
    if (limits != nullptr) limits(&low, &high);
    return high - low;
}

std::wstring EnvironmentVariable(const std::wstring& name, bool& present) {
    DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    present = size > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    std::wstring value(size, L'\0');
    if (size > 0) value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}

// The show state the process was started with; -1 when it was given none.
long long StartupShowState() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

// What the launcher prepared for the VM: its working folder, environment and show state.
void LogEnvironment() {
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    LogLine line("environment");
    line.Java("cwd", Utf16FromWide(folder));
    line.Number("show", StartupShowState());
    for (const std::string& name : Vm().settings.loggedEnvironment) {
        bool present = false;
        std::wstring value = EnvironmentVariable(std::wstring(name.begin(), name.end()), present);
        if (present) line.Java("env." + name, Utf16FromWide(value));
    }
    line.Write();
}

DWORD WINAPI BackgroundExit(void*) {
    const TestJvmSettings& settings = Vm().settings;
    WaitAsConfigured("background", settings.backgroundExitMs, settings.backgroundExitWaitFile);
    ExitVm(settings.backgroundExitCode);
}

void StartBackgroundExit() {
    const TestJvmSettings& settings = Vm().settings;
    if (settings.backgroundExitMs == 0 && settings.backgroundExitWaitFile.empty()) return;
    Vm().backgroundThread = CreateThread(nullptr, 0, BackgroundExit, nullptr, 0, nullptr);
    if (Vm().backgroundThread == nullptr) Misuse("cannot start the background thread");
}

void LogCreation(const JavaVMInitArgs& args) {
    LogLine("create").Hex("version", static_cast<unsigned long>(args.version)).Number("nOptions", args.nOptions)
        .Number("ignoreUnrecognized", args.ignoreUnrecognized).Number("thread", GetCurrentThreadId())
        .Number("stack_reserve", static_cast<long long>(StackReservation())).Write();
    for (jint i = 0; i < args.nOptions; ++i) {
        const JavaVMOption& option = args.options[i];
        if (option.optionString == nullptr) Misuse("JNI_CreateJavaVM: option " + std::to_string(i) + " is null");
        LogLine("option").Number("index", i).Number("extra", option.extraInfo != nullptr)
            .Bytes("text", option.optionString).Write();
    }
    LogEnvironment();
}

jint RejectOption(std::string_view option, OptionVerdict verdict) {
    bool invalid = verdict == OptionVerdict::kInvalid;
    std::string message = (invalid ? "Invalid option value: " : "Unrecognized option: ") + std::string(option);
    LogLine("reject").Bytes("option", option).Bytes("reason", invalid ? "invalid" : "unrecognized").Write();
    WriteToProcessStream(STD_ERROR_HANDLE, Utf16FromUtf8(message + "\r\n"));
    return Vm().settings.rejectResult.value_or(invalid ? JNI_EINVAL : JNI_ERR);
}

jint CheckCreation(const JavaVMInitArgs& args) {
    if (Vm().created) return JNI_EEXIST;
    if (!IsSupportedJniVersion(args.version)) return JNI_EVERSION;
    for (jint i = 0; i < args.nOptions; ++i) {
        std::string_view option = args.options[i].optionString;
        OptionVerdict verdict = CheckOption(option, Vm().settings.unknownOptions);
        if (verdict == OptionVerdict::kInvalid || (verdict == OptionVerdict::kUnrecognized && !args.ignoreUnrecognized))
            return RejectOption(option, verdict);
    }
    return Vm().settings.createResult;
}

void TakeHooks(const JavaVMInitArgs& args) {
    for (jint i = 0; i < args.nOptions; ++i) {
        std::string_view option = args.options[i].optionString;
        if (option == "exit") Vm().exitHook = reinterpret_cast<void(JNICALL*)(jint)>(args.options[i].extraInfo);
        if (option == "abort") Vm().abortHook = reinterpret_cast<void(JNICALL*)()>(args.options[i].extraInfo);
    }
}

}  // namespace

bool IsSupportedJniVersion(jint version) {
    constexpr jint kSupported[] = {JNI_VERSION_1_2, JNI_VERSION_1_4, JNI_VERSION_1_6, JNI_VERSION_1_8,
                                   JNI_VERSION_9,   JNI_VERSION_10,  0x00130000,      0x00140000, 0x00150000};
    for (jint supported : kSupported)
        if (version == supported) return true;
    return false;
}

jint CreateJavaVm(JavaVM** pvm, void** penv, void* args) {
    LARGE_INTEGER entered;
    QueryPerformanceCounter(&entered);
    ModelLock lock;
    StartLibrary();
    WriteCreationTime(entered.QuadPart);
    auto* initArgs = static_cast<JavaVMInitArgs*>(args);
    if (pvm == nullptr || penv == nullptr || initArgs == nullptr) Misuse("JNI_CreateJavaVM: null argument");
    LogCreation(*initArgs);
    WaitAsConfigured("create", 0, Vm().settings.createWaitFile);
    jint result = CheckCreation(*initArgs);
    if (result == JNI_OK) {
        DefineClasses();
        TakeHooks(*initArgs);
        Vm().vm.functions = InvokeInterface();
        ThreadState& thread = AttachThread("main");
        thread.env.functions = NativeInterface();
        Vm().created = true;
        StartBackgroundExit();
        *pvm = &Vm().vm;
        *penv = &thread.env;
    }
    LogLine("create-result").Number("result", result).Write();
    return result;
}

jint GetDefaultInitArgs(void* args) {
    ModelLock lock;
    StartLibrary();
    auto* initArgs = static_cast<Jdk11InitArgs*>(args);
    if (initArgs == nullptr) Misuse("JNI_GetDefaultJavaVMInitArgs: null argument");
    Jdk11InitArgs zeroed{};
    zeroed.version = initArgs->version;
    bool othersZero = std::memcmp(&zeroed, initArgs, sizeof zeroed) == 0;
    jint version = initArgs->version;
    // Like HotSpot: the 1.1 record is not a supported version, yet it carries the
    // default stack size back, with the version raised to 1.2.
    if (version == JNI_VERSION_1_1) {
        initArgs->version = JNI_VERSION_1_2;
        initArgs->javaStackSize = static_cast<jint>(Vm().settings.javaStackSize);
    }
    jint result = IsSupportedJniVersion(version) ? JNI_OK : JNI_ERR;
    LogLine("defaultinitargs").Hex("version", static_cast<unsigned long>(version)).Number("zeroed", othersZero)
        .Number("java_stack_size", version == JNI_VERSION_1_1 ? Vm().settings.javaStackSize : 0)
        .Number("result", result).Write();
    return result;
}

jint GetCreatedJavaVms(JavaVM** vms, jsize capacity, jsize* count) {
    ModelLock lock;
    StartLibrary();
    bool alive = Vm().created && !Vm().destroyed;
    if (count != nullptr) *count = alive ? 1 : 0;
    if (alive && vms != nullptr && capacity > 0) vms[0] = &Vm().vm;
    LogLine("getcreatedvms").Number("count", alive).Write();
    return JNI_OK;
}

jclass FindClassFromBootLoader(JNIEnv* env, const char* name) {
    ModelLock lock;
    StartLibrary();
    ThreadState& thread = ThreadOf(env);
    if (name == nullptr) Misuse("JVM_FindClassFromBootLoader: null name");
    Object* classObject = FindClassObject(name);
    bool found = classObject != nullptr && classObject->bootClass;
    LogLine("findclassfrombootloader").Bytes("name", name).Number("thread", thread.threadId).Number("found", found).Write();
    // The boot loader sees the JDK's classes only, and a miss leaves no exception.
    return static_cast<jclass>(NewLocalRef(thread, found ? classObject : nullptr));
}

void UnloadLibrary() {
    CloseStreamFiles();
    CloseLog();
}

}  // namespace orvo::testjvm
