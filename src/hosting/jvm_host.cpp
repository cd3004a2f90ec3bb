#include "hosting/jvm_host.h"

#include "foundation/dll_search.h"
#include "foundation/error_box.h"
#include "foundation/messages.h"
#include "foundation/path_text.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "hosting/ansi_text.h"
#include "hosting/create_jvm_reason.h"

namespace orvo {

namespace {

char kAbortOption[] = "abort";
char kExitOption[] = "exit";

using AddDllDirectoryFunction = void*(WINAPI*)(const wchar_t* folder);

// Looked up at run time: without the DLL-search update (a Windows 7 without it) the
// launcher must still start, so the import may not be bound at load time.
AddDllDirectoryFunction FindAddDllDirectory() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return nullptr;
    return reinterpret_cast<AddDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "AddDllDirectory")));
}

// The runtime's bin folder holds the libraries jvm.dll depends on; the system ones
// (version.dll, winmm.dll, wsock32.dll) must come from System32, never from the
// launcher's folder, which the default folders would search first. Where the
// search-folder flags are unknown, the altered search path starts at jvm.dll's own
// folder, and the bin folder is reached through Path (PrepareEnvironment put it there).
HMODULE LoadRuntimeLibrary(const std::wstring& path) {
    AddDllDirectoryFunction addDllDirectory = FindAddDllDirectory();
    if (addDllDirectory) {
        addDllDirectory(StripPathComponents(path, 2).c_str());  // the cookie is not kept
        HMODULE library = LoadLibraryExW(path.c_str(), nullptr, kRuntimeLibrarySearch);
        if (library || GetLastError() != ERROR_INVALID_PARAMETER) return library;
    }
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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

}  // namespace

// The process ends inside the VM after this hook, so the trace's last word is here.
void JNICALL JvmExitHook(jint code) {
    if (TraceEnabled()) Trace(L"exit", L"code " + std::to_wstring(code) + L" from System.exit");
}

void JNICALL JvmAbortHook() {}

bool CJvmHost::LoadJvmLibrary(const std::wstring& path) {
    jvmPath = path;
    HMODULE library = LoadRuntimeLibrary(path);  // deliberately never freed
    if (!library) {
        int error = static_cast<int>(GetLastError());
        if (TraceEnabled()) Trace(L"jvm", L"cannot load " + path + L" (errno = " + std::to_wstring(error) + L")");
        ShowErrorBoxWithCode(ErrorBoxOwner(), LoadMessage(IDS_JVM_LOAD_FAILED), path, error);
        return false;
    }
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

bool CJvmHost::CreateJvm() {
    if (!createJavaVM) return false;
    std::vector<JavaVMOption> options;
    options.reserve(optionList.size() + 2);
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
        if (TraceEnabled()) Trace(L"jvm", L"JNI_CreateJavaVM failed with " + std::to_wstring(result));
        // A failed creation may leave anything behind; teardown must not destroy it.
        vm_ = nullptr;
        env = nullptr;
        ReportCreationFailure(result);
        return false;
    }
    RedirectStandardStreams();
    return true;
}

void CJvmHost::ReportCreationFailure(jint result) const {
    unsigned reasonId = CreateJvmReasonId(result);
    std::wstring reason = reasonId != 0 ? LoadMessage(reasonId) : std::wstring();
    std::wstring text = FillTemplate(LoadMessage(IDS_JNI_EXCEPTION), {LoadMessage(IDS_CREATE_VM_FAILED), reason});
    ShowErrorBox(ErrorBoxOwner(), text);
}

void CJvmHost::DestroyJvm() {
    if (!vm_) return;
    vm_->DestroyJavaVM();
    vm_ = nullptr;
    env = nullptr;
}

}  // namespace orvo
