#pragma once
// Paths inside VM options that the thread's ANSI code page cannot carry. The VM takes
// its options as ANSI text, so a class path in "C:\Программы" would reach it as
// "C:\?????????" and name nothing; such a path is replaced by its short (8.3) form,
// which is plain ASCII wherever the file system keeps short names. Pure, no
// <windows.h>: the code page and the file system are reached through OptionPathServices.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

struct OptionPathServices {
    // True when the text survives the conversion to the ANSI code page unchanged.
    std::function<bool(std::wstring_view)> representable;
    // The short form of an existing file or folder (the long form where the file
    // system keeps no short name for it); nullopt when it does not exist.
    std::function<std::optional<std::wstring>(const std::wstring&)> shortForm;
    // True for a path that may reach the VM damaged rather than stop the launch (a
    // folder of the user's Path in java.library.path, which the application does not
    // need). May be empty: no path is.
    std::function<bool(const std::wstring&)> mayStayDamaged;
};

// The option with each path it carries in a form the code page can represent.
struct RepresentedOption {
    std::wstring option;
    // A path that exists but has no form the code page can represent: the VM cannot
    // be given it. Empty when there is none.
    std::wstring unrepresentablePath;
};

// Reads the paths of the option forms that carry them: "-D<name>=" and the module and
// boot class paths ("--module-path=", "--upgrade-module-path=", "--patch-module=m=",
// "-Xbootclasspath/a:") as lists separated by ";", the file of "-javaagent:" and
// "-agentpath:" up to a "=", and the single file of "-XX:ErrorFile=",
// "-XX:HeapDumpPath=" and "-Xloggc:". A path that cannot be represented becomes its
// short form; one that does not exist, its folder's short form and its own name; a
// text that names nothing (not even a folder) is no path and stays as written. Any
// other option, and an option the code page represents whole, stays unchanged.
RepresentedOption RepresentOptionPaths(std::wstring_view option, const OptionPathServices& services);

}  // namespace orvo
