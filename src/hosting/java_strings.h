#pragma once
// Java strings and string arrays from the launcher's UTF-16 text, and a Java
// exception's stack trace back as UTF-16 text. Usable on any attached thread with
// its own env.
#include <jni.h>

#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// A java.lang.String with the text's UTF-16 units, or null (exception possibly pending).
jstring NewJavaString(JNIEnv* env, std::wstring_view text);

// A String[] of the list, or null.
jobjectArray NewArgumentArray(JNIEnv* env, const std::vector<std::wstring>& list);

// The exception's stack trace, or empty text when any step fails. Call it with no
// exception pending.
std::wstring DescribeException(JNIEnv* env, jthrowable exception);

}  // namespace orvo
