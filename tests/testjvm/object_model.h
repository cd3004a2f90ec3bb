#pragma once
// The test VM's world: a handful of objects (classes, strings, arrays, streams,
// throwables), local references that belong to one thread and die with
// DeleteLocalRef or the thread's detachment, method IDs, one JNIEnv per attached
// thread with its pending exception, and the VM itself. Every JNI entry point
// holds ModelLock while it touches any of it.
#include <windows.h>

#include <jni.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "testjvm/settings.h"

namespace orvo::testjvm {

struct Method;

enum class ObjectKind { kClass, kString, kCharArray, kObjectArray, kInstance };

struct Object {
    ObjectKind kind = ObjectKind::kInstance;
    Object* classObject = nullptr;   // class of a non-class object
    std::string name;                // classes: internal name, e.g. "java/lang/String"
    bool bootClass = false;          // classes: visible to JVM_FindClassFromBootLoader
    bool throwable = false;          // classes: instances are throwables
    std::vector<std::unique_ptr<Method>> methods;  // classes
    std::u16string text;             // string or char array contents, a byte stream's
                                     // contents, a throwable's stack trace, a file path
    std::vector<Object*> elements;   // object arrays
    Object* elementClass = nullptr;  // object arrays
    Object* stream = nullptr;        // PrintStream: the OutputStream it writes to
    HANDLE file = INVALID_HANDLE_VALUE;  // FileOutputStream
    bool append = false;             // FileOutputStream
};

struct ThreadState;

// A Java value passed to or returned from a fake Java method.
struct Value {
    long long integer = 0;
    double real = 0;
    Object* object = nullptr;
};

struct CallContext {
    ThreadState& thread;
    Method& method;
    Object* self;                    // null for static methods
    std::vector<Value> arguments;
};

using MethodBody = Value (*)(CallContext& call);

struct Method {
    Object* owner = nullptr;
    std::string name;
    std::string signature;
    bool isStatic = false;
    MethodBody body = nullptr;
};

struct ThreadState {
    JNIEnv env{};                    // first: the JNIEnv* handed out is its address
    DWORD threadId = 0;
    bool attached = true;
    std::string name;                // "main" for the thread that created the VM
    Object* pendingException = nullptr;
};

struct LocalRef {
    Object* object = nullptr;
    ThreadState* owner = nullptr;
    bool live = true;
};

struct VmState {
    JavaVM vm{};                     // first: the JavaVM* handed out is its address
    TestJvmSettings settings;
    bool created = false;
    bool destroyed = false;
    void(JNICALL* exitHook)(jint code) = nullptr;
    void(JNICALL* abortHook)() = nullptr;
    Object* systemOut = nullptr;     // PrintStream objects; null: the process's own streams
    Object* systemErr = nullptr;
    std::map<std::string, Object*, std::less<>> classes;
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<std::unique_ptr<ThreadState>> threads;
    std::vector<std::unique_ptr<LocalRef>> refs;
    std::set<const LocalRef*> knownRefs;
    std::set<const Method*> knownMethods;
    std::map<const char*, Object*> utfChars;  // GetStringUTFChars buffers not yet released
    unsigned nextThreadNumber = 0;
    HANDLE backgroundThread = nullptr;  // the Java thread that calls System.exit, if configured
};

// The one VM of the process.
VmState& Vm();

// Holds the model's recursive lock for its lifetime.
class ModelLock {
public:
    ModelLock();
    ~ModelLock();
    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;
};

// Lets go of the model's lock for its lifetime (around a wait inside a Java
// method), then takes it again at the same depth.
class ModelUnlock {
public:
    ModelUnlock();
    ~ModelUnlock();
    ModelUnlock(const ModelUnlock&) = delete;
    ModelUnlock& operator=(const ModelUnlock&) = delete;

private:
    int depth_ = 0;
};

// The thread behind a JNIEnv*: must be ours, attached and the calling thread, else Misuse.
ThreadState& ThreadOf(JNIEnv* env);
// The calling thread's state when it is attached, else null.
ThreadState* AttachedThread();
ThreadState& AttachThread(std::string name);

// A new local reference for the thread; null for a null object.
jobject NewLocalRef(ThreadState& thread, Object* object);
// The object behind a reference; null for null. A reference that is not ours,
// deleted or of another thread is a Misuse naming `what`.
Object* Resolve(ThreadState& thread, jobject ref, std::string_view what);
// Like Resolve, but the reference must be a non-null class.
Object* ResolveClass(ThreadState& thread, jclass ref, std::string_view what);
void DeleteRef(ThreadState& thread, jobject ref);
// Ends every local reference of the thread.
void KillRefsOf(ThreadState& thread);

Object* NewObjectOf(Object* classObject, ObjectKind kind);
Object* NewString(std::u16string text);
// The class of that name when it exists (array classes are made on demand), else null.
Object* FindClassObject(std::string_view name);
// Makes the pending exception of the thread a new throwable of that class.
void Throw(ThreadState& thread, std::string_view className, std::u16string_view message);

Method* ResolveMethod(jmethodID id, std::string_view what);
// The method of that class with that name, signature and static-ness, or null.
Method* FindMethod(Object* classObject, std::string_view name, std::string_view signature, bool isStatic);

// "java/lang/String" -> u"java.lang.String"
std::u16string DottedName(std::string_view internalName);

}  // namespace orvo::testjvm
