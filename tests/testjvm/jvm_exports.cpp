// The exports of jvm.dll. The build makes one library per set of exports; the
// TESTJVM_NO_* definitions leave one out, as an incomplete runtime would, and
// TESTJVM_NEEDS_BIN_DLL makes the library import testjvm_bin_dependency.dll.
#define _JNI_IMPLEMENTATION_
#include <windows.h>

#include <jni.h>

#include "testjvm/vm_entry.h"
#include "testjvm/vm_log.h"

#ifdef TESTJVM_NEEDS_BIN_DLL
extern "C" __declspec(dllimport) int TestJvmBinDependency();
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        orvo::testjvm::SetLibraryModule(module);
        DisableThreadLibraryCalls(module);
    }
    // At process end other threads are gone mid-call; only an explicit unload tidies up.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) orvo::testjvm::UnloadLibrary();
    return TRUE;
}

#ifndef TESTJVM_NO_CREATEJAVAVM
JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args) {
#ifdef TESTJVM_NEEDS_BIN_DLL
    TestJvmBinDependency();
#endif
    return orvo::testjvm::CreateJavaVm(pvm, penv, args);
}
#endif

#ifndef TESTJVM_NO_DEFAULTINITARGS
JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) { return orvo::testjvm::GetDefaultInitArgs(args); }
#endif

JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** vms, jsize capacity, jsize* count) {
    return orvo::testjvm::GetCreatedJavaVms(vms, capacity, count);
}

#ifndef TESTJVM_NO_FINDCLASSFROMBOOTLOADER
extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* env, const char* name) {
    return orvo::testjvm::FindClassFromBootLoader(env, name);
}
#endif
