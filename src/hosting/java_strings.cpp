#include "hosting/java_strings.h"

#include "foundation/modified_utf8.h"
#include "hosting/jni_objects.h"

namespace orvo {

namespace {

// The Java string's own UTF-16 units: its modified UTF-8 is decoded exactly, where the
// ANSI code page would turn every letter outside ASCII into something else.
std::wstring WideTextOf(JNIEnv* env, jstring text) {
    const char* bytes = env->GetStringUTFChars(text, nullptr);
    if (!bytes) return {};
    std::u16string units = Utf16FromModifiedUtf8(bytes);
    env->ReleaseStringUTFChars(text, bytes);
    return std::wstring(units.begin(), units.end());
}

jobject NewByteArrayOutputStream(JNIEnv* env) {
    jclass bufferClass = env->FindClass("java/io/ByteArrayOutputStream");
    if (!bufferClass) return nullptr;
    jmethodID init = env->GetMethodID(bufferClass, "<init>", "()V");
    if (!init) return nullptr;
    return env->NewObject(bufferClass, init);
}

bool PrintStackTrace(JNIEnv* env, jthrowable exception, jobject printStream) {
    jmethodID print = env->GetMethodID(env->GetObjectClass(exception), "printStackTrace", "(Ljava/io/PrintStream;)V");
    if (!print) return false;
    env->CallVoidMethod(exception, print, printStream);
    DescribePendingException(env);
    return true;
}

// Java 17 and older print in the ANSI code page by default, which turns every letter
// outside it into "?": the stack trace goes through UTF-8 both ways where the
// runtime offers it, and through the default charset where it does not.
constexpr wchar_t kUtf8[] = L"UTF-8";

jobject NewUtf8PrintStream(JNIEnv* env, jobject out, jstring charset) {
    jclass printStreamClass = env->FindClass("java/io/PrintStream");
    jmethodID init = printStreamClass ? env->GetMethodID(printStreamClass, "<init>",
                                                         "(Ljava/io/OutputStream;ZLjava/lang/String;)V")
                                      : nullptr;
    jobject stream = init ? env->NewObject(printStreamClass, init, out, static_cast<jint>(JNI_FALSE), charset) : nullptr;
    env->ExceptionClear();  // a runtime without it: the default charset serves
    return stream;
}

jstring BufferText(JNIEnv* env, jobject buffer, jstring charset) {
    jclass bufferClass = env->GetObjectClass(buffer);
    jmethodID toString = charset ? env->GetMethodID(bufferClass, "toString", "(Ljava/lang/String;)Ljava/lang/String;")
                                 : env->GetMethodID(bufferClass, "toString", "()Ljava/lang/String;");
    if (!toString) return nullptr;
    jobject text = charset ? env->CallObjectMethod(buffer, toString, charset) : env->CallObjectMethod(buffer, toString);
    DescribePendingException(env);
    return static_cast<jstring>(text);
}

std::wstring StackTraceText(JNIEnv* env, jthrowable exception) {
    jobject buffer = NewByteArrayOutputStream(env);
    if (!buffer) return {};
    jstring charset = NewJavaString(env, kUtf8);
    if (!charset) env->ExceptionClear();
    jobject printStream = charset ? NewUtf8PrintStream(env, buffer, charset) : nullptr;
    if (!printStream) {
        charset = nullptr;
        printStream = NewPrintStream(env, buffer);
    }
    if (!printStream) return {};
    if (!PrintStackTrace(env, exception, printStream)) return {};
    jstring text = BufferText(env, buffer, charset);
    return text ? WideTextOf(env, text) : std::wstring();
}

}  // namespace

jstring NewJavaString(JNIEnv* env, std::wstring_view text) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jmethodID init = env->GetMethodID(stringClass, "<init>", "([C)V");
    jstring result = nullptr;
    jsize length = static_cast<jsize>(text.size());
    // Built from char[] rather than NewString/NewStringUTF so that every UTF-16 unit,
    // surrogate pairs included, reaches Java exactly as the launcher holds it.
    jcharArray chars = init ? env->NewCharArray(length) : nullptr;
    if (chars) {
        env->SetCharArrayRegion(chars, 0, length, reinterpret_cast<const jchar*>(text.data()));
        if (!ExceptionPending(env)) result = static_cast<jstring>(env->NewObject(stringClass, init, chars));
        env->DeleteLocalRef(chars);
    }
    env->DeleteLocalRef(stringClass);
    return result;
}

jobjectArray NewArgumentArray(JNIEnv* env, const std::vector<std::wstring>& list) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(list.size()), stringClass, nullptr);
    if (!array) return nullptr;
    for (std::size_t i = 0; i < list.size(); ++i) {
        jstring argument = NewJavaString(env, list[i]);
        if (!argument) return nullptr;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), argument);
        env->DeleteLocalRef(argument);
    }
    return array;
}

std::wstring DescribeException(JNIEnv* env, jthrowable exception) {
    std::wstring text = StackTraceText(env, exception);
    DescribePendingException(env);  // left by a step that failed on the way
    return text;
}

}  // namespace orvo
