#include "hosting/runtime_crt.h"

#include <string>
#include <string_view>

namespace orvo {

namespace {

// The universal C runtime's stdio, as its API set names it.
constexpr std::string_view kUniversalStdio = "api-ms-win-crt-stdio-l1-1-0.dll";

using UniversalStreams = FILE*(__cdecl*)(unsigned index);
using VisualCppStreams = FILE*(__cdecl*)();

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsAnyCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// "msvcr100.dll" and its kind, but not the system's own msvcrt.dll.
bool IsVisualCppRuntime(std::string_view name) {
    return name.size() > 5 && EqualsAnyCase(name.substr(0, 5), "msvcr") && name[5] >= '0' && name[5] <= '9';
}

// The first imported module that is a C runtime with stdio. The image is the one the
// system loader mapped and checked, so its import directory is read as it lies.
std::optional<std::string_view> ImportedCrtName(HMODULE library) {
    auto base = reinterpret_cast<const unsigned char*>(library);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0) return std::nullopt;
    for (auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        std::string_view name = reinterpret_cast<const char*>(base + entry->Name);
        if (EqualsAnyCase(name, kUniversalStdio) || IsVisualCppRuntime(name)) return name;
    }
    return std::nullopt;
}

}  // namespace

std::optional<RuntimeCrt> RuntimeCrt::Of(HMODULE library) {
    std::optional<std::string_view> name = ImportedCrtName(library);
    if (!name) return std::nullopt;
    // Loaded with the library already; nothing is loaded here.
    HMODULE module = GetModuleHandleA(std::string(*name).c_str());
    if (!module) return std::nullopt;
    RuntimeCrt crt;
    if (auto streams = Export<UniversalStreams>(module, "__acrt_iob_func")) {
        crt.standardOutput_ = streams(1);
        crt.standardError_ = streams(2);
        crt.universalPrint_ = Export<UniversalPrint>(module, "__stdio_common_vfprintf");
        crt.universalFormat_ = Export<UniversalFormat>(module, "__stdio_common_vsprintf");
    } else if (auto table = Export<VisualCppStreams>(module, "__iob_func")) {
        // Their FILE records have the layout of the one this launcher is built with.
        crt.standardOutput_ = table() + 1;
        crt.standardError_ = table() + 2;
        crt.visualCppPrint_ = Export<VisualCppPrint>(module, "vfprintf");
        crt.visualCppFormat_ = Export<VisualCppFormat>(module, "_vsnprintf");
    }
    crt.flush_ = Export<Flush>(module, "fflush");
    bool universal = crt.universalPrint_ && crt.universalFormat_;
    bool visualCpp = crt.visualCppPrint_ && crt.visualCppFormat_;
    if (!crt.standardError_ || !crt.flush_ || (!universal && !visualCpp)) return std::nullopt;
    return crt;
}

int RuntimeCrt::Print(FILE* stream, const char* format, va_list arguments) const {
    // The options the runtime's own inline vfprintf passes: none.
    int length = universalPrint_ ? universalPrint_(0, stream, format, nullptr, arguments)
                                 : visualCppPrint_(stream, format, arguments);
    // Without the hook the VM writes its terminal output unbuffered, straight to the
    // descriptor; the runtime buffers stdout to a file or a pipe.
    if (stream == standardOutput_) flush_(stream);
    return length;
}

std::size_t RuntimeCrt::Format(char* buffer, std::size_t size, const char* format, va_list arguments) const {
    if (size == 0) return 0;
    // The universal runtime's own vsnprintf asks for the standard behaviour: the
    // whole length back and the text terminated. The older _vsnprintf gives -1 when
    // the text does not fit and then leaves it unterminated.
    constexpr unsigned long long kStandardSnprintfBehaviour = 0x2;
    int length = universalFormat_ ? universalFormat_(kStandardSnprintfBehaviour, buffer, size, format, nullptr, arguments)
                                  : visualCppFormat_(buffer, size, format, arguments);
    bool cut = universalFormat_ ? length >= 0 && static_cast<std::size_t>(length) >= size : length < 0;
    std::size_t kept = cut ? size - 1 : length < 0 ? 0 : static_cast<std::size_t>(length);
    buffer[kept] = '\0';
    return kept;
}

}  // namespace orvo
