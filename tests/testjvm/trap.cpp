#include "testjvm/trap.h"

#include <windows.h>

#include <string>

#include "testjvm/vm_log.h"

namespace orvo::testjvm {

namespace {

[[noreturn]] void EndProcess(const std::string& message, unsigned exitCode) {
    std::u16string text = u"testjvm: ";
    text.append(message.begin(), message.end());
    WriteToProcessStream(STD_ERROR_HANDLE, text + u"\r\n");
    ExitProcess(exitCode);
}

}  // namespace

void Unimplemented(const char* table, std::size_t slot) {
    LogLine("trap").Bytes("table", table).Number("slot", static_cast<long long>(slot)).Write();
    EndProcess(std::string("unimplemented ") + table + " slot " + std::to_string(slot), kUnimplementedExitCode);
}

void Misuse(std::string_view what) {
    LogLine("misuse").Bytes("text", what).Write();
    EndProcess("JNI misuse: " + std::string(what), kMisuseExitCode);
}

}  // namespace orvo::testjvm
