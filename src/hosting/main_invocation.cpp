// CJvmHost::InvokeMain: finding the main class, calling main, and what happens when
// an exception escapes it.
#include <algorithm>

#include "foundation/error_box.h"
#include "foundation/launcher_kind.h"
#include "foundation/messages.h"
#include "foundation/service_log.h"
#include "foundation/text_format.h"
#include "foundation/unique_handle.h"
#include "hosting/java_exception_dlg.h"
#include "hosting/java_strings.h"
#include "hosting/jni_objects.h"
#include "hosting/jvm_host.h"

namespace orvo {

MainOutcome CJvmHost::InvokeMain(const MainClassCall& call) {
    // A thread that ends while attached counts for ever among the non-daemon threads
    // that DestroyJavaVM waits for, so teardown would hang after any failure here.
    ScopeExit detachOnFailure([this] { DetachThread(); });
    jclass mainClass = FindMainClass(call.mainClass);
    if (!mainClass) return MainOutcome::kNotCalled;
    jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (!main) {
        if (ExceptionPending(env)) env->ExceptionDescribe();
        else ReportStartupFailure(LoadMessage(IDS_NO_MAIN_METHOD));
        return MainOutcome::kNotCalled;
    }
    jobjectArray arguments = NewArgumentArray(env, call.arguments);
    if (!arguments) {
        DescribePendingException(env);
        return MainOutcome::kNotCalled;
    }
    // From here on the program's own output goes where it would have gone.
    startupErrors.Finish();
    if (call.readyEvent) SetEvent(call.readyEvent);
    if (call.mainStarting) call.mainStarting();
    env->CallStaticVoidMethod(mainClass, main, arguments);
    // Whatever main did, the splash has served: a program that showed no window of
    // its own must not keep it on screen, and the exception dialog must not sit behind it.
    if (call.closeOwnSplash) call.closeOwnSplash();
    MainOutcome outcome = HandleEscapedException();
    detachOnFailure.dismiss();
    // With an IBM VM the creating thread stays attached until the program itself ends
    // the process; the launching thread goes on waiting for it.
    while (call.parkAfterMain) Sleep(INFINITE);
    return DetachThread() ? outcome : MainOutcome::kNotCalled;
}

jclass CJvmHost::FindMainClass(const std::wstring& mainClass) {
    if (jclass found = LoadThroughLauncherHelper(mainClass)) return found;
    return FindClassByName(mainClass);
}

// The runtime's own launcher helper loads the class the way "java" does (with the
// application class loader and its checks); older runtimes do without it.
jclass CJvmHost::LoadThroughLauncherHelper(const std::wstring& mainClass) {
    if (!findClassFromBootLoader) return nullptr;
    jclass helper = findClassFromBootLoader(env, "sun/launcher/LauncherHelper");
    jmethodID check =
        helper ? env->GetStaticMethodID(helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;") : nullptr;
    if (!check) {
        env->ExceptionClear();  // a runtime without the helper: not an error
        return nullptr;
    }
    std::wstring dotted = mainClass;
    std::replace(dotted.begin(), dotted.end(), L'/', L'.');
    jstring name = NewJavaString(env, dotted);
    if (!name) {
        DescribePendingException(env);
        return nullptr;
    }
    jobject found = env->CallStaticObjectMethod(helper, check, static_cast<jint>(JNI_TRUE), static_cast<jint>(1), name);
    DescribePendingException(env);
    return static_cast<jclass>(found);
}

jclass CJvmHost::FindClassByName(const std::wstring& mainClass) {
    jstring name = NewJavaString(env, mainClass);
    if (!name) {
        DescribePendingException(env);
        ReportStartupFailure(FillTemplate(LoadMessage(IDS_MAIN_CLASS_LOAD_FAILED), {mainClass}));
        return nullptr;
    }
    const char* utf = env->GetStringUTFChars(name, nullptr);
    if (!utf) {
        DescribePendingException(env);
        return nullptr;
    }
    jclass found = env->FindClass(utf);
    env->ReleaseStringUTFChars(name, utf);
    if (!found) {
        DescribePendingException(env);
        // The name as configured: it is what FindClass was given, and unlike the
        // modified UTF-8 bytes it shows any letter correctly.
        ReportStartupFailure(FillTemplate(LoadMessage(IDS_MAIN_CLASS_NOT_FOUND), {mainClass}));
    }
    return found;
}

// An exception that escapes main fails the launch, as it does for java.exe, unless the
// user chose Ignore in the dialog: that is the choice to go on as if main had returned.
MainOutcome CJvmHost::HandleEscapedException() {
    jthrowable thrown = env->ExceptionOccurred();
    if (!thrown) return MainOutcome::kReturned;
    // Left pending, the VM reports it as uncaught when the thread detaches: on
    // standard error, which in a console is all the report java.exe gives.
    if (!settings.showExceptionDialog || IsConsoleLauncher()) return MainOutcome::kThrew;
    // No Java code may run while an exception is pending: it is set aside while its
    // stack trace is taken and the dialog is up, and thrown again on Ignore.
    env->ExceptionClear();
    std::wstring stackTrace = DescribeException(env, thrown);
    if (stackTrace.empty()) {
        env->Throw(thrown);
        return MainOutcome::kThrew;
    }
    if (!UserIgnoresException(stackTrace)) {
        // System.exit ends the process before the thread could report it on detaching.
        ReportUncaught(thrown);
        StopApplication();
        return MainOutcome::kThrew;
    }
    env->Throw(thrown);
    return MainOutcome::kReturned;
}

// The same report the thread's end gives an uncaught exception: through the thread's
// uncaught-exception handler, which writes it to the error stream (or does what the
// program made it do).
void CJvmHost::ReportUncaught(jthrowable thrown) {
    jclass threadClass = env->FindClass("java/lang/Thread");
    jmethodID current = threadClass ? env->GetStaticMethodID(threadClass, "currentThread", "()Ljava/lang/Thread;") : nullptr;
    jobject thread = current ? env->CallStaticObjectMethod(threadClass, current) : nullptr;
    jmethodID getHandler = thread ? env->GetMethodID(threadClass, "getUncaughtExceptionHandler",
                                                     "()Ljava/lang/Thread$UncaughtExceptionHandler;")
                                  : nullptr;
    jobject handler = getHandler ? env->CallObjectMethod(thread, getHandler) : nullptr;
    jclass handlerClass = handler ? env->GetObjectClass(handler) : nullptr;
    jmethodID uncaught = handlerClass ? env->GetMethodID(handlerClass, "uncaughtException",
                                                         "(Ljava/lang/Thread;Ljava/lang/Throwable;)V")
                                      : nullptr;
    if (uncaught) env->CallVoidMethod(handler, uncaught, thread, thrown);
    DescribePendingException(env);
}

// A service has nobody to answer the dialog: the trace goes to the service log and
// the application stops, as on Stop.
bool CJvmHost::UserIgnoresException(const std::wstring& stackTrace) {
    if (InServiceMode()) {
        ReportToServiceLog(FillTemplate(LoadMessage(IDS_EXCEPTION_STOPPED_SERVICE), {stackTrace}));
        return false;
    }
    return CJavaExceptionDlg(stackTrace).Show(GetActiveWindow()) == IDOK;
}

void CJvmHost::StopApplication() {
    jclass systemClass = env->FindClass("java/lang/System");
    jmethodID exitMethod = systemClass ? env->GetStaticMethodID(systemClass, "exit", "(I)V") : nullptr;
    if (exitMethod) env->CallStaticVoidMethod(systemClass, exitMethod, static_cast<jint>(-1));
    DescribePendingException(env);  // System.exit normally does not return at all
}

bool CJvmHost::DetachThread() {
    jint result = vm_->DetachCurrentThread();
    env = nullptr;  // belongs to the attachment that just ended
    return result == JNI_OK;
}

}  // namespace orvo
