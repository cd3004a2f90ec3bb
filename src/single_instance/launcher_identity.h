#pragma once
// What names a launcher's single-instance objects: the file, not the way it was
// started. "C:\Apps\MyApp.exe", "c:\apps\myapp.EXE" and a short name of it are one
// file on Windows, and so one program with one running instance.
#include <optional>
#include <string>

namespace orvo {

// The final path of the executable at `path`, in upper case (the invariant culture's
// rule, close to the file system's own). nullopt when the file cannot be opened.
std::optional<std::wstring> ExecutableIdentity(const std::wstring& path);

}  // namespace orvo
