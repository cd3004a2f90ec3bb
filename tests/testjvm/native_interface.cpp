#include "testjvm/native_interface.h"

#include <cstring>

#include "testjvm/java_output.h"
#include "testjvm/method_calls.h"
#include "testjvm/object_model.h"
#include "testjvm/trap.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

// Modified UTF-8, as GetStringUTFChars returns it: NUL as C0 80 and each
// surrogate of a pair as its own three-byte sequence.
std::string ModifiedUtf8(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        if (unit != 0 && unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit < 0x800) {
            bytes += static_cast<char>(0xC0 | (unit >> 6));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (unit >> 12));
            bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return bytes;
}

Object* ResolveOfKind(ThreadState& thread, jobject ref, ObjectKind kind, std::string_view what) {
    Object* object = Resolve(thread, ref, what);
    if (object == nullptr || object->kind != kind) Misuse(std::string(what) + ": argument of the wrong kind or null");
    return object;
}

bool FailOnRequest(ThreadState& thread, std::string_view function) {
    if (!ShouldFail(Vm().settings, function)) return false;
    LogLine("fail").Bytes("function", function).Number("thread", thread.threadId).Write();
    Throw(thread, "java/lang/OutOfMemoryError", Utf16FromUtf8(std::string(function) + " made to fail"));
    return true;
}

jclass JNICALL FindClass(JNIEnv* env, const char* name) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    if (name == nullptr) Misuse("FindClass: null name");
    Object* classObject = FindClassObject(name);
    LogLine("findclass").Bytes("name", name).Number("thread", thread.threadId).Number("found", classObject != nullptr).Write();
    if (classObject == nullptr) Throw(thread, "java/lang/NoClassDefFoundError", Utf16FromUtf8(name));
    return static_cast<jclass>(NewLocalRef(thread, classObject));
}

jclass JNICALL GetObjectClass(JNIEnv* env, jobject object) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* target = Resolve(thread, object, "GetObjectClass");
    if (target == nullptr) Misuse("GetObjectClass: null object");
    Object* classObject = target->kind == ObjectKind::kClass ? FindClassObject("java/lang/Class") : target->classObject;
    return static_cast<jclass>(NewLocalRef(thread, classObject));
}

jmethodID LookUpMethod(JNIEnv* env, jclass clazz, const char* name, const char* signature, bool isStatic) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    const char* function = isStatic ? "GetStaticMethodID" : "GetMethodID";
    Object* classObject = ResolveClass(thread, clazz, function);
    if (name == nullptr || signature == nullptr) Misuse(std::string(function) + ": null name or signature");
    Method* method = FindMethod(classObject, name, signature, isStatic);
    LogLine(isStatic ? "getstaticmethodid" : "getmethodid").Bytes("class", classObject->name).Bytes("name", name)
        .Bytes("sig", signature).Number("thread", thread.threadId).Number("found", method != nullptr).Write();
    if (method == nullptr) Throw(thread, "java/lang/NoSuchMethodError", Utf16FromUtf8(name));
    return reinterpret_cast<jmethodID>(method);
}

jmethodID JNICALL GetMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature) {
    return LookUpMethod(env, clazz, name, signature, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv* env, jclass clazz, const char* name, const char* signature) {
    return LookUpMethod(env, clazz, name, signature, true);
}

constexpr CallRequest kNewObject{"NewObject", CallShape::kConstructor, 'V'};
constexpr CallRequest kNewObjectV{"NewObjectV", CallShape::kConstructor, 'V'};
constexpr CallRequest kNewObjectA{"NewObjectA", CallShape::kConstructor, 'V'};
constexpr CallRequest kStaticVoid{"CallStaticVoidMethod", CallShape::kStatic, 'V'};
constexpr CallRequest kStaticVoidV{"CallStaticVoidMethodV", CallShape::kStatic, 'V'};
constexpr CallRequest kStaticVoidA{"CallStaticVoidMethodA", CallShape::kStatic, 'V'};
constexpr CallRequest kStaticInt{"CallStaticIntMethod", CallShape::kStatic, 'I'};
constexpr CallRequest kStaticIntV{"CallStaticIntMethodV", CallShape::kStatic, 'I'};
constexpr CallRequest kStaticIntA{"CallStaticIntMethodA", CallShape::kStatic, 'I'};
constexpr CallRequest kStaticObject{"CallStaticObjectMethod", CallShape::kStatic, 'L'};
constexpr CallRequest kStaticObjectV{"CallStaticObjectMethodV", CallShape::kStatic, 'L'};
constexpr CallRequest kStaticObjectA{"CallStaticObjectMethodA", CallShape::kStatic, 'L'};
constexpr CallRequest kVoid{"CallVoidMethod", CallShape::kInstance, 'V'};
constexpr CallRequest kVoidV{"CallVoidMethodV", CallShape::kInstance, 'V'};
constexpr CallRequest kVoidA{"CallVoidMethodA", CallShape::kInstance, 'V'};
constexpr CallRequest kObject{"CallObjectMethod", CallShape::kInstance, 'L'};
constexpr CallRequest kObjectV{"CallObjectMethodV", CallShape::kInstance, 'L'};
constexpr CallRequest kObjectA{"CallObjectMethodA", CallShape::kInstance, 'L'};

jvalue InvokeList(JNIEnv* env, jobject target, jmethodID id, va_list& list, const CallRequest& request) {
    return Invoke(env, target, id, ArgumentSource{&list, nullptr}, request);
}

jvalue InvokeArray(JNIEnv* env, jobject target, jmethodID id, const jvalue* values, const CallRequest& request) {
    return Invoke(env, target, id, ArgumentSource{nullptr, values}, request);
}

jobject JNICALL NewObject(JNIEnv* env, jclass clazz, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    jvalue result = InvokeList(env, clazz, id, list, kNewObject);
    va_end(list);
    return result.l;
}

jobject JNICALL NewObjectV(JNIEnv* env, jclass clazz, jmethodID id, va_list list) {
    return InvokeList(env, clazz, id, list, kNewObjectV).l;
}

jobject JNICALL NewObjectA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* values) {
    return InvokeArray(env, clazz, id, values, kNewObjectA).l;
}

void JNICALL CallStaticVoidMethod(JNIEnv* env, jclass clazz, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    InvokeList(env, clazz, id, list, kStaticVoid);
    va_end(list);
}

void JNICALL CallStaticVoidMethodV(JNIEnv* env, jclass clazz, jmethodID id, va_list list) {
    InvokeList(env, clazz, id, list, kStaticVoidV);
}

void JNICALL CallStaticVoidMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* values) {
    InvokeArray(env, clazz, id, values, kStaticVoidA);
}

jint JNICALL CallStaticIntMethod(JNIEnv* env, jclass clazz, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    jvalue result = InvokeList(env, clazz, id, list, kStaticInt);
    va_end(list);
    return result.i;
}

jint JNICALL CallStaticIntMethodV(JNIEnv* env, jclass clazz, jmethodID id, va_list list) {
    return InvokeList(env, clazz, id, list, kStaticIntV).i;
}

jint JNICALL CallStaticIntMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* values) {
    return InvokeArray(env, clazz, id, values, kStaticIntA).i;
}

jobject JNICALL CallStaticObjectMethod(JNIEnv* env, jclass clazz, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    jvalue result = InvokeList(env, clazz, id, list, kStaticObject);
    va_end(list);
    return result.l;
}

jobject JNICALL CallStaticObjectMethodV(JNIEnv* env, jclass clazz, jmethodID id, va_list list) {
    return InvokeList(env, clazz, id, list, kStaticObjectV).l;
}

jobject JNICALL CallStaticObjectMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* values) {
    return InvokeArray(env, clazz, id, values, kStaticObjectA).l;
}

void JNICALL CallVoidMethod(JNIEnv* env, jobject object, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    InvokeList(env, object, id, list, kVoid);
    va_end(list);
}

void JNICALL CallVoidMethodV(JNIEnv* env, jobject object, jmethodID id, va_list list) {
    InvokeList(env, object, id, list, kVoidV);
}

void JNICALL CallVoidMethodA(JNIEnv* env, jobject object, jmethodID id, const jvalue* values) {
    InvokeArray(env, object, id, values, kVoidA);
}

jobject JNICALL CallObjectMethod(JNIEnv* env, jobject object, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    jvalue result = InvokeList(env, object, id, list, kObject);
    va_end(list);
    return result.l;
}

jobject JNICALL CallObjectMethodV(JNIEnv* env, jobject object, jmethodID id, va_list list) {
    return InvokeList(env, object, id, list, kObjectV).l;
}

jobject JNICALL CallObjectMethodA(JNIEnv* env, jobject object, jmethodID id, const jvalue* values) {
    return InvokeArray(env, object, id, values, kObjectA).l;
}

jobjectArray JNICALL NewObjectArray(JNIEnv* env, jsize length, jclass elementClass, jobject initialElement) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* classObject = ResolveClass(thread, elementClass, "NewObjectArray");
    Object* initial = Resolve(thread, initialElement, "NewObjectArray");
    if (length < 0) {
        Throw(thread, "java/lang/NegativeArraySizeException", Utf16FromUtf8(std::to_string(length)));
        return nullptr;
    }
    if (FailOnRequest(thread, "NewObjectArray")) return nullptr;
    if (initial != nullptr && initial->classObject != classObject) Misuse("NewObjectArray: initial element of another class");
    Object* array = NewObjectOf(FindClassObject("[L" + classObject->name + ";"), ObjectKind::kObjectArray);
    array->elementClass = classObject;
    array->elements.assign(static_cast<std::size_t>(length), initial);
    return static_cast<jobjectArray>(NewLocalRef(thread, array));
}

void JNICALL SetObjectArrayElement(JNIEnv* env, jobjectArray arrayRef, jsize index, jobject value) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* array = ResolveOfKind(thread, arrayRef, ObjectKind::kObjectArray, "SetObjectArrayElement");
    Object* element = Resolve(thread, value, "SetObjectArrayElement");
    if (index < 0 || static_cast<std::size_t>(index) >= array->elements.size()) {
        Throw(thread, "java/lang/ArrayIndexOutOfBoundsException", Utf16FromUtf8(std::to_string(index)));
        return;
    }
    bool fits = element == nullptr || element->classObject == array->elementClass ||
                array->elementClass->name == "java/lang/Object";
    if (!fits) {
        Throw(thread, "java/lang/ArrayStoreException", Utf16FromUtf8(element->classObject->name));
        return;
    }
    array->elements[static_cast<std::size_t>(index)] = element;
}

jcharArray JNICALL NewCharArray(JNIEnv* env, jsize length) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    if (length < 0) {
        Throw(thread, "java/lang/NegativeArraySizeException", Utf16FromUtf8(std::to_string(length)));
        return nullptr;
    }
    if (FailOnRequest(thread, "NewCharArray")) return nullptr;
    Object* array = NewObjectOf(FindClassObject("[C"), ObjectKind::kCharArray);
    array->text.assign(static_cast<std::size_t>(length), u'\0');
    return static_cast<jcharArray>(NewLocalRef(thread, array));
}

void JNICALL SetCharArrayRegion(JNIEnv* env, jcharArray arrayRef, jsize start, jsize length, const jchar* buffer) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* array = ResolveOfKind(thread, arrayRef, ObjectKind::kCharArray, "SetCharArrayRegion");
    if (start < 0 || length < 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > array->text.size()) {
        Throw(thread, "java/lang/ArrayIndexOutOfBoundsException", Utf16FromUtf8(std::to_string(start)));
        return;
    }
    if (length > 0 && buffer == nullptr) Misuse("SetCharArrayRegion: null buffer");
    for (jsize i = 0; i < length; ++i) array->text[static_cast<std::size_t>(start + i)] = buffer[i];
}

const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* target = ResolveOfKind(thread, string, ObjectKind::kString, "GetStringUTFChars");
    if (FailOnRequest(thread, "GetStringUTFChars")) return nullptr;
    std::string bytes = ModifiedUtf8(target->text);
    char* chars = new char[bytes.size() + 1];
    std::memcpy(chars, bytes.c_str(), bytes.size() + 1);
    Vm().utfChars.emplace(chars, target);
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    return chars;
}

void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* target = ResolveOfKind(thread, string, ObjectKind::kString, "ReleaseStringUTFChars");
    auto found = Vm().utfChars.find(chars);
    if (found == Vm().utfChars.end() || found->second != target)
        Misuse("ReleaseStringUTFChars: characters not obtained from this string, or released twice");
    Vm().utfChars.erase(found);
    delete[] chars;
}

void JNICALL DeleteLocalRef(JNIEnv* env, jobject ref) {
    ModelLock lock;
    DeleteRef(ThreadOf(env), ref);
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* env) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    return static_cast<jthrowable>(NewLocalRef(thread, thread.pendingException));
}

void JNICALL ExceptionDescribe(JNIEnv* env) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    if (thread.pendingException == nullptr) {
        LogLine("exception-describe").Bytes("thread", thread.name).Bytes("class", "").Write();
        return;
    }
    PrintException(thread, thread.pendingException, "exception-describe");
    thread.pendingException = nullptr;
}

// Makes an existing throwable the pending exception again, as a real VM does; a
// null or non-throwable object is a misuse the launcher must never commit.
jint JNICALL Throw(JNIEnv* env, jthrowable throwable) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Object* object = Resolve(thread, throwable, "Throw");
    if (object == nullptr || object->classObject == nullptr || !object->classObject->throwable)
        Misuse("Throw: not a throwable");
    LogLine("throw").Bytes("thread", thread.name).Bytes("class", object->classObject->name).Write();
    thread.pendingException = object;
    return JNI_OK;
}

void JNICALL ExceptionClear(JNIEnv* env) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    LogLine("exception-clear").Bytes("thread", thread.name).Number("had", thread.pendingException != nullptr).Write();
    thread.pendingException = nullptr;
}

JNINativeInterface_ BuildNativeInterface() {
    auto table = TrapTable<JNINativeInterface_, kEnvTable>();
    table.FindClass = FindClass;
    table.GetObjectClass = GetObjectClass;
    table.GetMethodID = GetMethodID;
    table.GetStaticMethodID = GetStaticMethodID;
    table.NewObject = NewObject;
    table.NewObjectV = NewObjectV;
    table.NewObjectA = NewObjectA;
    table.NewObjectArray = NewObjectArray;
    table.NewCharArray = NewCharArray;
    table.SetCharArrayRegion = SetCharArrayRegion;
    table.SetObjectArrayElement = SetObjectArrayElement;
    table.CallStaticVoidMethod = CallStaticVoidMethod;
    table.CallStaticVoidMethodV = CallStaticVoidMethodV;
    table.CallStaticVoidMethodA = CallStaticVoidMethodA;
    table.CallStaticIntMethod = CallStaticIntMethod;
    table.CallStaticIntMethodV = CallStaticIntMethodV;
    table.CallStaticIntMethodA = CallStaticIntMethodA;
    table.CallStaticObjectMethod = CallStaticObjectMethod;
    table.CallStaticObjectMethodV = CallStaticObjectMethodV;
    table.CallStaticObjectMethodA = CallStaticObjectMethodA;
    table.CallVoidMethod = CallVoidMethod;
    table.CallVoidMethodV = CallVoidMethodV;
    table.CallVoidMethodA = CallVoidMethodA;
    table.CallObjectMethod = CallObjectMethod;
    table.CallObjectMethodV = CallObjectMethodV;
    table.CallObjectMethodA = CallObjectMethodA;
    table.GetStringUTFChars = GetStringUTFChars;
    table.ReleaseStringUTFChars = ReleaseStringUTFChars;
    table.DeleteLocalRef = DeleteLocalRef;
    table.ExceptionOccurred = ExceptionOccurred;
    table.ExceptionDescribe = ExceptionDescribe;
    table.ExceptionClear = ExceptionClear;
    table.Throw = Throw;
    return table;
}

}  // namespace

const JNINativeInterface_* NativeInterface() {
    static const JNINativeInterface_ table = BuildNativeInterface();
    return &table;
}

}  // namespace orvo::testjvm
