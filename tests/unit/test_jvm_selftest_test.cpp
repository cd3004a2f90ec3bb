// The test JVM library itself, driven the way the launcher drives a runtime: if
// it mislaid an option, garbled an argument or let a trap return, every launch
// test built on it would prove nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <jni.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "support/app_folder.h"
#include "support/file_tree.h"
#include "support/test_jvm.h"
#include "testjvm/jdk11_init_args.h"

namespace orvo::test {
namespace {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using DefaultInitArgsFunction = jint(JNICALL*)(void*);
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

constexpr DWORD kUnimplementedExitCode = 0x7E57;
constexpr DWORD kMisuseExitCode = 0x7E58;

void JNICALL ExitHook(jint) {}
void JNICALL AbortHook() {}

template <typename Function>
Function Export(const UniqueModule& module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
}

UniqueModule LoadJvm(const TestJvmRuntime& runtime) {
    UniqueModule module(LoadLibraryW(runtime.jvmPath().c_str()));
    if (!module) ADD_FAILURE() << "cannot load " << testing::PrintToString(runtime.jvmPath());
    return module;
}

// The option strings stay owned by the caller, as the launcher's option list does.
jint CreateVm(const UniqueModule& module, std::vector<std::string>& strings, std::vector<void*> extras,
              JavaVM** vm, JNIEnv** env, jint version = JNI_VERSION_1_2, jboolean ignoreUnrecognized = JNI_FALSE) {
    std::vector<JavaVMOption> options;
    for (std::size_t i = 0; i < strings.size(); ++i)
        options.push_back({strings[i].data(), i < extras.size() ? extras[i] : nullptr});
    JavaVMInitArgs args{version, static_cast<jint>(options.size()), options.data(), ignoreUnrecognized};
    return Export<CreateJavaVmFunction>(module, "JNI_CreateJavaVM")(vm, reinterpret_cast<void**>(env), &args);
}

jstring NewJavaString(JNIEnv* env, std::wstring_view text) {
    jclass stringClass = env->FindClass("java/lang/String");
    jmethodID constructor = env->GetMethodID(stringClass, "<init>", "([C)V");
    jcharArray chars = env->NewCharArray(static_cast<jsize>(text.size()));
    env->SetCharArrayRegion(chars, 0, static_cast<jsize>(text.size()), reinterpret_cast<const jchar*>(text.data()));
    // The varargs form, as C code calls it (the C++ wrapper goes through NewObjectV).
    auto string = static_cast<jstring>(env->functions->NewObject(env, stringClass, constructor, chars));
    env->DeleteLocalRef(chars);
    return string;
}

jobjectArray NewStringArray(JNIEnv* env, const std::vector<std::wstring>& texts) {
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), env->FindClass("java/lang/String"), nullptr);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        jstring text = NewJavaString(env, texts[i]);
        env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
        env->DeleteLocalRef(text);
    }
    return array;
}

// new PrintStream(new FileOutputStream(path, append)), then System.setOut.
void RedirectSystemOut(JNIEnv* env, const std::wstring& path, bool append) {
    jclass fileClass = env->FindClass("java/io/FileOutputStream");
    jobject file = env->NewObject(fileClass, env->GetMethodID(fileClass, "<init>", "(Ljava/lang/String;Z)V"),
                                  NewJavaString(env, path), static_cast<jboolean>(append));
    jclass printClass = env->FindClass("java/io/PrintStream");
    jobject print = env->NewObject(printClass, env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V"), file);
    jclass system = env->FindClass("java/lang/System");
    env->CallStaticVoidMethod(system, env->GetStaticMethodID(system, "setOut", "(Ljava/io/PrintStream;)V"), print);
}

// The exception's printStackTrace text, through a ByteArrayOutputStream.
std::string StackTraceOf(JNIEnv* env, jthrowable exception) {
    jclass bufferClass = env->FindClass("java/io/ByteArrayOutputStream");
    jobject buffer = env->NewObject(bufferClass, env->GetMethodID(bufferClass, "<init>", "()V"));
    jclass printClass = env->FindClass("java/io/PrintStream");
    jobject print = env->NewObject(printClass, env->GetMethodID(printClass, "<init>", "(Ljava/io/OutputStream;)V"), buffer);
    jmethodID printStackTrace = env->GetMethodID(env->GetObjectClass(exception), "printStackTrace", "(Ljava/io/PrintStream;)V");
    jvalue printArgument{};
    printArgument.l = print;
    env->CallVoidMethodA(exception, printStackTrace, &printArgument);
    auto text = static_cast<jstring>(env->CallObjectMethod(buffer, env->GetMethodID(env->GetObjectClass(buffer), "toString", "()Ljava/lang/String;")));
    const char* chars = env->GetStringUTFChars(text, nullptr);
    std::string trace = chars != nullptr ? chars : "";
    env->ReleaseStringUTFChars(text, chars);
    return trace;
}

// Runs the probe program; the exit code, or nothing when it had to be killed.
std::optional<DWORD> RunProbe(const std::wstring& arguments, const std::wstring& probe = TestJvmProbe()) {
    std::wstring commandLine = L"\"" + probe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start the probe, error " << GetLastError();
        return std::nullopt;
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the probe did not end within 30 s";
        return std::nullopt;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

TestJvmIni AppIni() {
    return TestJvmIni().Set("classes", L"com/example/App;sun/launcher/LauncherHelper");
}

TEST(TestJvmSelfTest, RecordsCreationAndRunsMainWithTheArgumentsExactlyAsBuilt) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"),
                           AppIni().Set("java_stack_size", L"655360").Set("main_prints", L"h\u00e9llo w\u00f6rld"));
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);

    testjvm::Jdk11InitArgs defaults{};
    defaults.version = JNI_VERSION_1_1;
    Export<DefaultInitArgsFunction>(jvm, "JNI_GetDefaultJavaVMInitArgs")(&defaults);
    EXPECT_EQ(defaults.javaStackSize, 655360);

    SetEnvironmentVariableW(L"ORVO_JVM_HOME", runtime.home().c_str());
    SetEnvironmentVariableW(L"ORVO_JVM_PATH", nullptr);
    ScopeExit restore([] { SetEnvironmentVariableW(L"ORVO_JVM_HOME", nullptr); });
    std::vector<std::string> options = {"-Xmx64m", "-Dname=caf\xE9", "abort", "exit"};
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    ASSERT_EQ(CreateVm(jvm, options, {nullptr, nullptr, reinterpret_cast<void*>(&AbortHook),
                                      reinterpret_cast<void*>(&ExitHook)}, &vm, &env), JNI_OK);

    auto fromBootLoader = Export<FindClassFromBootLoaderFunction>(jvm, "JVM_FindClassFromBootLoader");
    EXPECT_EQ(fromBootLoader(env, "com/example/App"), nullptr) << "the boot loader sees JDK classes only";
    jclass helper = fromBootLoader(env, "sun/launcher/LauncherHelper");
    ASSERT_NE(helper, nullptr);
    jmethodID checkAndLoadMain =
        env->GetStaticMethodID(helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
    auto mainClass = static_cast<jclass>(env->functions->CallStaticObjectMethod(
        env, helper, checkAndLoadMain, JNI_TRUE, 1, NewJavaString(env, L"com.example.App")));
    ASSERT_NE(mainClass, nullptr);

    std::wstring outputPath = folder.PathOf(L"out-\u00e9.log");
    RedirectSystemOut(env, outputPath, false);
    const std::vector<std::wstring> arguments = {L"plain", L"caf\u00e9 \u4e2d\u6587", L"\U0001F600", L"",
                                                 std::wstring(1, static_cast<wchar_t>(0xD800))};
    jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    env->functions->CallStaticVoidMethod(env, mainClass, main, NewStringArray(env, arguments));
    EXPECT_EQ(env->ExceptionOccurred(), nullptr);
    EXPECT_EQ(vm->DetachCurrentThread(), JNI_OK);
    EXPECT_EQ(vm->DestroyJavaVM(), JNI_OK);

    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(log.problems, std::vector<std::string>{});
    EXPECT_EQ(log.defaultArgsVersion, JNI_VERSION_1_1);
    EXPECT_TRUE(log.defaultArgsZeroed);
    ASSERT_EQ(log.creations.size(), 1u);
    const TestJvmCreation& creation = log.creations[0];
    EXPECT_EQ(creation.version, static_cast<unsigned long>(JNI_VERSION_1_2));
    EXPECT_EQ(creation.nOptions, 4);
    EXPECT_FALSE(creation.ignoreUnrecognized);
    EXPECT_EQ(creation.threadId, GetCurrentThreadId());
    EXPECT_EQ(creation.result, 0);
    EXPECT_EQ(creation.environment.count("ORVO_JVM_PATH"), 0u);
    EXPECT_EQ(creation.environment.at("ORVO_JVM_HOME"), runtime.home());
    EXPECT_NE(creation.environment.at("Path"), L"");
    wchar_t currentDirectory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, currentDirectory);
    EXPECT_EQ(creation.currentDirectory, currentDirectory);
    ASSERT_EQ(creation.options.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(creation.options[i].bytes, options[i]);
        EXPECT_EQ(creation.options[i].hasExtraInfo, i >= 2);
    }
    EXPECT_EQ(log.bootLoaderNames, (std::vector<std::string>{"com/example/App", "sun/launcher/LauncherHelper"}));
    EXPECT_EQ(log.checkAndLoadMainNames, std::vector<std::wstring>{L"com.example.App"});
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].className, "com/example/App");
    EXPECT_EQ(log.mainCalls[0].arguments, arguments);
    EXPECT_EQ(log.mainCalls[0].threadId, GetCurrentThreadId());
    ASSERT_EQ(log.streamTargets.size(), 1u);
    EXPECT_EQ(log.streamTargets[0].stream, "out");
    EXPECT_EQ(log.streamTargets[0].path, outputPath);
    EXPECT_FALSE(log.streamTargets[0].append);
    EXPECT_EQ(ReadFileBytes(outputPath), std::optional<std::string>("h\xC3\xA9llo w\xC3\xB6rld\r\n"));
    EXPECT_EQ(log.detachedThreads, std::vector<unsigned long>{GetCurrentThreadId()});
    EXPECT_EQ(log.destroyCalls, 1);
    EXPECT_EQ(log.destroyEnds, 1);
}

TEST(TestJvmSelfTest, ExceptionsCarryTheirTraceAndLookupFailuresLeaveOnePending) {
    AppFolder folder;
    const std::wstring trace = L"com.example.Failure: boom\r\n\tat com.example.App.main(App.java:7)\r\n";
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni().Set("main", L"throw")
                                                       .Set("main_exception_class", L"com/example/Failure")
                                                       .Set("main_stack_trace", trace));
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);
    std::vector<std::string> options;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    ASSERT_EQ(CreateVm(jvm, options, {}, &vm, &env), JNI_OK);

    EXPECT_EQ(env->FindClass("com.example.App"), nullptr) << "a dotted name is no class name";
    EXPECT_NE(env->ExceptionOccurred(), nullptr);
    env->ExceptionClear();
    jclass app = env->FindClass("com/example/App");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(env->GetStaticMethodID(app, "main", "([Ljava/lang/String;)I"), nullptr);
    env->ExceptionClear();
    jmethodID main = env->GetStaticMethodID(app, "main", "([Ljava/lang/String;)V");
    env->CallStaticVoidMethod(app, main, NewStringArray(env, {}));
    jthrowable thrown = env->ExceptionOccurred();
    ASSERT_NE(thrown, nullptr);
    env->ExceptionDescribe();
    EXPECT_EQ(env->ExceptionOccurred(), nullptr) << "ExceptionDescribe clears the exception";
    std::string utf8Trace(trace.begin(), trace.end());
    EXPECT_EQ(StackTraceOf(env, thrown), utf8Trace);
    EXPECT_EQ(vm->DetachCurrentThread(), JNI_OK);

    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(log.problems, std::vector<std::string>{});
    EXPECT_EQ(log.findClassNames.front(), "com.example.App");
    EXPECT_EQ(log.describedExceptions, std::vector<std::string>{"com/example/Failure"});
    EXPECT_EQ(log.uncaughtExceptions, std::vector<std::string>{});
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_TRUE(log.mainCalls[0].arguments.empty());
    EXPECT_FALSE(log.mainCalls[0].nullArray);
}

struct SecondaryRun {
    JavaVM* vm;
    jint envBeforeAttach = JNI_OK;
    jint result = -1;
    bool exceptionAfterCall = false;
    DWORD threadId = 0;
};

// What a single-instance handler thread does: attach, find secondaryMain (void
// first, then int), call it with one argument, detach.
DWORD WINAPI RunSecondaryMain(void* parameter) {
    auto* run = static_cast<SecondaryRun*>(parameter);
    run->threadId = GetCurrentThreadId();
    JNIEnv* env = nullptr;
    run->envBeforeAttach = run->vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_2);
    if (run->vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return 1;
    jclass app = env->FindClass("com/example/App");
    jmethodID method = env->GetStaticMethodID(app, "secondaryMain", "([Ljava/lang/String;)V");
    env->ExceptionClear();
    if (method == nullptr) method = env->GetStaticMethodID(app, "secondaryMain", "([Ljava/lang/String;)I");
    if (method == nullptr) return 1;
    run->result = env->CallStaticIntMethod(app, method, NewStringArray(env, {L"17"}));
    run->exceptionAfterCall = env->ExceptionOccurred() != nullptr;
    return run->vm->DetachCurrentThread() == JNI_OK ? 0 : 1;
}

TEST(TestJvmSelfTest, AttachedThreadsCallSecondaryMainAndDetachWithTheirOwnState) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni().Set("secondary_main", L"int")
                                                       .Set("secondary_main_result", L"arg0")
                                                       .Set("secondary_main_throws", L"1"));
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);
    std::vector<std::string> options;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    ASSERT_EQ(CreateVm(jvm, options, {}, &vm, &env), JNI_OK);
    SecondaryRun run{vm};
    UniqueKernelHandle thread(CreateThread(nullptr, 0, RunSecondaryMain, &run, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    DWORD threadResult = 1;
    GetExitCodeThread(thread.get(), &threadResult);
    EXPECT_EQ(threadResult, 0u);
    EXPECT_EQ(run.envBeforeAttach, JNI_EDETACHED);
    EXPECT_EQ(run.result, 0) << "a method that throws returns nothing";
    EXPECT_TRUE(run.exceptionAfterCall);
    EXPECT_EQ(env->FindClass("java/lang/System") != nullptr, true) << "the creating thread's env still works";

    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(log.problems, std::vector<std::string>{});
    ASSERT_EQ(log.secondaryMainCalls.size(), 1u);
    EXPECT_EQ(log.secondaryMainCalls[0].signature, "([Ljava/lang/String;)I");
    EXPECT_EQ(log.secondaryMainCalls[0].threadId, run.threadId);
    EXPECT_EQ(log.secondaryMainCalls[0].arguments, std::vector<std::wstring>{L"17"});
    EXPECT_EQ(log.EventsNamed("secondarymain-end").at(0)->Number("result"), 17) << "arg0 read as the result";
    EXPECT_EQ(log.attachedThreads, std::vector<unsigned long>{run.threadId});
    EXPECT_EQ(log.detachedThreads, std::vector<unsigned long>{run.threadId});
    EXPECT_EQ(log.uncaughtExceptions, std::vector<std::string>{"java/lang/IllegalStateException"})
        << "detaching with a pending exception prints it";
}

struct CreationOnThread {
    const UniqueModule* jvm;
    jint result = -1;
};

DWORD WINAPI CreateVmOnThisThread(void* parameter) {
    auto* creation = static_cast<CreationOnThread*>(parameter);
    std::vector<std::string> options;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    creation->result = CreateVm(*creation->jvm, options, {}, &vm, &env);
    return 0;
}

TEST(TestJvmSelfTest, RecordsTheStackOfTheThreadThatCreatesTheVm) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni());
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);
    constexpr SIZE_T kStackSize = 5 * 1024 * 1024;  // as a launcher asks for it: an initial commitment
    CreationOnThread creation{&jvm};
    DWORD threadId = 0;
    UniqueKernelHandle thread(CreateThread(nullptr, kStackSize, CreateVmOnThisThread, &creation, 0, &threadId));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(creation.result, JNI_OK);
    std::vector<TestJvmCreation> creations = runtime.ReadLog().creations;
    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].threadId, threadId);
    EXPECT_GE(creations[0].stackReserve, kStackSize);
    EXPECT_LT(creations[0].stackReserve, 2 * kStackSize);
}

TEST(TestJvmSelfTest, ConfiguredFailuresLeaveAnExceptionPendingOrReturnAnError) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"),
                           AppIni().Set("fail", L"GetStringUTFChars;NewObjectArray;AttachCurrentThread"));
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);
    std::vector<std::string> options;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    ASSERT_EQ(CreateVm(jvm, options, {}, &vm, &env), JNI_OK);
    EXPECT_EQ(env->GetStringUTFChars(NewJavaString(env, L"x"), nullptr), nullptr);
    EXPECT_NE(env->ExceptionOccurred(), nullptr);
    env->ExceptionClear();
    EXPECT_EQ(env->NewObjectArray(1, env->FindClass("java/lang/String"), nullptr), nullptr);
    EXPECT_NE(env->ExceptionOccurred(), nullptr);
    env->ExceptionClear();
    JNIEnv* attached = nullptr;
    EXPECT_EQ(vm->AttachCurrentThread(reinterpret_cast<void**>(&attached), nullptr), JNI_ERR);
    EXPECT_EQ(runtime.ReadLog().EventsNamed("fail").size(), 2u);
}

TEST(TestJvmSelfTest, CreationFailsLikeARealVmOrAsConfigured) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni().Set("unknown_options", L"-Dforbidden*"));
    UniqueModule jvm = LoadJvm(runtime);
    ASSERT_TRUE(jvm);
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    struct Case {
        std::vector<std::string> options;
        jint version;
        jboolean ignoreUnrecognized;
        jint expected;
    };
    std::vector<Case> cases = {
        {{"-Xss1m", "-Xfancy"}, JNI_VERSION_1_2, JNI_FALSE, JNI_ERR},
        {{"-Xmx50%"}, JNI_VERSION_1_2, JNI_FALSE, JNI_EINVAL},
        {{"-Dforbidden.here=1"}, JNI_VERSION_1_2, JNI_FALSE, JNI_ERR},
        {{"-Xmx1g"}, JNI_VERSION_1_1, JNI_FALSE, JNI_EVERSION},
        {{"-Xfancy", "-XX:+UseG1GC", "-Xms256M"}, JNI_VERSION_1_8, JNI_TRUE, JNI_OK},
        {{"-Xmx1g"}, JNI_VERSION_1_2, JNI_FALSE, JNI_EEXIST},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.options.front());
        EXPECT_EQ(CreateVm(jvm, c.options, {}, &vm, &env, c.version, c.ignoreUnrecognized), c.expected);
    }
    std::vector<TestJvmCreation> creations = runtime.ReadLog().creations;
    ASSERT_EQ(creations.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(creations[i].result, cases[i].expected);

    AppFolder forcedFolder(L"forced");
    TestJvmRuntime forced(forcedFolder.PathOf(L"jre"), AppIni().Set("create_result", L"-42"));
    UniqueModule forcedJvm = LoadJvm(forced);
    ASSERT_TRUE(forcedJvm);
    std::vector<std::string> plain = {"-Xmx1g"};
    EXPECT_EQ(CreateVm(forcedJvm, plain, {}, &vm, &env), -42);
}

TEST(TestJvmSelfTest, EachVariantLacksExactlyItsExport) {
    struct Case {
        TestJvmVariant variant;
        const char* missing;  // nullptr: nothing missing
    };
    const Case cases[] = {
        {TestJvmVariant::kComplete, nullptr},
        {TestJvmVariant::kNoFindClassFromBootLoader, "JVM_FindClassFromBootLoader"},
        {TestJvmVariant::kNoCreateJavaVM, "JNI_CreateJavaVM"},
        {TestJvmVariant::kNoDefaultInitArgs, "JNI_GetDefaultJavaVMInitArgs"},
    };
    const char* exports[] = {"JNI_CreateJavaVM", "JNI_GetDefaultJavaVMInitArgs", "JVM_FindClassFromBootLoader",
                             "JNI_GetCreatedJavaVMs"};
    for (const Case& c : cases) {
        AppFolder folder(c.missing != nullptr ? std::wstring(c.missing, c.missing + std::strlen(c.missing)) : L"complete");
        TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni(), TestJvmFlavor::kClient, c.variant);
        EXPECT_TRUE(PathExists(folder.PathOf(L"jre\\bin\\java.dll")));
        EXPECT_EQ(runtime.jvmPath(), folder.PathOf(L"jre\\bin\\client\\jvm.dll"));
        UniqueModule jvm = LoadJvm(runtime);
        ASSERT_TRUE(jvm);
        for (const char* name : exports) {
            bool expectedPresent = c.missing == nullptr || std::string(name) != c.missing;
            EXPECT_EQ(GetProcAddress(jvm.get(), name) != nullptr, expectedPresent) << name;
        }
    }
}

// The machine field of a PE file's header.
unsigned MachineOf(const std::wstring& path) {
    std::string bytes = ReadFileBytes(path).value_or(std::string());
    if (bytes.size() < 0x40) return 0;
    std::size_t header = static_cast<unsigned char>(bytes[0x3C]) | static_cast<unsigned char>(bytes[0x3D]) << 8;
    if (bytes.size() < header + 6) return 0;
    return static_cast<unsigned char>(bytes[header + 4]) | static_cast<unsigned char>(bytes[header + 5]) << 8;
}

TEST(TestJvmSelfTest, PairBuildIsForTheOtherArchitecture) {
    constexpr unsigned kX86 = 0x014C, kX64 = 0x8664;
    unsigned own = sizeof(void*) == 8 ? kX64 : kX86;
    EXPECT_EQ(MachineOf(TestJvmLibrary()), own);
    EXPECT_EQ(MachineOf(TestJvmLibrary(TestJvmVariant::kComplete, TestJvmArch::kPair)), own == kX86 ? kX64 : kX86);
}

TEST(TestJvmSelfTest, DependentBuildLoadsOnlyWithTheRuntimeBinFolderSearched) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni(), TestJvmFlavor::kServer, TestJvmVariant::kNeedsBinDll);
    ASSERT_TRUE(PathExists(runtime.binFolder() + L"\\testjvm_bin_dependency.dll"));
    // Plain LoadLibraryW in a copy of the probe away from the build folder (exit code 3:
    // not loaded); in a process of its own, because wine keeps a library whose load
    // failed mapped, and so the folder in use.
    std::wstring probe = folder.AddCopyOf(TestJvmProbe(), L"probe.exe");
    EXPECT_EQ(RunProbe(L"\"" + runtime.jvmPath() + L"\" run-main com/example/App", probe), 3u)
        << "the dependency must not be found outside the runtime's bin folder";

    using AddDllDirectoryFunction = void*(WINAPI*)(const wchar_t*);
    using RemoveDllDirectoryFunction = BOOL(WINAPI*)(void*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto addDirectory = reinterpret_cast<AddDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
    auto removeDirectory = reinterpret_cast<RemoveDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "RemoveDllDirectory")));
    ASSERT_NE(addDirectory, nullptr);
    ASSERT_NE(removeDirectory, nullptr);
    void* cookie = addDirectory(runtime.binFolder().c_str());
    ASSERT_NE(cookie, nullptr);
    UniqueModule jvm(LoadLibraryExW(runtime.jvmPath().c_str(), nullptr, 0x1000));  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
    removeDirectory(cookie);
    ASSERT_TRUE(jvm);
    std::vector<std::string> options;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    EXPECT_EQ(CreateVm(jvm, options, {}, &vm, &env), JNI_OK);
}

TEST(TestJvmSelfTest, UnimplementedSlotsAndMisuseEndTheProcessLoudly) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni());
    std::wstring library = L"\"" + runtime.jvmPath() + L"\"";
    EXPECT_EQ(RunProbe(library + L" env-slot 5"), kUnimplementedExitCode);   // DefineClass
    EXPECT_EQ(RunProbe(library + L" env-slot 0"), kUnimplementedExitCode);   // reserved0
    EXPECT_EQ(RunProbe(library + L" vm-slot 7"), kUnimplementedExitCode);    // AttachCurrentThreadAsDaemon
    EXPECT_EQ(RunProbe(library + L" wrong-thread x"), kMisuseExitCode);
    EXPECT_EQ(RunProbe(library + L" deleted-ref x"), kMisuseExitCode);
    std::vector<std::string> problems = runtime.ReadLog().problems;
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "unimplemented env slot 5");
    EXPECT_EQ(problems[1], "unimplemented env slot 0");
    EXPECT_EQ(problems[2], "unimplemented vm slot 7");
    EXPECT_EQ(problems[3].rfind("misuse: JNIEnv of thread ", 0), 0u) << problems[3];
    EXPECT_EQ(problems[4], "misuse: DeleteLocalRef: deleted local reference used (class java/lang/String)");

    AppFolder misspelt(L"misspelt");
    TestJvmRuntime misspeltRuntime(misspelt.PathOf(L"jre"), AppIni().Set("mian", L"throw"));
    EXPECT_EQ(RunProbe(L"\"" + misspeltRuntime.jvmPath() + L"\" run-main com/example/App"), kMisuseExitCode);
    EXPECT_EQ(misspeltRuntime.ReadLog().problems, std::vector<std::string>{"misuse: testjvm.ini: unknown setting line: mian=throw"});
}

TEST(TestJvmSelfTest, SystemExitEndsTheProcessWithItsStatusAfterTheExitHook) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni().Set("main", L"exit").Set("main_exit_code", L"42"));
    EXPECT_EQ(RunProbe(L"\"" + runtime.jvmPath() + L"\" run-main com/example/App one \u00e9"), 42u);
    TestJvmLog log = runtime.ReadLog();
    ASSERT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.mainCalls[0].arguments, (std::vector<std::wstring>{L"one", L"\u00e9"}));
    EXPECT_EQ(log.exitCode, 42);
    EXPECT_TRUE(log.exitHookCalled);
    EXPECT_EQ(log.destroyCalls, 0);
}

TEST(TestJvmSelfTest, LauncherHelperWantsTheDottedNameAndExitsWithOneOnAMiss) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"), AppIni());
    std::wstring library = L"\"" + runtime.jvmPath() + L"\"";
    EXPECT_EQ(RunProbe(library + L" check-and-load com.example.App"), 0u);
    EXPECT_EQ(RunProbe(library + L" check-and-load com/example/App"), 1u);
    EXPECT_EQ(RunProbe(library + L" check-and-load com.example.Other"), 1u);
    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(log.checkAndLoadMainNames,
              (std::vector<std::wstring>{L"com.example.App", L"com/example/App", L"com.example.Other"}));
    std::vector<const TestJvmEvent*> aborts = log.EventsNamed("checkandloadmain-abort");
    ASSERT_EQ(aborts.size(), 2u);
    EXPECT_EQ(aborts[0]->Java("message").rfind(L"Error: Could not find or load main class com/example/App", 0), 0u);
    EXPECT_EQ(log.problems, std::vector<std::string>{});
}

TEST(TestJvmSelfTest, DestructionWaitsForAJavaThreadThatCallsSystemExit) {
    AppFolder folder;
    TestJvmRuntime runtime(folder.PathOf(L"jre"),
                           AppIni().Set("background_exit_ms", L"200").Set("background_exit_code", L"7"));
    EXPECT_EQ(RunProbe(L"\"" + runtime.jvmPath() + L"\" run-main com/example/App"), 7u);
    TestJvmLog log = runtime.ReadLog();
    EXPECT_EQ(log.mainCalls.size(), 1u);
    EXPECT_EQ(log.destroyCalls, 1);
    EXPECT_EQ(log.destroyEnds, 0);
    EXPECT_EQ(log.exitCode, 7);
    EXPECT_TRUE(log.exitHookCalled);
}

}  // namespace
}  // namespace orvo::test
