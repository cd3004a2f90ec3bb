#include "hosting/jni_objects.h"

namespace orvo {

bool ExceptionPending(JNIEnv* env) {
    jthrowable pending = env->ExceptionOccurred();
    if (!pending) return false;
    env->DeleteLocalRef(pending);
    return true;
}

void DescribePendingException(JNIEnv* env) {
    if (ExceptionPending(env)) env->ExceptionDescribe();
}

jobject NewPrintStream(JNIEnv* env, jobject out) {
    jclass printStreamClass = env->FindClass("java/io/PrintStream");
    if (!printStreamClass) return nullptr;
    jmethodID init = env->GetMethodID(printStreamClass, "<init>", "(Ljava/io/OutputStream;)V");
    if (!init) return nullptr;
    return env->NewObject(printStreamClass, init, out);
}

jobject NewFileOutputStream(JNIEnv* env, jstring path, bool append) {
    jclass fileStreamClass = env->FindClass("java/io/FileOutputStream");
    if (!fileStreamClass) return nullptr;
    jmethodID init = env->GetMethodID(fileStreamClass, "<init>", "(Ljava/lang/String;Z)V");
    if (!init) return nullptr;
    // jboolean travels through "..." promoted to int, as the VM reads it.
    return env->NewObject(fileStreamClass, init, path, static_cast<jint>(append ? JNI_TRUE : JNI_FALSE));
}

bool CallSystemStreamSetter(JNIEnv* env, const char* method, jobject printStream) {
    jclass systemClass = env->FindClass("java/lang/System");
    if (!systemClass) return false;
    jmethodID setter = env->GetStaticMethodID(systemClass, method, "(Ljava/io/PrintStream;)V");
    if (!setter) return false;
    env->CallStaticVoidMethod(systemClass, setter, printStream);
    return !ExceptionPending(env);
}

}  // namespace orvo
