// NewObject and the Call*Method families, in their varargs, va_list and jvalue
// forms: each checks the method ID against the class or object it is used with,
// reads the arguments by the method's signature and runs the fake Java method.
#include "testjvm/method_calls.h"

#include "testjvm/trap.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

// The kind of a type's first character: 'I' for the int-sized primitives, else
// the character itself, and 'L' for objects and arrays.
char KindOf(char type) {
    switch (type) {
    case 'Z': case 'B': case 'C': case 'S': case 'I': return 'I';
    case 'J': case 'F': case 'D': case 'V': return type;
    default: return 'L';
    }
}

// The parameter types of a (well-formed) signature, one character each: the
// primitive's letter, or 'L' for objects and arrays.
std::string ParameterTypes(std::string_view signature) {
    std::string types;
    for (std::size_t i = 1; i < signature.size() && signature[i] != ')'; ++i) {
        types += signature[i] == '[' ? 'L' : signature[i];
        while (signature[i] == '[') ++i;
        if (signature[i] == 'L') i = signature.find(';', i);
    }
    return types;
}

Value FromJvalue(ThreadState& thread, char type, const jvalue& value) {
    Value result;
    switch (type) {
    case 'Z': result.integer = value.z; break;
    case 'B': result.integer = value.b; break;
    case 'C': result.integer = value.c; break;
    case 'S': result.integer = value.s; break;
    case 'I': result.integer = value.i; break;
    case 'J': result.integer = value.j; break;
    case 'F': result.real = value.f; break;
    case 'D': result.real = value.d; break;
    default: result.object = Resolve(thread, value.l, "argument");
    }
    return result;
}

Value FromVaList(ThreadState& thread, char type, va_list& list) {
    Value result;
    switch (KindOf(type)) {
    case 'I': result.integer = va_arg(list, int); break;
    case 'J': result.integer = va_arg(list, long long); break;
    case 'F': case 'D': result.real = va_arg(list, double); break;
    default: result.object = Resolve(thread, va_arg(list, jobject), "argument");
    }
    return result;
}

std::vector<Value> ReadArguments(ThreadState& thread, const Method& method, ArgumentSource source) {
    std::vector<Value> arguments;
    std::string types = ParameterTypes(method.signature);
    for (std::size_t i = 0; i < types.size(); ++i)
        arguments.push_back(source.values != nullptr ? FromJvalue(thread, types[i], source.values[i])
                                                     : FromVaList(thread, types[i], *source.list));
    return arguments;
}

void CheckShape(const Method& method, const Object* target, CallShape shape, char returnKind,
                std::string_view function) {
    std::string what = std::string(function) + " with " + method.owner->name + "." + method.name + method.signature;
    char declared = KindOf(method.signature[method.signature.find(')') + 1]);
    if (declared != returnKind) Misuse(what + ": the method's return type does not fit the function");
    bool constructor = method.name == "<init>";
    if (shape == CallShape::kStatic && (!method.isStatic || target != method.owner))
        Misuse(what + ": not a static method of the class passed");
    if (shape == CallShape::kConstructor && (!constructor || target != method.owner))
        Misuse(what + ": not a constructor of the class passed");
    if (shape == CallShape::kInstance &&
        (method.isStatic || constructor || target == nullptr || target->classObject != method.owner))
        Misuse(what + ": not an instance method of the object passed");
}

jvalue ToJvalue(ThreadState& thread, const Value& value, char returnKind) {
    jvalue result{};
    if (returnKind == 'L') result.l = NewLocalRef(thread, value.object);
    if (returnKind == 'I') result.i = static_cast<jint>(value.integer);
    return result;
}

}  // namespace

jvalue Invoke(JNIEnv* env, jobject target, jmethodID id, ArgumentSource source, const CallRequest& request) {
    ModelLock lock;
    ThreadState& thread = ThreadOf(env);
    Method* method = ResolveMethod(id, request.function);
    Object* receiver = request.shape == CallShape::kInstance ? Resolve(thread, target, request.function)
                                                             : ResolveClass(thread, static_cast<jclass>(target), request.function);
    CheckShape(*method, receiver, request.shape, request.returnKind, request.function);
    std::vector<Value> arguments = ReadArguments(thread, *method, source);
    LogLine("invoke").Bytes("function", request.function).Bytes("class", method->owner->name)
        .Bytes("name", method->name).Bytes("sig", method->signature).Number("thread", thread.threadId)
        .Number("cleared_pending", thread.pendingException != nullptr).Write();
    // A Java call starts without a pending exception: HotSpot clears it on entry.
    thread.pendingException = nullptr;
    if (request.shape == CallShape::kConstructor && ShouldFail(Vm().settings, "NewObject")) {
        Throw(thread, "java/lang/OutOfMemoryError", u"NewObject made to fail");
        return jvalue{};
    }
    Object* self = request.shape == CallShape::kConstructor ? NewObjectOf(receiver, ObjectKind::kInstance)
                   : request.shape == CallShape::kInstance  ? receiver
                                                            : nullptr;
    CallContext call{thread, *method, self, std::move(arguments)};
    Value result = method->body(call);
    if (thread.pendingException != nullptr) return jvalue{};
    if (request.shape == CallShape::kConstructor) return ToJvalue(thread, Value{0, 0, self}, 'L');
    return ToJvalue(thread, result, request.returnKind);
}

}  // namespace orvo::testjvm
