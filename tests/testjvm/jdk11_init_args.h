#pragma once
// The JDK 1.1 init-argument record, long gone from jni.h but still how a launcher
// asks a VM for its default Java thread stack size.
#include <jni.h>

#include <cstdarg>
#include <cstdio>

// Declared here again rather than taken from the launcher's own header on purpose:
// a layout mistake there must show up as a wrong stack size in the tests, not be
// shared by both sides.
namespace orvo::testjvm {

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

}  // namespace orvo::testjvm
