#pragma once
// The values of the keys that say how a service stops. Pure: no Windows calls.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// How long a service waits for the Java program to end once it was asked to stop,
// before the process ends itself: long enough for shutdown hooks that close files
// and connections, short enough for a system that is shutting down.
inline constexpr std::uint32_t kDefaultServiceStopTimeoutSeconds = 20;
inline constexpr std::uint32_t kMaxServiceStopTimeoutSeconds = 3600;

// "Service Stop Timeout": whole seconds from 1 to 3600, blanks around them allowed;
// anything else (empty, 0, a sign, a fraction, too large) gives the default.
std::uint32_t ParseServiceStopTimeout(std::wstring_view text);

// A static method named the way Java code names it: a class, a ".", a method.
struct JavaStaticMethodName {
    std::wstring className;   // "/"-separated, as JNI FindClass wants it
    std::wstring methodName;
};

// "com.example.Main.stop" gives com/example/Main and stop; blanks around the text are
// ignored. nullopt when no "." parts class from method or a part is empty.
std::optional<JavaStaticMethodName> ParseStaticMethodName(std::wstring_view text);

}  // namespace orvo
