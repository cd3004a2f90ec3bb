#pragma once
// Where the fake Java program's text goes: System.out and System.err are either
// the process's own streams or PrintStreams over a FileOutputStream (written at
// once, UTF-8) or a ByteArrayOutputStream (kept in memory). Every print is logged.
#include <string_view>

#include "testjvm/object_model.h"

namespace orvo::testjvm {

// Writes text through a PrintStream; null means the process stream that `stream`
// ("out" or "err") names.
void PrintTo(Object* printStream, std::string_view stream, std::u16string_view text);
// Prints one line (text and "\r\n") on System.out or System.err.
void PrintLineToSystemOut(std::u16string_view text);
void PrintLineToSystemErr(std::u16string_view text);

// Prints "Exception in thread "<name>" <trace>" on System.err, as a VM does for an
// exception it describes or one left uncaught; logs it under `event`.
void PrintException(const ThreadState& thread, const Object* throwable, std::string_view event);

// System.exit: logs, calls the "exit" hook given at creation, ends the process.
[[noreturn]] void ExitVm(int code);

}  // namespace orvo::testjvm
