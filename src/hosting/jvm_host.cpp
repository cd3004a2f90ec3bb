#include "hosting/jvm_host.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "foundation/dll_search.h"
#include "foundation/error_box.h"
#include "foundation/launcher_path.h"
#include "foundation/messages.h"
#include "foundation/path_text.h"
#include "foundation/paths.h"
#include "foundation/pe_image_view.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "hosting/ansi_text.h"
#include "hosting/class_data_cache.h"
#include "hosting/create_jvm_reason.h"
#include "hosting/environment_rules.h"
#include "hosting/runtime_hooks.h"
#include "hosting/runtime_output_text.h"

namespace orvo {

namespace {

char kAbortOption[] = "abort";
char kExitOption[] = "exit";
char kPrintOption[] = "vfprintf";

// The runtime's bin folder holds the libraries jvm.dll depends on; the system ones
// (version.dll, winmm.dll, wsock32.dll) must come from System32, never from the
// launcher's folder, which the default folders would search first.
HMODULE LoadJvmLibraryFile(const std::wstring& path) {
    return LoadRuntimeLibrary(path, {StripPathComponents(path, 2)});
}

template <typename Function>
Function ResolveExport(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// What the VM is given, as it is given (after the conversion to the code page).
void TraceVmOptions(const std::vector<JavaVMOption>& options) {
    if (!TraceEnabled()) return;
    for (const JavaVMOption& option : options) Trace(L"option", FromThreadAnsi(option.optionString));
}

void ReportMissingEntryPoint() {
    int error = static_cast<int>(GetLastError());
    ShowErrorBoxWithCode(ErrorBoxOwner(), LoadMessage(IDS_WINDOWS_EXCEPTION),
                         LoadMessage(IDS_CREATE_JAVA_VM_MISSING), error);
}

constexpr bool kLauncherIs64Bit = sizeof(void*) == 8;

// A library that did not load because it is built for the other launcher: the box says
// which launcher the application needs, not only the system's error number. When the
// configuration names that launcher and the file is not there, it says so instead.
void ReportLoadFailure(const std::wstring& path, DWORD error, const std::wstring& pairProduct) {
    PeImageView image(path);
    if (error == ERROR_BAD_EXE_FORMAT && image.valid() && image.is64() != kLauncherIs64Bit) {
        if (!pairProduct.empty() && !FileExists(pairProduct)) {
            ShowErrorBox(ErrorBoxOwner(),
                         FillTemplate(LoadMessage(IDS_PAIR_PRODUCT_MISSING), {RuntimeHomeFolder(path), pairProduct}));
            return;
        }
        unsigned message = image.is64() ? IDS_RUNTIME_IS_64_BIT : IDS_RUNTIME_IS_32_BIT;
        ShowErrorBoxWithText(ErrorBoxOwner(), LoadMessage(message), RuntimeHomeFolder(path));
        return;
    }
    ShowErrorBoxWithCode(ErrorBoxOwner(), LoadMessage(IDS_JVM_LOAD_FAILED), path, static_cast<int>(error));
}

std::wstring RuntimeFolderNotRepresentable(const std::wstring& jvmPath) {
    return FillTemplate(LoadMessage(IDS_RUNTIME_FOLDER_NOT_REPRESENTABLE), {RuntimeHomeFolder(jvmPath)});
}

void ReportRuntimeFolderNotRepresentable(const std::wstring& jvmPath) {
    ShowErrorBox(ErrorBoxOwner(), RuntimeFolderNotRepresentable(jvmPath));
}

// The runtime finds its own files from the ANSI name of its JVM library, so a library
// whose path the code page lacks letters for is loaded by its short (8.3) name. Empty,
// after a box, when the path has no such name.
std::wstring LoadablePath(const std::wstring& path) {
    if (std::optional<std::wstring> nameable = AnsiNameablePath(path)) return *nameable;
    ReportRuntimeFolderNotRepresentable(path);
    return {};
}

// Whether the name the runtime will read for its library is one it can use: a system
// may keep the short name it was loaded by (Windows does), or give the long one back.
bool RuntimeCanNameItself(HMODULE library) {
    std::optional<std::wstring> name = ModuleFileName(library);
    return !name || RepresentableInThreadAnsi(*name);
}

}  // namespace

bool CJvmHost::LoadJvmLibrary(const std::wstring& path) {
    jvmPath = path;
    std::wstring loadable = LoadablePath(path);
    if (loadable.empty()) return false;
    HMODULE library = LoadJvmLibraryFile(loadable);  // deliberately never freed
    if (!library) {
        DWORD error = GetLastError();
        if (TraceEnabled()) Trace(L"jvm", FillTemplate(L"cannot load %s (errno = %d)", {path}, error));
        ReportLoadFailure(path, error, settings.pairProduct);
        return false;
    }
    if (!RuntimeCanNameItself(library)) {
        ReportRuntimeFolderNotRepresentable(path);
        return false;
    }
    HookState().runtimeCrt = RuntimeCrt::Of(library);
    // Java 9 and later canonicalise their own paths back to the long names, and fail.
    if (loadable != path) HookState().startupFailureLead = RuntimeFolderNotRepresentable(path);
    createJavaVM = ResolveExport<CreateJavaVmFunction>(library, "JNI_CreateJavaVM");
    if (!createJavaVM) {
        ReportMissingEntryPoint();
        return false;
    }
    getDefaultInitArgs = ResolveExport<GetDefaultJavaVmInitArgsFunction>(library, "JNI_GetDefaultJavaVMInitArgs");
    if (!getDefaultInitArgs) {
        ReportMissingEntryPoint();
        return false;
    }
    findClassFromBootLoader = ResolveExport<FindClassFromBootLoaderFunction>(library, "JVM_FindClassFromBootLoader");
    return true;
}

std::uint32_t CJvmHost::QueryDefaultStackSize() const {
    if (!getDefaultInitArgs) return 0;
    Jdk11InitArgs args{};
    args.version = JNI_VERSION_1_1;
    getDefaultInitArgs(&args);  // the result says nothing the stack size does not
    return args.javaStackSize > 0 ? static_cast<std::uint32_t>(args.javaStackSize) : 0;
}

std::uint32_t CJvmHost::ThreadStackSize() const { return xssStackSize != 0 ? xssStackSize : QueryDefaultStackSize(); }

bool CJvmHost::CreateJvm() {
    if (!createJavaVM) return false;
    const bool recordsAotCache = PrepareAotCacheAssembly(optionList.entries());
    HookState().hidesAotRecordedNotice = recordsAotCache;
    std::vector<JavaVMOption> options;
    options.reserve(optionList.size() + 3);
    // First, since the VM reads its options in order and may reject the next one.
    // Only while someone needs it: the hook changes nothing else the VM prints.
    if (HookState().runtimeCrt && (startupErrors.running() || recordsAotCache)) {
        options.push_back({kPrintOption, reinterpret_cast<void*>(&JvmPrintHook)});
    }
    for (const std::string& entry : optionList.entries()) {
        // optionString is not const in jni.h; the VM only reads it.
        options.push_back({const_cast<char*>(entry.c_str()), nullptr});
    }
    options.push_back({kAbortOption, reinterpret_cast<void*>(&JvmAbortHook)});
    options.push_back({kExitOption, reinterpret_cast<void*>(&JvmExitHook)});
    JavaVMInitArgs args{};
    args.version = JNI_VERSION_1_2;
    args.nOptions = static_cast<jint>(options.size());
    args.options = options.data();
    args.ignoreUnrecognized = JNI_FALSE;
    TraceVmOptions(options);
    jint result = createJavaVM(&vm_, reinterpret_cast<void**>(&env), &args);
    if (result != JNI_OK) {
        if (TraceEnabled()) Trace(L"jvm", FillTemplate(L"JNI_CreateJavaVM failed with %d", {}, result));
        // A failed creation may leave anything behind; teardown must not destroy it.
        vm_ = nullptr;
        env = nullptr;
        ReportCreationFailure(result);
        return false;
    }
    ForgetUnusedAotCache(env);
    RedirectStandardStreams();
    return true;
}

void CJvmHost::ReportCreationFailure(jint result) {
    unsigned reasonId = CreateJvmReasonId(result);
    std::wstring reason = reasonId != 0 ? LoadMessage(reasonId) : std::wstring();
    ReportStartupFailure(FillTemplate(LoadMessage(IDS_JNI_EXCEPTION), {LoadMessage(IDS_CREATE_VM_FAILED), reason}));
}

void CJvmHost::ReportStartupFailure(std::wstring text) {
    if (std::exchange(startupFailureReported, true)) return;
    std::wstring output = TidyRuntimeOutput(startupErrors.Finish());
    if (text.empty()) text = HookState().startupFailureLead;
    text = StartupFailureText(std::move(text), output);
    if (!text.empty()) ShowErrorBox(ErrorBoxOwner(), text);
}

void CJvmHost::DestroyJvm() {
    if (!vm_) return;
    vm_->DestroyJavaVM();
    vm_ = nullptr;
    env = nullptr;
    // The VM wrote the AOT configuration of this start as it ended.
    StartAotCacheAssembly();
}

}  // namespace orvo
