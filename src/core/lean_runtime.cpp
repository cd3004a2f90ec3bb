// The launchers are built without C++ exceptions and link this file in place of the
// parts of the C++ runtime that raise them: the global allocation functions and the
// standard library's out-of-line error paths. Each fault ends the process through
// RaiseOrvoError, as an uncaught exception would, so the executables need neither the
// exception runtime nor the thread library and string formatting it drags along.
// The test programs keep the full runtime.
#include <cstdlib>
#include <new>

#include "foundation/orvo_error.h"

void* operator new(std::size_t size) {
    // malloc(0) may give null; new must not.
    if (void* block = std::malloc(size ? size : 1)) return block;
    orvo::RaiseOrvoError(orvo::kErrorOutOfMemory);
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace std {

void __throw_bad_alloc() { orvo::RaiseOrvoError(orvo::kErrorOutOfMemory); }
void __throw_bad_array_new_length() { orvo::RaiseOrvoError(orvo::kErrorOutOfMemory); }
void __throw_length_error(const char*) { orvo::RaiseOrvoError(orvo::kErrorArithmeticOverflow); }
void __throw_out_of_range(const char*) { orvo::RaiseOrvoError(orvo::kErrorBounds); }
void __throw_out_of_range_fmt(const char*, ...) { orvo::RaiseOrvoError(orvo::kErrorBounds); }
void __throw_logic_error(const char*) { orvo::RaiseOrvoError(orvo::kErrorFail); }
void __throw_invalid_argument(const char*) { orvo::RaiseOrvoError(orvo::kErrorInvalidArg); }
void __throw_bad_function_call() { orvo::RaiseOrvoError(orvo::kErrorFail); }

}  // namespace std

// The start-up code calls this to patch data the program imports from DLLs by address
// (auto-import). The launchers import none, so the list it walks is empty and the
// runtime's version, with its error reporting through the printf family, is dead
// weight. Should an import of data ever appear, the start stops here rather than run
// with pointers nobody patched.
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST__[];
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST_END__[];

extern "C" void _pei386_runtime_relocator() {
    if (__RUNTIME_PSEUDO_RELOC_LIST__ != __RUNTIME_PSEUDO_RELOC_LIST_END__)
        orvo::RaiseOrvoError(orvo::kErrorFail);
}
