#include "testjvm/java_output.h"

#include "testjvm/log_format.h"
#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

constexpr std::u16string_view kLineSeparator = u"\r\n";

void WriteToSink(Object* sink, std::u16string_view text) {
    if (sink->file != INVALID_HANDLE_VALUE) {
        std::string bytes = Utf8FromUtf16(text);
        DWORD written = 0;
        WriteFile(sink->file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } else {
        sink->text.append(text);
    }
}

}  // namespace

void PrintTo(Object* printStream, std::string_view stream, std::u16string_view text) {
    LogLine line("print");
    line.Bytes("stream", stream);
    if (printStream == nullptr) {
        line.Bytes("target", "process");
        WriteToProcessStream(stream == "err" ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text);
    } else if (printStream->stream->file != INVALID_HANDLE_VALUE) {
        line.Bytes("target", "file").Java("path", printStream->stream->text);
        WriteToSink(printStream->stream, text);
    } else {
        line.Bytes("target", "buffer");
        WriteToSink(printStream->stream, text);
    }
    line.Java("text", text).Write();
}

void PrintLineToSystemOut(std::u16string_view text) {
    PrintTo(Vm().systemOut, "out", std::u16string(text) + std::u16string(kLineSeparator));
}

void PrintLineToSystemErr(std::u16string_view text) {
    PrintTo(Vm().systemErr, "err", std::u16string(text) + std::u16string(kLineSeparator));
}

void PrintException(const ThreadState& thread, const Object* throwable, std::string_view event) {
    LogLine(event)
        .Bytes("thread", thread.name)
        .Bytes("class", throwable->classObject->name)
        .Java("trace", throwable->text)
        .Write();
    std::u16string threadName(thread.name.begin(), thread.name.end());
    PrintTo(Vm().systemErr, "err", u"Exception in thread \"" + threadName + u"\" " + throwable->text);
}

void ExitVm(int code) {
    auto hook = Vm().exitHook;
    LogLine("exit").Number("code", code).Number("hook", hook != nullptr).Number("thread", GetCurrentThreadId()).Write();
    // A real VM runs its exit hook and ends the process from the thread that
    // called System.exit; other threads may still want the model meanwhile.
    ModelUnlock unlock;
    if (hook != nullptr) {
        hook(code);
        LogLine("exit-hook-returned").Number("code", code).Write();
    }
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace orvo::testjvm
