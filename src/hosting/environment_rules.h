#pragma once
// The texts the launcher puts into the process environment for the JVM library and
// the Java program: the runtime's home and bin folders, the native library path and
// the new search path. Pure, no <windows.h>; %NAME% references are left for the caller
// to expand.
#include <string>
#include <string_view>

namespace orvo {

// The runtime's home folder: the JVM library path without its last three components
// (...\jre\bin\server\jvm.dll gives ...\jre).
std::wstring RuntimeHomeFolder(std::wstring_view jvmPath);

// The runtime's bin folder: the JVM library path without its last two components.
std::wstring RuntimeBinFolder(std::wstring_view jvmPath);

// "<setting>;<launcherFolder>\;.;%Path%;<runtimeHome>\lib", unexpanded.
std::wstring ComposeJavaLibraryPath(std::wstring_view setting, std::wstring_view launcherFolder,
                                    std::wstring_view runtimeHome);

// "[<systemPath>;]%Path%;<runtimeBin>", unexpanded; a system path that already ends with
// ";" gets no second separator, an empty one adds nothing.
std::wstring ComposeSearchPath(std::wstring_view systemPath, std::wstring_view runtimeBin);

}  // namespace orvo
