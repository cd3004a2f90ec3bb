#pragma once
// The one exception type of orvo-pack: a failure the user is told about, with the exit
// status that says what kind of failure it was.
#include <stdexcept>
#include <string>

namespace orvo::pack {

enum class ExitStatus : int {
    kSuccess = 0,
    kBadInput = 1,     // an input file is not what it should be
    kUsage = 2,        // the command line is wrong
    kFileAccess = 3,   // a file cannot be read, or the output cannot be written
};

class PackError : public std::runtime_error {
public:
    explicit PackError(const std::string& message, ExitStatus status = ExitStatus::kBadInput)
        : std::runtime_error(message), status_(status) {}

    ExitStatus status() const noexcept { return status_; }

private:
    ExitStatus status_;
};

}  // namespace orvo::pack
