// The methods of the classes testjvm.ini declares: the application's main and
// secondaryMain, and LauncherHelper.checkAndLoadMain, which like the JDK's own
// ends the process with status 1 when the class or its main method is missing.
#include "testjvm/java_classes.h"
#include "testjvm/java_output.h"
#include "testjvm/log_format.h"
#include "testjvm/trap.h"
#include "testjvm/vm_log.h"

#include <charconv>

namespace orvo::testjvm {

namespace {

// One line for the whole call, so that calls on several threads never interleave.
void LogJavaCall(std::string_view event, const CallContext& call) {
    LogLine line(event);
    line.Bytes("class", call.method.owner->name)
        .Bytes("sig", call.method.signature)
        .Number("thread", call.thread.threadId)
        .Bytes("thread_name", call.thread.name);
    const Object* array = call.arguments.at(0).object;
    if (array == nullptr) {
        line.Number("argc", -1).Write();
        return;
    }
    if (array->kind != ObjectKind::kObjectArray) Misuse(std::string(event) + ": argument is not an array");
    line.Number("argc", static_cast<long long>(array->elements.size()));
    for (std::size_t i = 0; i < array->elements.size(); ++i) {
        const Object* element = array->elements[i];
        std::string key = "arg" + std::to_string(i);
        if (element == nullptr)
            line.Bytes(key + "_null", "1");
        else
            line.Java(key, element->text);
    }
    line.Write();
}

bool FileExists(const std::u16string& path) {
    std::wstring widePath = WideFromUtf16(path);
    if (widePath.size() < 2 || (widePath[1] != L':' && widePath[0] != L'\\')) widePath = LibraryFolder() + widePath;
    return GetFileAttributesW(widePath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// secondary_main_result: a number, or "arg0" for the first argument read as one
// (0 when there is none or it is no number).
int SecondaryMainResult(const Object* arguments) {
    std::string text = Vm().settings.secondaryMainResult;
    if (text == "arg0") {
        bool hasFirst = arguments != nullptr && !arguments->elements.empty() && arguments->elements[0] != nullptr;
        text = hasFirst ? Utf8FromUtf16(arguments->elements[0]->text) : std::string();
    }
    int number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

// Class.forName takes the binary name, with dots: a name with slashes names no class.
Object* ClassByBinaryName(std::u16string_view name) {
    if (name.find(u'/') != std::u16string_view::npos) return nullptr;
    std::string internalName;
    for (char16_t c : name) internalName += c == u'.' ? '/' : static_cast<char>(c);
    return FindClassObject(internalName);
}

// LauncherHelper's message for a class it cannot use as the main class; empty when it can.
std::u16string LoadFailure(Object* classObject, const std::u16string& name) {
    if (classObject == nullptr || classObject->bootClass)
        return u"Error: Could not find or load main class " + name +
               u"\r\nCaused by: java.lang.ClassNotFoundException: " + name;
    if (FindMethod(classObject, "main", "([Ljava/lang/String;)V", true) == nullptr)
        return u"Error: Main method not found in class " + name +
               u", please define the main method as:\r\n   public static void main(String[] args)";
    return {};
}

}  // namespace

void WaitAsConfigured(std::string_view who, unsigned sleepMs, const std::u16string& waitFile) {
    ModelUnlock unlock;
    if (sleepMs > 0) Sleep(sleepMs);
    if (waitFile.empty()) return;
    LogLine("wait").Bytes("who", who).Java("file", waitFile).Write();
    ULONGLONG deadline = GetTickCount64() + Vm().settings.waitTimeoutMs;
    while (!FileExists(waitFile) && GetTickCount64() < deadline) Sleep(20);
    LogLine("wait-end").Bytes("who", who).Number("found", FileExists(waitFile)).Write();
}

Value Main(CallContext& call) {
    const TestJvmSettings& settings = Vm().settings;
    LogJavaCall("main", call);
    if (!settings.mainPrints.empty()) PrintLineToSystemOut(settings.mainPrints);
    if (!settings.mainPrintsErr.empty()) PrintLineToSystemErr(settings.mainPrintsErr);
    WaitAsConfigured("main", settings.mainSleepMs, settings.mainWaitFile);
    if (settings.main == MainOutcome::kExit) {
        LogLine("main-end").Bytes("outcome", "exit").Write();
        ExitVm(settings.mainExitCode);
    }
    if (settings.main == MainOutcome::kThrow) {
        Throw(call.thread, settings.mainExceptionClass, u"thrown by main");
        if (settings.mainStackTrace) call.thread.pendingException->text = *settings.mainStackTrace;
    }
    LogLine("main-end").Bytes("outcome", settings.main == MainOutcome::kThrow ? "throw" : "return").Write();
    return {};
}

Value SecondaryMain(CallContext& call) {
    const TestJvmSettings& settings = Vm().settings;
    LogJavaCall("secondarymain", call);
    if (!settings.secondaryMainPrints.empty()) PrintLineToSystemOut(settings.secondaryMainPrints);
    WaitAsConfigured("secondarymain", settings.secondaryMainSleepMs, {});
    int result = SecondaryMainResult(call.arguments.at(0).object);
    if (settings.secondaryMainThrows) Throw(call.thread, "java/lang/IllegalStateException", u"thrown by secondaryMain");
    LogLine("secondarymain-end").Number("thread", call.thread.threadId).Number("result", result)
        .Number("threw", settings.secondaryMainThrows).Write();
    return Value{result, 0, nullptr};
}

Value CheckAndLoadMain(CallContext& call) {
    bool toStderr = call.arguments.at(0).integer != 0;
    long long mode = call.arguments.at(1).integer;
    const Object* what = call.arguments.at(2).object;
    if (what == nullptr || what->kind != ObjectKind::kString) Misuse("checkAndLoadMain: the name is not a String");
    LogLine("checkandloadmain").Number("print", toStderr).Number("mode", mode).Java("what", what->text).Write();
    if (Vm().settings.checkAndLoadMainReturnsNull) return {};
    Object* classObject = mode == 1 ? ClassByBinaryName(what->text) : nullptr;
    std::u16string error = LoadFailure(classObject, what->text);
    if (error.empty()) return Value{0, 0, classObject};
    LogLine("checkandloadmain-abort").Java("message", error).Write();
    PrintTo(toStderr ? Vm().systemErr : Vm().systemOut, toStderr ? "err" : "out", error + u"\r\n");
    ExitVm(1);
}

}  // namespace orvo::testjvm
