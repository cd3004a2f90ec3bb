#pragma once
// Running a fake Java method from a JNI call.
#include <cstdarg>
#include <string_view>

#include "testjvm/object_model.h"

namespace orvo::testjvm {

enum class CallShape { kStatic, kInstance, kConstructor };

struct CallRequest {
    const char* function;  // JNI function name, for the log and for misuse reports
    CallShape shape;
    char returnKind;       // what the function returns: 'V', 'I' or 'L' (NewObject: 'V')
};

// Where the arguments come from: a va_list, or a jvalue array.
struct ArgumentSource {
    va_list* list = nullptr;
    const jvalue* values = nullptr;
};

// Checks the call like a careful VM (a wrong class, object, static-ness or return
// type is a Misuse), runs the method and returns its result: a new local reference
// for objects (the new object for constructors), zero when an exception is pending.
jvalue Invoke(JNIEnv* env, jobject target, jmethodID id, ArgumentSource source, const CallRequest& request);

}  // namespace orvo::testjvm
