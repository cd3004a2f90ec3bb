#pragma once
// The one exception type of the launcher. It stands for internal faults of the
// string and container layer only (allocation, bad index, overflow); no launch
// step catches it, so such a fault ends the process without a message box.
#include <cstdint>
#include <exception>

namespace orvo {

// COM error codes carried by OrvoError; spelled out so that pure code needs no <windows.h>.
inline constexpr std::int32_t kErrorFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kErrorInvalidArg = static_cast<std::int32_t>(0x80070057u);
inline constexpr std::int32_t kErrorOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
inline constexpr std::int32_t kErrorBounds = static_cast<std::int32_t>(0x8000000Bu);
inline constexpr std::int32_t kErrorArithmeticOverflow = static_cast<std::int32_t>(0x80070216u);

class OrvoError : public std::exception {
public:
    explicit OrvoError(std::int32_t hresult) noexcept : hresult_(hresult) {}
    std::int32_t hresult() const noexcept { return hresult_; }
    const char* what() const noexcept override { return "orvo internal fault"; }

private:
    std::int32_t hresult_;
};

// Throws OrvoError(hresult). The launcher executables are built without exception
// support to stay small: there, where nothing could catch it anyway, the fault ends
// the process at once with the code on standard error, as an uncaught one would.
[[noreturn]] void RaiseOrvoError(std::int32_t hresult);

}  // namespace orvo
