#pragma once
// The C runtime library a JVM library writes its own messages with ("Invalid maximum
// heap size", "Error occurred during initialization of VM"). It takes the process's
// standard error once, when it starts, and may have started before the launcher
// could point that handle anywhere; without a handle then, its stderr writes nowhere
// for good. The VM's "vfprintf" hook reaches those messages instead, and passes
// everything else on to this runtime's own vfprintf.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <optional>

namespace orvo {

class RuntimeCrt {
public:
    // The C runtime that the loaded `library` imports its stdio from: the universal
    // one (Java 9 and later) or a Visual C++ one (msvcr*.dll, older Java); nullopt for
    // any other, or when its functions cannot be found.
    static std::optional<RuntimeCrt> Of(HMODULE library);

    // True for that runtime's stderr and stdout streams.
    bool IsStandardError(const FILE* stream) const noexcept { return stream == standardError_; }
    bool IsStandardOutput(const FILE* stream) const noexcept { return stream == standardOutput_; }

    // That runtime's vfprintf, as the VM would have called it (stdout flushed at once).
    int Print(FILE* stream, const char* format, va_list arguments) const;

    // That runtime's vsnprintf: the VM's formats are written for its conversions. The
    // text is cut to fit `buffer` and always terminated; returns the length written.
    std::size_t Format(char* buffer, std::size_t size, const char* format, va_list arguments) const;

private:
    using UniversalPrint = int(__cdecl*)(unsigned long long options, FILE* stream, const char* format,
                                         void* locale, va_list arguments);
    using VisualCppPrint = int(__cdecl*)(FILE* stream, const char* format, va_list arguments);
    using UniversalFormat = int(__cdecl*)(unsigned long long options, char* buffer, std::size_t size,
                                          const char* format, void* locale, va_list arguments);
    using VisualCppFormat = int(__cdecl*)(char* buffer, std::size_t size, const char* format, va_list arguments);
    using Flush = int(__cdecl*)(FILE* stream);

    FILE* standardOutput_ = nullptr;
    FILE* standardError_ = nullptr;
    Flush flush_ = nullptr;
    UniversalPrint universalPrint_ = nullptr;
    VisualCppPrint visualCppPrint_ = nullptr;
    UniversalFormat universalFormat_ = nullptr;
    VisualCppFormat visualCppFormat_ = nullptr;
};

}  // namespace orvo
