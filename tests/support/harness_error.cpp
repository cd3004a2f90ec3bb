#include "support/harness_error.h"

#include <string>

#include "support/wide_text.h"

namespace orvo::test {

HarnessError::HarnessError(std::wstring_view message) : std::runtime_error(Utf8(message)) {}

HarnessError::HarnessError(std::wstring_view message, unsigned long errorCode)
    : std::runtime_error(Utf8(std::wstring(message) + L": " + SystemErrorText(errorCode) + L" (error " +
                              std::to_wstring(errorCode) + L")")) {}

}  // namespace orvo::test
