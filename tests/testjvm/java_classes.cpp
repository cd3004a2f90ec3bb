#include "testjvm/java_classes.h"

namespace orvo::testjvm {

namespace {

constexpr std::string_view kLauncherHelper = "sun/launcher/LauncherHelper";
constexpr std::string_view kMainSignature = "([Ljava/lang/String;)V";

constexpr std::string_view kThrowables[] = {
    "java/lang/Throwable", "java/lang/Exception", "java/lang/RuntimeException", "java/lang/Error",
    "java/lang/NoClassDefFoundError", "java/lang/NoSuchMethodError", "java/lang/OutOfMemoryError",
    "java/lang/NullPointerException", "java/lang/ArrayIndexOutOfBoundsException", "java/lang/ArrayStoreException",
    "java/lang/NegativeArraySizeException", "java/lang/IllegalStateException", "java/io/FileNotFoundException",
};

struct MethodDefinition {
    std::string_view name;
    std::string_view signature;
    bool isStatic;
    MethodBody body;
};

void AddMethod(Object* classObject, const MethodDefinition& definition) {
    auto method = std::make_unique<Method>(
        Method{classObject, std::string(definition.name), std::string(definition.signature), definition.isStatic, definition.body});
    Vm().knownMethods.insert(method.get());
    classObject->methods.push_back(std::move(method));
}

Object* DefineClass(std::string_view name, bool boot, std::initializer_list<MethodDefinition> methods) {
    if (Object* existing = FindClassObject(name)) return existing;
    Object* classObject = NewObjectOf(nullptr, ObjectKind::kClass);
    classObject->name = name;
    classObject->bootClass = boot;
    Vm().classes.emplace(classObject->name, classObject);
    for (const MethodDefinition& definition : methods) AddMethod(classObject, definition);
    return classObject;
}

void DefineThrowable(std::string_view name) {
    Object* classObject = DefineClass(name, true, {
        {"printStackTrace", "(Ljava/io/PrintStream;)V", false, ThrowablePrintStackTrace},
        {"toString", "()Ljava/lang/String;", false, ThrowableToString},
    });
    classObject->throwable = true;
}

void DefineJdkClasses() {
    DefineClass("java/lang/Object", true, {});
    DefineClass("java/lang/Class", true, {});
    DefineClass("java/io/OutputStream", true, {});
    DefineClass("java/lang/String", true, {{"<init>", "([C)V", false, StringInit}});
    DefineClass("java/lang/System", true, {
        {"exit", "(I)V", true, SystemExit},
        {"setOut", "(Ljava/io/PrintStream;)V", true, SystemSetOut},
        {"setErr", "(Ljava/io/PrintStream;)V", true, SystemSetErr},
    });
    DefineClass("java/io/FileOutputStream", true, {{"<init>", "(Ljava/lang/String;Z)V", false, FileOutputStreamInit}});
    DefineClass("java/io/PrintStream", true, {{"<init>", "(Ljava/io/OutputStream;)V", false, PrintStreamInit}});
    DefineClass("java/io/ByteArrayOutputStream", true, {
        {"<init>", "()V", false, ByteArrayOutputStreamInit},
        {"toString", "()Ljava/lang/String;", false, ByteArrayOutputStreamToString},
    });
    DefineClass("java/lang/Thread", true, {
        {"currentThread", "()Ljava/lang/Thread;", true, ThreadCurrentThread},
        {"getUncaughtExceptionHandler", "()Ljava/lang/Thread$UncaughtExceptionHandler;", false,
         ThreadGetUncaughtExceptionHandler},
    });
    DefineClass("java/lang/ThreadGroup", true, {
        {"uncaughtException", "(Ljava/lang/Thread;Ljava/lang/Throwable;)V", false, ThreadGroupUncaughtException},
    });
    for (std::string_view name : kThrowables) DefineThrowable(name);
    DefineThrowable(Vm().settings.mainExceptionClass);
}

void DefineApplicationClass(std::string_view name) {
    const TestJvmSettings& settings = Vm().settings;
    Object* classObject = DefineClass(name, false, {});
    if (settings.main != MainOutcome::kMissing) AddMethod(classObject, {"main", kMainSignature, true, Main});
    if (settings.secondaryMain == SecondaryMainKind::kVoid)
        AddMethod(classObject, {"secondaryMain", "([Ljava/lang/String;)V", true, SecondaryMain});
    if (settings.secondaryMain == SecondaryMainKind::kInt)
        AddMethod(classObject, {"secondaryMain", "([Ljava/lang/String;)I", true, SecondaryMain});
}

}  // namespace

void DefineClasses() {
    DefineJdkClasses();
    for (const std::string& name : Vm().settings.classes) {
        if (name == kLauncherHelper)
            DefineClass(name, true, {{"checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;", true, CheckAndLoadMain}});
        else if (FindClassObject(name) == nullptr)
            DefineApplicationClass(name);
    }
}

bool IsInstanceOf(const Object* object, std::string_view className) {
    return object != nullptr && object->kind != ObjectKind::kClass && object->classObject != nullptr &&
           object->classObject->name == className;
}

void CloseStreamFiles() {
    for (const auto& object : Vm().objects) {
        if (object->file != INVALID_HANDLE_VALUE) CloseHandle(object->file);
        object->file = INVALID_HANDLE_VALUE;
    }
}

}  // namespace orvo::testjvm
