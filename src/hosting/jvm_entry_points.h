#pragma once
// What the launcher takes from a JVM library: the invocation entry points it resolves
// at run time and the JDK 1.1 init-argument record that still answers the question of
// the default Java stack size. The library is never linked.
#include <jni.h>

#include <cstdarg>
#include <cstdio>

namespace orvo {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** vm, void** env, void* initArgs);
using GetDefaultJavaVmInitArgsFunction = jint(JNICALL*)(void* initArgs);
// Looks a class up in the boot class path by its internal ("/"-separated) name; null
// when there is none.
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv* env, const char* name);

// The JDK 1.1 JavaVMInitArgs record (version 0x10001), which current jni.h files no
// longer declare. Only javaStackSize is read back.
struct Jdk11InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    jint(JNICALL* vfprintf)(FILE* fp, const char* format, va_list args);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)();
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

}  // namespace orvo
