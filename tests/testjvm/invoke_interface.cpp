// The JavaVM function table: destruction (which waits as configured, standing in
// for the Java program's non-daemon threads), attaching and detaching threads, and
// GetEnv. A thread detaching with a pending exception has it printed, as the VM's
// uncaught-exception handler does.
#include "testjvm/java_classes.h"
#include "testjvm/java_output.h"
#include "testjvm/native_interface.h"
#include "testjvm/object_model.h"
#include "testjvm/trap.h"
#include "testjvm/vm_entry.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

void CheckVm(JavaVM* vm, std::string_view function) {
    if (vm != &Vm().vm || !Vm().created) Misuse(std::string(function) + ": not the JavaVM of this library");
}

// The thread that calls System.exit is a non-daemon Java thread: destruction
// waits for it, and it ends the process.
void WaitForBackgroundThread() {
    if (Vm().backgroundThread == nullptr) return;
    LogLine("destroy-waits").Bytes("for", "background").Write();
    ModelUnlock unlock;
    WaitForSingleObject(Vm().backgroundThread, INFINITE);
}

jint JNICALL DestroyJavaVM(JavaVM* vm) {
    {
        ModelLock lock;
        CheckVm(vm, "DestroyJavaVM");
        LogLine("destroy").Number("thread", GetCurrentThreadId()).Number("attached", AttachedThread() != nullptr)
            .Number("unreleased_utf", static_cast<long long>(Vm().utfChars.size()))
            .Number("again", Vm().destroyed).Write();
        if (Vm().destroyed) return JNI_ERR;
        WaitAsConfigured("destroy", Vm().settings.destroySleepMs, Vm().settings.destroyWaitFile);
        WaitForBackgroundThread();
        Vm().destroyed = true;
        for (const auto& thread : Vm().threads) {
            thread->attached = false;
            KillRefsOf(*thread);
        }
    }
    LogLine("destroy-end").Number("thread", GetCurrentThreadId()).Write();
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM* vm, void** penv, void* args) {
    ModelLock lock;
    CheckVm(vm, "AttachCurrentThread");
    if (penv == nullptr) Misuse("AttachCurrentThread: null penv");
    auto* attachArgs = static_cast<JavaVMAttachArgs*>(args);
    LogLine line("attach");
    line.Number("thread", GetCurrentThreadId()).Number("args", args != nullptr);
    if (attachArgs != nullptr) line.Hex("version", static_cast<unsigned long>(attachArgs->version));
    ThreadState* thread = AttachedThread();
    line.Number("already", thread != nullptr);
    if (Vm().destroyed || ShouldFail(Vm().settings, "AttachCurrentThread")) {
        line.Number("result", JNI_ERR).Write();
        return JNI_ERR;
    }
    if (thread == nullptr) {
        thread = &AttachThread("Thread-" + std::to_string(Vm().nextThreadNumber++));
        thread->env.functions = NativeInterface();
    }
    line.Number("result", JNI_OK).Write();
    *penv = &thread->env;
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM* vm) {
    ModelLock lock;
    CheckVm(vm, "DetachCurrentThread");
    ThreadState* thread = AttachedThread();
    LogLine line("detach");
    line.Number("thread", GetCurrentThreadId()).Number("attached", thread != nullptr);
    if (ShouldFail(Vm().settings, "DetachCurrentThread")) {
        line.Number("result", JNI_ERR).Write();
        return JNI_ERR;
    }
    line.Number("result", JNI_OK).Write();
    if (thread == nullptr) return JNI_OK;
    if (thread->pendingException != nullptr) PrintException(*thread, thread->pendingException, "uncaught");
    thread->pendingException = nullptr;
    thread->attached = false;
    KillRefsOf(*thread);
    return JNI_OK;
}

jint JNICALL GetEnv(JavaVM* vm, void** penv, jint version) {
    ModelLock lock;
    CheckVm(vm, "GetEnv");
    if (penv == nullptr) Misuse("GetEnv: null penv");
    ThreadState* thread = AttachedThread();
    *penv = thread != nullptr ? &thread->env : nullptr;
    if (!IsSupportedJniVersion(version)) return JNI_EVERSION;
    return thread != nullptr ? JNI_OK : JNI_EDETACHED;
}

JNIInvokeInterface_ BuildInvokeInterface() {
    auto table = TrapTable<JNIInvokeInterface_, kVmTable>();
    table.DestroyJavaVM = DestroyJavaVM;
    table.AttachCurrentThread = AttachCurrentThread;
    table.DetachCurrentThread = DetachCurrentThread;
    table.GetEnv = GetEnv;
    return table;
}

}  // namespace

const JNIInvokeInterface_* InvokeInterface() {
    static const JNIInvokeInterface_ table = BuildInvokeInterface();
    return &table;
}

}  // namespace orvo::testjvm
