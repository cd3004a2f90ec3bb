#pragma once
// Small JNI steps that several hosting operations share. Each returns null (or false)
// when a lookup or call fails; an exception may then be pending.
#include <jni.h>

namespace orvo {

// True when an exception is pending; the reference ExceptionOccurred made is released.
bool ExceptionPending(JNIEnv* env);

// Prints and clears a pending exception (ExceptionDescribe); nothing when none is.
void DescribePendingException(JNIEnv* env);

// new java.io.PrintStream(out)
jobject NewPrintStream(JNIEnv* env, jobject out);

// new java.io.FileOutputStream(path, append): opens (creates, truncates) the file.
jobject NewFileOutputStream(JNIEnv* env, jstring path, bool append);

// Calls the static void method of java.lang.System with one PrintStream argument.
bool CallSystemStreamSetter(JNIEnv* env, const char* method, jobject printStream);

}  // namespace orvo
