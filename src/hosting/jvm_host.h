#pragma once
// Hosts the Java VM inside the launcher process: loads the JVM library, builds the
// VM options from the settings, creates the VM, redirects the Java program's
// standard streams, and calls the main class.
#include <windows.h>

#include <jni.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/launcher_settings.h"
#include "hosting/jvm_entry_points.h"
#include "hosting/jvm_option_list.h"
#include "hosting/startup_error_capture.h"

namespace orvo {

// What InvokeMain needs from the rest of the launcher.
struct MainClassCall {
    std::wstring mainClass;                      // "/"-separated
    std::vector<std::wstring> arguments;         // the program arguments, in order
    HANDLE readyEvent = nullptr;                 // set just before main runs; may be null
    bool parkAfterMain = false;                  // keep the thread attached for ever after main
    std::function<void()> closeOwnSplash;        // called when main returns or throws
    std::function<void()> mainStarting;          // called just before main, on this thread
};

// How far InvokeMain got.
enum class MainOutcome {
    kNotCalled,  // class, method or arguments could not be had (reported)
    kReturned,   // main returned, or the user chose Ignore for what it threw
    kThrew,      // an exception escaped main and was left to the runtime
};

class CJvmHost {
public:
    // The host reads the settings when it builds the options and when main throws, so
    // they must be loaded by then and outlive it.
    explicit CJvmHost(const LauncherSettings& settings) : settings(settings) {}
    CJvmHost(const CJvmHost&) = delete;
    CJvmHost& operator=(const CJvmHost&) = delete;

    // Sets ORVO_JVM_PATH, ORVO_JVM_HOME and Path for the JVM library and the Java
    // program, and, for a non-empty library path setting, appends the
    // "-Djava.library.path=" option. Failures of the environment calls are ignored.
    // False after a box when a folder of the library path cannot be given to the VM.
    bool PrepareEnvironment(const std::wstring& jvmLibraryPath, const std::wstring& libraryPathSetting,
                            const std::wstring& systemPathSetting);

    // From now until main starts, keeps what the runtime writes to a standard error
    // that leads nowhere, for the box of a start that fails (startup_error_capture.h).
    // Call it before anything loads a library of the runtime.
    void CaptureStartupErrors() { startupErrors.Start(); }

    // Shows `text` (may be empty) with what the runtime wrote while it started, and
    // ends that capture; shows nothing when both are empty, or when a failure was
    // reported before.
    void ReportStartupFailure(std::wstring text);

    // Loads the JVM library (never unloaded) with the runtime's bin folder among the
    // DLL search folders, and resolves its entry points. False after showing a box.
    bool LoadJvmLibrary(const std::wstring& path);

    // Appends the class path and VM parameter options of the settings, takes the
    // stream settings and appends the Cmd arguments to `arguments`. Nothing but a box
    // when the class path is empty: the launch goes on regardless. False, after a box,
    // when it must stop: the launcher path cannot be had, the class path names nothing
    // that exists, or a path cannot be given to the VM.
    bool BuildOptions(std::vector<std::wstring>& arguments);

    // The stack size in bytes for the thread that creates the VM: a -Xss VM parameter's
    // (known after BuildOptions), else the loaded library's default; 0 for neither.
    std::uint32_t ThreadStackSize() const;

    // Creates the VM on the calling thread, then redirects the standard streams (a
    // failed redirection is not a failed creation). False after showing a box.
    bool CreateJvm();

    // On the thread that created the VM: finds the main class, calls main with the
    // arguments and deals with an exception that escapes it, then detaches the thread.
    // kNotCalled (after a box or a printed exception) when class, method or arguments
    // cannot be had, or the thread cannot be detached. Ends the startup-error capture
    // just before main. Does not return when call.parkAfterMain is set.
    MainOutcome InvokeMain(const MainClassCall& call);

    // DestroyJavaVM when a VM exists (waits for its non-daemon threads); clears it.
    void DestroyJvm();

    JavaVM* vm() const noexcept { return vm_; }

    // Replaces the date-time picture between the first and the last "%" of the name by
    // the formatted time ("L" = milliseconds); a name without "%" stays unchanged.
    static void ExpandFileNameTime(std::wstring& name, const SYSTEMTIME& time);

    // Makes the Java standard stream behind System.<method> write to the file (created
    // with its missing folders, truncated or appended to). False when it could not;
    // an exception may then be pending.
    bool RedirectStream(const std::wstring& path, bool append, const char* systemMethod);

private:
    // Appends the option with its paths in a form the ANSI code page represents
    // (option_paths.h). False after a box naming a path that has none.
    bool AppendOption(std::wstring_view option, const std::function<bool(const std::wstring&)>& mayStayDamaged = {});
    bool ClassPathNamesSomething(const std::wstring& setting, const std::wstring& launcherPath, bool embeddedJar);
    void AppendVmParameters(const std::wstring& setting, std::vector<std::wstring>& working);
    void TakeStreamSettings();
    std::uint32_t QueryDefaultStackSize() const;
    void RedirectStandardStreams();
    void ReportCreationFailure(jint result);
    jclass FindMainClass(const std::wstring& mainClass);
    jclass LoadThroughLauncherHelper(const std::wstring& mainClass);
    jclass FindClassByName(const std::wstring& mainClass);
    MainOutcome HandleEscapedException();
    void ReportUncaught(jthrowable thrown);
    static bool UserIgnoresException(const std::wstring& stackTrace);
    void StopApplication();
    bool DetachThread();

    const LauncherSettings& settings;
    std::wstring jvmPath;
    std::uint32_t xssStackSize = 0;  // from a -Xss VM parameter
    CreateJavaVmFunction createJavaVM = nullptr;
    GetDefaultJavaVmInitArgsFunction getDefaultInitArgs = nullptr;
    FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr;
    JavaVM* vm_ = nullptr;
    JNIEnv* env = nullptr;
    JvmOptionList optionList;
    std::wstring outputFile;
    std::wstring errorFile;
    bool outputAppend = false;
    bool errorAppend = false;
    StartupErrorCapture startupErrors;
    bool startupFailureReported = false;
};

}  // namespace orvo
