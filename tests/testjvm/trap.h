#pragma once
// Loud failure. A JNI function the test library does not implement, or a call a
// real VM would not survive (an env used on the wrong thread, a deleted local
// reference, a method ID of another class), ends the process at once with a
// distinctive exit code, after a log line and a line on standard error.
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <utility>

namespace orvo::testjvm {

inline constexpr unsigned kUnimplementedExitCode = 0x7E57;
inline constexpr unsigned kMisuseExitCode = 0x7E58;

// Logs "trap table=<table> slot=<slot>" and ends the process with kUnimplementedExitCode.
[[noreturn]] void Unimplemented(const char* table, std::size_t slot);
// Logs "misuse text=<what>" and ends the process with kMisuseExitCode.
[[noreturn]] void Misuse(std::string_view what);

namespace detail {

inline constexpr const char* kTableNames[] = {"env", "vm"};

// Called through a slot of a JNI function table with whatever arguments the caller
// passes; it never returns, so the calling convention does not matter.
template <int TableId, std::size_t Slot>
[[noreturn]] void TrapSlot() {
    Unimplemented(kTableNames[TableId], Slot);
}

using TrapFunction = void (*)();

template <int TableId, std::size_t... Slots>
constexpr std::array<TrapFunction, sizeof...(Slots)> MakeTraps(std::index_sequence<Slots...>) {
    return {&TrapSlot<TableId, Slots>...};
}

}  // namespace detail

inline constexpr int kEnvTable = 0;
inline constexpr int kVmTable = 1;

// A JNI function table whose every slot, reserved ones included, is a trap naming
// its own index; the caller then assigns the members it implements.
template <typename Table, int TableId>
Table TrapTable() {
    static_assert(sizeof(Table) % sizeof(void*) == 0, "a JNI table holds pointers only");
    constexpr std::size_t kSlots = sizeof(Table) / sizeof(void*);
    auto traps = detail::MakeTraps<TableId>(std::make_index_sequence<kSlots>());
    Table table;
    std::memcpy(&table, traps.data(), sizeof table);
    return table;
}

}  // namespace orvo::testjvm
