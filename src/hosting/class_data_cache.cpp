#include "hosting/class_data_cache.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <utility>

#include "config/config_locations.h"
#include "discovery/runtime_release.h"
#include "foundation/path_names.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/trace.h"
#include "foundation/unique_handle.h"
#include "hosting/ansi_text.h"
#include "hosting/class_data_archive.h"
#include "hosting/class_data_cache_name.h"
#include "hosting/environment_rules.h"
#include "hosting/option_paths.h"

namespace orvo {

namespace {

// The runtime's java.exe, which assembles the AOT cache this start records; the
// command line and the configuration it reads, once the VM's options are known.
std::optional<std::wstring> assemblingJava;
std::wstring assemblyCommandLine;
std::wstring assemblyConfiguration;
// The AOT cache this start gives the VM to map: chosen, then given.
std::wstring chosenAotCache;
std::wstring mappedAotCache;

void TraceCache(const std::wstring& text) {
    if (TraceEnabled()) Trace(L"cds", text);
}

// The folder of the per-user configuration copy, made if need be; nullopt without
// APPDATA or when the folder cannot be made (a read-only profile, say).
std::optional<std::wstring> UserFolder(const LauncherSettings& settings, const std::wstring& launcherPath) {
    std::optional<std::wstring> userConfig =
        UserConfigPath(launcherPath, settings.productName, settings.productCode, true);
    if (!userConfig) return std::nullopt;
    std::wstring folder = FolderOf(*userConfig);
    if (!FolderExists(ToLongPathForm(folder))) return std::nullopt;
    return folder;
}

// The base archive a dynamic archive builds on lies beside the JVM library (the one
// without compressed pointers serves heaps above 32 GB).
bool HasBaseArchive(const std::wstring& jvmPath) {
    const std::wstring folder = FolderOf(jvmPath) + L"\\";
    return FileExists(folder + L"classes.jsa") || FileExists(folder + L"classes_nocoops.jsa");
}

ClassPathEntryStamp StampOf(const std::wstring& path) {
    ClassPathEntryStamp stamp{path};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToLongPathForm(path).c_str(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    stamp.writeTime = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

// The runtime leaves its archives read-only.
bool RemoveFile(const std::wstring& path) {
    const std::wstring longPath = ToLongPathForm(path);
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(longPath.c_str()) != FALSE;
}

// Caches this launcher had from another runtime or other jars. One that a running
// instance still maps cannot go yet; a later start removes it.
void RemoveOutdatedCaches(const std::wstring& folder, const std::wstring& launcherPath, const std::wstring& current) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle search(
        FindFirstFileW(ToLongPathForm(folder + L"\\" + ClassDataCachePattern(launcherPath)).c_str(), &data));
    if (!search) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!IsOutdatedClassDataCache(data.cFileName, launcherPath, current)) continue;
        bool removed = RemoveFile(folder + L"\\" + data.cFileName);
        TraceCache(std::wstring(removed ? L"removed " : L"cannot remove yet ") + data.cFileName);
    } while (FindNextFileW(search.get(), &data));
}

enum class CacheFile { kAbsent, kSound, kBusy };

// Readies a cache file left by an earlier start for the runtime. The runtime makes
// its dynamic archive read-only, and on Windows it then cannot replace the file when
// it is stale: that ends the process with 1 as the VM exits, whatever the program
// returned. A file that is not what the runtime writes goes (the runtime would take
// it for an unusable base archive, or an unusable AOT cache, start after start); one
// that cannot go is still being written by an assembly.
CacheFile ReadyCacheFile(ClassDataCacheKind kind, const std::wstring& cache) {
    const std::wstring path = ToLongPathForm(cache);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return CacheFile::kAbsent;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    char head[4] = {};
    DWORD read = 0;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (file && ReadFile(file.get(), head, sizeof head, &read, nullptr) &&
        LooksLikeClassDataCache(kind, std::string_view(head, read))) {
        return CacheFile::kSound;
    }
    file.reset();
    if (DeleteFileW(path.c_str())) {
        TraceCache(L"removed a damaged " + cache);
        return CacheFile::kAbsent;
    }
    return CacheFile::kBusy;
}

std::wstring CacheFilePath(const std::wstring& folder, const std::wstring& jvmPath, const std::wstring& launcherPath,
                           const std::wstring& version, ClassDataCacheKind kind, const std::wstring& classPath) {
    std::vector<ClassPathEntryStamp> stamps;
    for (const std::wstring& entry : ClassPathEntries(classPath)) stamps.push_back(StampOf(entry));
    const std::wstring fingerprint = ClassDataFingerprint(version, jvmPath, stamps);
    return folder + L"\\" + ClassDataCacheName(launcherPath, fingerprint, version, kind);
}

// The options for the cache file at `cache`, which is readied first; none while an
// assembly still writes it.
std::vector<std::wstring> OptionsForCacheFile(ClassDataCacheKind kind, const std::wstring& cache) {
    CacheFile state = ReadyCacheFile(kind, cache);
    if (state == CacheFile::kBusy) {
        TraceCache(L"no class-data cache this time: " + cache + L" is still being written");
        return {};
    }
    const bool sound = state == CacheFile::kSound;
    if (kind == ClassDataCacheKind::kAotCache && sound) chosenAotCache = cache;
    if (kind == ClassDataCacheKind::kAotCache) {
        // Once the cache is there, the configuration it was assembled from has served;
        // one left by a start that ended early goes before a new recording, unless an
        // assembly still reads it.
        const std::wstring configuration = AotConfigurationPath(cache);
        if (!RemoveFile(configuration) && !sound && FileExists(configuration)) {
            TraceCache(L"no class-data cache this time: " + configuration + L" is still being read");
            return {};
        }
        TraceCache((sound ? L"AOT cache " : L"recording the AOT cache's configuration for ") + cache);
    } else {
        TraceCache(L"archive " + cache);
    }
    return ClassDataCacheOptions(kind, cache, sound);
}

// The cache's options for this start, paths as given; none (after saying why in the
// trace) when this runtime or setting has none.
std::vector<std::wstring> ChooseCacheOptions(const std::wstring& jvmPath, const std::wstring& launcherPath,
                                             const LauncherSettings& settings, const std::wstring& classPath) {
    if (VmParametersManageClassData(settings.vm.vmParameters)) {
        TraceCache(L"no class-data cache: the VM parameters choose the class-data sharing");
        return {};
    }
    std::optional<std::wstring> version = ReadReleaseVersion(WithTrailingBackslash(RuntimeHomeFolder(jvmPath)));
    ClassDataCacheChoice choice = ChooseClassDataCache(version.value_or(L""), HasBaseArchive(jvmPath));
    if (choice.kind == ClassDataCacheKind::kNone) {
        TraceCache(L"no class-data cache: " + choice.whyNone);
        return {};
    }
    std::optional<std::wstring> folder = UserFolder(settings, launcherPath);
    if (!folder) {
        TraceCache(L"no class-data cache: no per-user folder");
        return {};
    }
    const std::wstring cache = CacheFilePath(*folder, jvmPath, launcherPath, *version, choice.kind, classPath);
    RemoveOutdatedCaches(*folder, launcherPath, cache.substr(folder->size() + 1));
    return OptionsForCacheFile(choice.kind, cache);
}

// "java.vm.info" names "sharing" while the VM maps class data; an answer that cannot
// be had counts as yes, so that only a cache surely unused goes.
bool VmSharesClassData(JNIEnv* env) {
    bool sharing = true;
    jclass system = env->FindClass("java/lang/System");
    jmethodID getProperty =
        system ? env->GetStaticMethodID(system, "getProperty", "(Ljava/lang/String;)Ljava/lang/String;") : nullptr;
    jstring key = getProperty ? env->NewStringUTF("java.vm.info") : nullptr;
    jobject info = key ? env->CallStaticObjectMethod(system, getProperty, key) : nullptr;
    if (env->ExceptionCheck()) {
        env->ExceptionClear();
    } else if (info) {
        const char* text = env->GetStringUTFChars(static_cast<jstring>(info), nullptr);
        if (text) {
            sharing = std::strstr(text, "sharing") != nullptr;
            env->ReleaseStringUTFChars(static_cast<jstring>(info), text);
        }
    }
    for (jobject local : {static_cast<jobject>(system), static_cast<jobject>(key), info}) {
        if (local) env->DeleteLocalRef(local);
    }
    return sharing;
}

}  // namespace

std::vector<std::wstring> ClassDataCacheOptions(const std::wstring& jvmPath, const std::wstring& launcherPath,
                                                const LauncherSettings& settings, const std::wstring& classPath) {
    std::vector<std::wstring> options = ChooseCacheOptions(jvmPath, launcherPath, settings, classPath);
    OptionPathServices services{&RepresentableInThreadAnsi, &ShortPathName, {}};
    // All options or none: a switch without its file would have the VM complain.
    std::vector<std::wstring> represented;
    for (const std::wstring& option : options) {
        RepresentedOption result = RepresentOptionPaths(option, services);
        if (!result.unrepresentablePath.empty()) {
            TraceCache(L"no class-data cache: the code page cannot name " + result.unrepresentablePath);
            return {};
        }
        represented.push_back(std::move(result.option));
    }
    if (represented.empty()) return represented;
    assemblingJava = RuntimeBinFolder(jvmPath) + L"\\java.exe";
    mappedAotCache = chosenAotCache;
    return represented;
}

bool PrepareAotCacheAssembly(const std::vector<std::string>& vmOptions) {
    if (!assemblingJava) return false;
    std::vector<std::wstring> options;
    for (const std::string& option : vmOptions) options.push_back(FromThreadAnsi(option));
    std::vector<std::wstring> arguments = AotAssemblyArguments(options);
    if (arguments.empty()) return false;
    assemblyCommandLine = CommandLineOf(*assemblingJava, arguments);
    constexpr std::wstring_view kConfiguration = L"-XX:AOTConfiguration=";
    for (const std::wstring& argument : arguments) {
        if (argument.starts_with(kConfiguration)) assemblyConfiguration = argument.substr(kConfiguration.size());
    }
    return true;
}

void ForgetUnusedAotCache(JNIEnv* env) {
    if (mappedAotCache.empty() || VmSharesClassData(env)) return;
    bool removed = RemoveFile(mappedAotCache);
    TraceCache(std::wstring(removed ? L"removed " : L"cannot remove ") + mappedAotCache + L", which the VM did not use");
}

void StartAotCacheAssembly() {
    std::wstring commandLine = std::exchange(assemblyCommandLine, std::wstring());
    if (commandLine.empty()) return;
    // A VM that crashed, or could not write, left nothing to assemble.
    if (!FileExists(assemblyConfiguration)) {
        TraceCache(L"no AOT configuration was written: " + assemblyConfiguration);
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // The assembly outlives the launcher: it must neither hold the program's output
    // pipes open nor show a console, and the user's next start comes first.
    const DWORD flags = CREATE_NO_WINDOW | BELOW_NORMAL_PRIORITY_CLASS;
    if (!CreateProcessW(assemblingJava->c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, &process)) {
        TraceCache(L"cannot start the AOT cache's assembly: " + commandLine);
        return;
    }
    UniqueKernelHandle child(process.hProcess);
    UniqueKernelHandle childThread(process.hThread);
    TraceCache(L"assembling the AOT cache: " + commandLine);
}

}  // namespace orvo
