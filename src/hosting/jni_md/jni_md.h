#pragma once
// Machine-dependent JNI definitions for Windows (both x86 and x64), used with the
// portable jni.h of an OpenJDK development package.
#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;
