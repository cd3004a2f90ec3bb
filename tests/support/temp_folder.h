#pragma once
// A fresh folder for one test, under the test run's scratch folder (the current
// directory, which CTest points into the build tree); removed with its contents.
#include <string>

namespace orvo::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path, without a trailing backslash.
    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Writes bytes to a file, creating nothing else. Returns false when it cannot.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; empty when it cannot.
std::string ReadFileBytes(const std::wstring& path);
// Creates a folder and every missing folder above it.
bool MakeFolders(const std::wstring& path);
// Removes a folder tree (long paths allowed).
void RemoveTree(const std::wstring& path);
// Value of an environment variable of the test run; empty when unset.
std::wstring TestEnv(const wchar_t* name);

}  // namespace orvo::test
