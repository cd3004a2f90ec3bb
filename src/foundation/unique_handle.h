#pragma once
// Move-only owners for Windows resources, one template parameterised by a traits
// policy. reset() keeps GetLastError intact while it closes, so an owner going out
// of scope on an error path never hides the error that caused it.
#include <windows.h>

#include <utility>

namespace orvo {

template <typename Traits>
class UniqueHandle {
public:
    using Pointer = typename Traits::Pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Pointer value) noexcept : value_(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    // Closes the owned value (if any) and takes ownership of the new one.
    void reset(Pointer value = Traits::Invalid()) noexcept {
        if (value_ != Traits::Invalid()) {
            DWORD lastError = GetLastError();
            Traits::Close(value_);
            SetLastError(lastError);
        }
        value_ = value;
    }

    // Gives up ownership without closing.
    Pointer release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    // Address for APIs that write a fresh value; closes the current one first.
    Pointer* put() noexcept {
        reset();
        return &value_;
    }

private:
    Pointer value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // null is invalid: threads, processes, events, mappings
    using Pointer = HANDLE;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { CloseHandle(h); }
};
struct FileHandleTraits {  // INVALID_HANDLE_VALUE is invalid: CreateFileW
    using Pointer = HANDLE;
    static Pointer Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Pointer h) noexcept { CloseHandle(h); }
};
struct FindHandleTraits {
    using Pointer = HANDLE;
    static Pointer Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Pointer h) noexcept { FindClose(h); }
};
struct RegKeyTraits {
    using Pointer = HKEY;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { RegCloseKey(h); }
};
struct MappedViewTraits {
    using Pointer = const void*;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer p) noexcept { UnmapViewOfFile(p); }
};
struct HeldMutexTraits {  // ownership of a mutex we acquired: reset releases it
    using Pointer = HANDLE;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { ReleaseMutex(h); }
};
struct ModuleTraits {  // only for modules we do free (never the JVM library)
    using Pointer = HMODULE;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { FreeLibrary(h); }
};
struct GdiObjectTraits {
    using Pointer = HGDIOBJ;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { DeleteObject(h); }
};
struct LocalMemoryTraits {
    using Pointer = HLOCAL;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { LocalFree(h); }
};

struct EventSourceTraits {  // RegisterEventSourceW
    using Pointer = HANDLE;
    static Pointer Invalid() noexcept { return nullptr; }
    static void Close(Pointer h) noexcept { DeregisterEventSource(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueMappedView = UniqueHandle<MappedViewTraits>;
using UniqueHeldMutex = UniqueHandle<HeldMutexTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueEventSource = UniqueHandle<EventSourceTraits>;

// Runs a callable when the scope ends, unless dismissed.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (active_) f_();
    }
    void dismiss() noexcept { active_ = false; }

private:
    F f_;
    bool active_ = true;
};

}  // namespace orvo
