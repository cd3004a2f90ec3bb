#pragma once
// The end-to-end harness throws this when it cannot do its own work (a missing
// environment variable, a folder it cannot make). GoogleTest reports the exception
// as a failure of the running test, so a broken set-up never passes silently.
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvo::test {

class HarnessError : public std::runtime_error {
public:
    explicit HarnessError(std::wstring_view message);
    // The message followed by the system's text for errorCode and the number itself.
    HarnessError(std::wstring_view message, unsigned long errorCode);
};

}  // namespace orvo::test
