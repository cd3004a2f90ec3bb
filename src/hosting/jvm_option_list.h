#pragma once
// The option strings handed to JNI_CreateJavaVM, in the order they were appended.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

class JvmOptionList {
public:
    // Appends the option converted to the thread's ANSI code page (see ToThreadAnsi).
    void Append(std::wstring_view option);

    std::size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    // The entries as zero-terminated narrow strings; they live as long as the list.
    const std::vector<std::string>& entries() const noexcept { return entries_; }

private:
    std::vector<std::string> entries_;
};

}  // namespace orvo
