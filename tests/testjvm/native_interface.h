#pragma once
// The JNIEnv function table of the test VM: the functions a launcher needs are
// implemented on the object model, every other slot is a trap.
#include <jni.h>

namespace orvo::testjvm {

const JNINativeInterface_* NativeInterface();

// The JavaVM function table: DestroyJavaVM, AttachCurrentThread,
// DetachCurrentThread and GetEnv; the other slots are traps.
const JNIInvokeInterface_* InvokeInterface();

}  // namespace orvo::testjvm
