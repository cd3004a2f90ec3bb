#include "testjvm/object_model.h"

#include "testjvm/trap.h"

namespace orvo::testjvm {

namespace {

CRITICAL_SECTION& ModelSection() {
    static CRITICAL_SECTION* section = [] {
        auto* created = new CRITICAL_SECTION;
        InitializeCriticalSection(created);
        return created;
    }();
    return *section;
}

// Owner and depth of the lock; only the thread that holds it reads or writes them
// (any other thread sees an owner that is not itself).
volatile DWORD gOwner = 0;
int gDepth = 0;

std::string Describe(const Object* object) {
    if (object == nullptr) return "null";
    if (object->kind == ObjectKind::kClass) return "class " + object->name;
    return "instance of " + (object->classObject != nullptr ? object->classObject->name : std::string("?"));
}

}  // namespace

VmState& Vm() {
    static VmState* vm = new VmState;  // never destroyed: threads may still run at process end
    return *vm;
}

ModelLock::ModelLock() {
    EnterCriticalSection(&ModelSection());
    gOwner = GetCurrentThreadId();
    ++gDepth;
}

ModelLock::~ModelLock() {
    if (--gDepth == 0) gOwner = 0;
    LeaveCriticalSection(&ModelSection());
}

ModelUnlock::ModelUnlock() {
    if (gOwner != GetCurrentThreadId()) return;
    depth_ = gDepth;
    gDepth = 0;
    gOwner = 0;
    for (int i = 0; i < depth_; ++i) LeaveCriticalSection(&ModelSection());
}

ModelUnlock::~ModelUnlock() {
    if (depth_ == 0) return;
    for (int i = 0; i < depth_; ++i) EnterCriticalSection(&ModelSection());
    gOwner = GetCurrentThreadId();
    gDepth = depth_;
}

ThreadState& ThreadOf(JNIEnv* env) {
    for (const auto& thread : Vm().threads) {
        if (&thread->env != env) continue;
        if (!thread->attached) Misuse("JNIEnv of a detached thread used");
        if (thread->threadId != GetCurrentThreadId())
            Misuse("JNIEnv of thread " + std::to_string(thread->threadId) + " used on thread " +
                   std::to_string(GetCurrentThreadId()));
        return *thread;
    }
    Misuse("not a JNIEnv of this VM");
}

ThreadState* AttachedThread() {
    for (const auto& thread : Vm().threads)
        if (thread->attached && thread->threadId == GetCurrentThreadId()) return thread.get();
    return nullptr;
}

ThreadState& AttachThread(std::string name) {
    auto thread = std::make_unique<ThreadState>();
    thread->threadId = GetCurrentThreadId();
    thread->name = std::move(name);
    Vm().threads.push_back(std::move(thread));
    return *Vm().threads.back();
}

jobject NewLocalRef(ThreadState& thread, Object* object) {
    if (object == nullptr) return nullptr;
    auto ref = std::make_unique<LocalRef>();
    ref->object = object;
    ref->owner = &thread;
    Vm().knownRefs.insert(ref.get());
    Vm().refs.push_back(std::move(ref));
    return reinterpret_cast<jobject>(Vm().refs.back().get());
}

Object* Resolve(ThreadState& thread, jobject ref, std::string_view what) {
    if (ref == nullptr) return nullptr;
    const auto* local = reinterpret_cast<const LocalRef*>(ref);
    if (Vm().knownRefs.count(local) == 0) Misuse(std::string(what) + ": not a reference of this VM");
    if (!local->live) Misuse(std::string(what) + ": deleted local reference used (" + Describe(local->object) + ")");
    if (local->owner != &thread)
        Misuse(std::string(what) + ": local reference of thread " + std::to_string(local->owner->threadId) +
               " used on thread " + std::to_string(thread.threadId));
    return local->object;
}

Object* ResolveClass(ThreadState& thread, jclass ref, std::string_view what) {
    Object* object = Resolve(thread, ref, what);
    if (object == nullptr || object->kind != ObjectKind::kClass)
        Misuse(std::string(what) + ": expected a class, got " + Describe(object));
    return object;
}

void DeleteRef(ThreadState& thread, jobject ref) {
    if (ref == nullptr) return;
    Resolve(thread, ref, "DeleteLocalRef");
    reinterpret_cast<LocalRef*>(ref)->live = false;
}

void KillRefsOf(ThreadState& thread) {
    for (const auto& ref : Vm().refs)
        if (ref->owner == &thread) ref->live = false;
}

Object* NewObjectOf(Object* classObject, ObjectKind kind) {
    auto object = std::make_unique<Object>();
    object->kind = kind;
    object->classObject = classObject;
    Vm().objects.push_back(std::move(object));
    return Vm().objects.back().get();
}

Object* NewString(std::u16string text) {
    Object* string = NewObjectOf(FindClassObject("java/lang/String"), ObjectKind::kString);
    string->text = std::move(text);
    return string;
}

Object* FindClassObject(std::string_view name) {
    auto found = Vm().classes.find(name);
    if (found != Vm().classes.end()) return found->second;
    if (name.empty() || name.front() != '[') return nullptr;
    Object* arrayClass = NewObjectOf(nullptr, ObjectKind::kClass);
    arrayClass->name = name;
    arrayClass->bootClass = true;
    Vm().classes.emplace(arrayClass->name, arrayClass);
    return arrayClass;
}

void Throw(ThreadState& thread, std::string_view className, std::u16string_view message) {
    Object* classObject = FindClassObject(className);
    if (classObject == nullptr || !classObject->throwable) Misuse("no throwable class " + std::string(className));
    Object* throwable = NewObjectOf(classObject, ObjectKind::kInstance);
    throwable->text = DottedName(className) + u": " + std::u16string(message) + u"\r\n\tat testjvm.Native(Native Method)\r\n";
    thread.pendingException = throwable;
}

Method* ResolveMethod(jmethodID id, std::string_view what) {
    auto* method = reinterpret_cast<Method*>(id);
    if (id == nullptr || Vm().knownMethods.count(method) == 0)
        Misuse(std::string(what) + ": not a method ID of this VM");
    return method;
}

Method* FindMethod(Object* classObject, std::string_view name, std::string_view signature, bool isStatic) {
    for (const auto& method : classObject->methods)
        if (method->name == name && method->signature == signature && method->isStatic == isStatic)
            return method.get();
    return nullptr;
}

std::u16string DottedName(std::string_view internalName) {
    std::u16string dotted;
    for (char c : internalName) dotted += c == '/' ? u'.' : static_cast<char16_t>(static_cast<unsigned char>(c));
    return dotted;
}

}  // namespace orvo::testjvm
