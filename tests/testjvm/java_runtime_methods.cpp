// The JDK methods a launcher calls, reduced to what a launcher can observe.
#include "testjvm/java_classes.h"
#include "testjvm/java_output.h"
#include "testjvm/trap.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

// The object argument when it is null (NullPointerException made pending, null
// returned) or of that class; anything else is a Misuse.
Object* Argument(CallContext& call, std::size_t index, std::initializer_list<std::string_view> classNames) {
    Object* argument = call.arguments.at(index).object;
    if (argument == nullptr) {
        Throw(call.thread, "java/lang/NullPointerException", u"argument " + Utf16FromUtf8(std::to_string(index)));
        return nullptr;
    }
    for (std::string_view className : classNames)
        if (IsInstanceOf(argument, className)) return argument;
    Misuse(call.method.owner->name + "." + call.method.name + ": argument " + std::to_string(index) +
           " is of the wrong class");
}

Value SetSystemStream(CallContext& call, Object*& slot, std::string_view event) {
    Object* printStream = call.arguments.at(0).object;
    if (printStream != nullptr && !IsInstanceOf(printStream, "java/io/PrintStream"))
        Misuse(std::string(event) + ": not a PrintStream");
    slot = printStream;
    LogLine line(event);
    line.Bytes("thread", call.thread.name);
    if (printStream == nullptr) {
        line.Bytes("target", "null");
    } else if (printStream->stream->file != INVALID_HANDLE_VALUE) {
        line.Bytes("target", "file").Java("path", printStream->stream->text).Number("append", printStream->stream->append);
    } else {
        line.Bytes("target", "buffer");
    }
    line.Write();
    return {};
}

HANDLE OpenStreamFile(const std::u16string& path, bool append) {
    std::wstring widePath = WideFromUtf16(path);
    // Java opens its output files shared for reading and writing, so that a test can
    // read them while the program runs and both streams may name one file.
    return CreateFileW(widePath.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Value StringInit(CallContext& call) {
    Object* chars = call.arguments.at(0).object;
    if (chars == nullptr) {
        Throw(call.thread, "java/lang/NullPointerException", u"String(char[]) of null");
        return {};
    }
    if (chars->kind != ObjectKind::kCharArray) Misuse("String(char[]): argument is not a char[]");
    call.self->kind = ObjectKind::kString;
    call.self->text = chars->text;
    return {};
}

Value SystemExit(CallContext& call) { ExitVm(static_cast<int>(call.arguments.at(0).integer)); }

Value SystemSetOut(CallContext& call) { return SetSystemStream(call, Vm().systemOut, "setout"); }

Value SystemSetErr(CallContext& call) { return SetSystemStream(call, Vm().systemErr, "seterr"); }

Value FileOutputStreamInit(CallContext& call) {
    Object* path = Argument(call, 0, {"java/lang/String"});
    if (path == nullptr) return {};
    bool append = call.arguments.at(1).integer != 0;
    HANDLE file = OpenStreamFile(path->text, append);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    LogLine("fileoutputstream").Java("path", path->text).Number("append", append).Number("error", error).Write();
    if (file == INVALID_HANDLE_VALUE) {
        std::u16string reason = Utf16FromUtf8(" (error " + std::to_string(error) + ")");
        Throw(call.thread, "java/io/FileNotFoundException", path->text + reason);
        return {};
    }
    call.self->file = file;
    call.self->text = path->text;
    call.self->append = append;
    return {};
}

Value PrintStreamInit(CallContext& call) {
    call.self->stream = Argument(call, 0, {"java/io/FileOutputStream", "java/io/ByteArrayOutputStream"});
    return {};
}

Value ByteArrayOutputStreamInit(CallContext&) { return {}; }

Value ByteArrayOutputStreamToString(CallContext& call) { return Value{0, 0, NewString(call.self->text)}; }

Value ThrowablePrintStackTrace(CallContext& call) {
    Object* printStream = Argument(call, 0, {"java/io/PrintStream"});
    if (printStream == nullptr) return {};
    std::string_view stream = printStream == Vm().systemOut ? "out" : printStream == Vm().systemErr ? "err" : "other";
    PrintTo(printStream, stream, call.self->text);
    return {};
}

Value ThrowableToString(CallContext& call) {
    const std::u16string& trace = call.self->text;
    return Value{0, 0, NewString(trace.substr(0, trace.find_first_of(u"\r\n")))};
}

Value ThreadCurrentThread(CallContext& call) {
    Object* thread = NewObjectOf(FindClassObject("java/lang/Thread"), ObjectKind::kInstance);
    thread->text = Utf16FromUtf8(call.thread.name);
    return Value{0, 0, thread};
}

// Every thread's handler is the default one, its thread group.
Value ThreadGetUncaughtExceptionHandler(CallContext&) {
    return Value{0, 0, NewObjectOf(FindClassObject("java/lang/ThreadGroup"), ObjectKind::kInstance)};
}

Value ThreadGroupUncaughtException(CallContext& call) {
    if (Argument(call, 0, {"java/lang/Thread"}) == nullptr) return {};
    Object* throwable = call.arguments.at(1).object;
    if (throwable == nullptr || throwable->classObject == nullptr || !throwable->classObject->throwable)
        Misuse("ThreadGroup.uncaughtException: argument 1 is no throwable");
    PrintException(call.thread, throwable, "uncaught");
    return {};
}

}  // namespace orvo::testjvm
