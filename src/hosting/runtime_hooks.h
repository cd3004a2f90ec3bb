#pragma once
// The C hooks every VM the launcher creates is given ("exit", "abort", "vfprintf"),
// and the one place of the state they need. The VM calls them without a context
// argument, so that state lives at file scope: written by the launch before any VM
// thread exists, read-only afterwards.
#include <windows.h>

#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>

#include "hosting/runtime_crt.h"

namespace orvo {

struct RuntimeHookState {
    // The C runtime of the loaded JVM library, when it is one the print hook can pass
    // output on to.
    std::optional<RuntimeCrt> runtimeCrt;
    // What a start that fails says first, before the runtime's words: set when the
    // runtime was loaded by its short name and so may not find its own files.
    std::wstring startupFailureLead;
    // Told by the exit hook, last, the status the VM is about to end the process with
    // (System.exit, Runtime.halt), on whatever thread the VM exits on; null: nobody is.
    void (*vmExitListener)(int status) = nullptr;
    // The VM records an AOT configuration: the print hook stays for the whole run and
    // keeps the runtime's notice of it off the program's output.
    bool hidesAotRecordedNotice = false;
};

// The process's one hook state.
RuntimeHookState& HookState() noexcept;

// The text of the box for a start that failed: the launcher's words (may be empty)
// followed by what the runtime wrote, or either alone; empty when both are.
std::wstring StartupFailureText(std::wstring text, const std::wstring& runtimeOutput);

// Before main started, the exit and abort hooks show what the runtime wrote to a
// standard error that leads nowhere (the runtime's launcher helper reports a main class
// it cannot load so, and exits with 1); then the VM goes on with its own exit or
// abort, and its exit code.
void JNICALL JvmExitHook(jint code);
void JNICALL JvmAbortHook();
// Sets HookState().vmExitListener; call it before the VM is created.
void SetVmExitListener(void (*listener)(int status)) noexcept;
// The "vfprintf" hook, given to the VM while the startup-error capture runs or while
// hidesAotRecordedNotice is set. Needs HookState().runtimeCrt.
jint JNICALL JvmPrintHook(FILE* stream, const char* format, va_list arguments);

}  // namespace orvo
