#pragma once
// What the library's exports do (jvm_exports.cpp only forwards, so that each
// build variant can leave an export out).
#include <jni.h>

namespace orvo::testjvm {

jint CreateJavaVm(JavaVM** pvm, void** penv, void* args);
jint GetDefaultInitArgs(void* args);
jint GetCreatedJavaVms(JavaVM** vms, jsize capacity, jsize* count);
jclass FindClassFromBootLoader(JNIEnv* env, const char* name);

// The JNI versions a current HotSpot accepts (1.2 up to 21).
bool IsSupportedJniVersion(jint version);

// The library is being unloaded by FreeLibrary: close its files.
void UnloadLibrary();

}  // namespace orvo::testjvm
