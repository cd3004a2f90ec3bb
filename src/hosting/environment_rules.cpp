#include "hosting/environment_rules.h"

#include "foundation/path_text.h"

namespace orvo {

std::wstring RuntimeHomeFolder(std::wstring_view jvmPath) {
    return StripPathComponents(std::wstring(jvmPath), 3);
}

std::wstring RuntimeBinFolder(std::wstring_view jvmPath) {
    return StripPathComponents(std::wstring(jvmPath), 2);
}

std::wstring ComposeJavaLibraryPath(std::wstring_view setting, std::wstring_view launcherFolder,
                                    std::wstring_view runtimeHome) {
    std::wstring path(setting);
    path += L';';
    path += launcherFolder;
    path += L"\\;.;%Path%;";
    path += runtimeHome;
    path += L"\\lib";
    return path;
}

std::wstring ComposeSearchPath(std::wstring_view systemPath, std::wstring_view runtimeBin) {
    std::wstring path(systemPath);
    if (!path.empty() && path.back() != L';') path += L';';
    path += L"%Path%;";
    path += runtimeBin;
    return path;
}

}  // namespace orvo
