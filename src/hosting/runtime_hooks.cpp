#include "hosting/runtime_hooks.h"

#include <string_view>
#include <utility>

#include "foundation/error_box.h"
#include "foundation/messages.h"
#include "foundation/text_format.h"
#include "foundation/trace.h"
#include "hosting/class_data_cache.h"
#include "hosting/runtime_output_text.h"
#include "hosting/startup_error_capture.h"

namespace orvo {

namespace {

RuntimeHookState hookState;

// One message of the VM; a longer one is cut, more than an error box shows anyway.
constexpr std::size_t kPrintHookBufferSize = 4096;

// Before main started, what the runtime wrote on its way out is all the user can learn.
void ReportRuntimeStoppedBeforeMain() {
    StartupErrorCapture* capture = StartupErrorCapture::Active();
    if (!capture) return;
    std::wstring output = TidyRuntimeOutput(capture->Finish());
    if (output.empty()) return;
    ShowErrorBox(ErrorBoxOwner(), StartupFailureText(HookState().startupFailureLead, output));
}

bool PrintsAotRecordedNotice(FILE* stream, const char* format, va_list arguments) {
    if (!HookState().runtimeCrt->IsStandardOutput(stream)) return false;
    char text[kPrintHookBufferSize];
    va_list copy;
    va_copy(copy, arguments);
    std::size_t length = HookState().runtimeCrt->Format(text, sizeof text, format, copy);
    va_end(copy);
    return IsAotRecordedNotice(std::string_view(text, length));
}

}  // namespace

RuntimeHookState& HookState() noexcept { return hookState; }

std::wstring StartupFailureText(std::wstring text, const std::wstring& runtimeOutput) {
    if (runtimeOutput.empty()) return text;
    if (text.empty()) return FillTemplate(LoadMessage(IDS_RUNTIME_STOPPED_BEFORE_MAIN), {runtimeOutput});
    // A blank line between the launcher's words and the runtime's.
    text += text.back() == L'\n' ? L"\n" : L"\n\n";
    return text + FillTemplate(LoadMessage(IDS_RUNTIME_REPORTED), {runtimeOutput});
}

// While the VM starts, what it writes to a stderr (or stdout) that leads nowhere is
// kept for the box of a failed start; everything else goes where the VM would have
// written it. The VM reports an exception during its initialisation on stdout.
jint JNICALL JvmPrintHook(FILE* stream, const char* format, va_list arguments) {
    const std::optional<RuntimeCrt>& runtimeCrt = HookState().runtimeCrt;
    StartupErrorCapture* capture = StartupErrorCapture::Active();
    bool kept = capture && (runtimeCrt->IsStandardError(stream) ||
                            (capture->takesStandardOutput() && runtimeCrt->IsStandardOutput(stream)));
    if (!kept) {
        if (HookState().hidesAotRecordedNotice && PrintsAotRecordedNotice(stream, format, arguments)) return 0;
        return runtimeCrt->Print(stream, format, arguments);
    }
    char text[kPrintHookBufferSize];
    std::size_t length = runtimeCrt->Format(text, sizeof text, format, arguments);
    if (length > 0) capture->Write(std::string_view(text, length));
    return static_cast<jint>(length);
}

// The process ends inside the VM after this hook, so the trace's last word is here.
void JNICALL JvmExitHook(jint code) {
    if (TraceEnabled()) Trace(L"exit", FillTemplate(L"code %d from System.exit", {}, code));
    ReportRuntimeStoppedBeforeMain();
    // The VM has written the AOT configuration of this start by now.
    StartAotCacheAssembly();
    if (hookState.vmExitListener) hookState.vmExitListener(static_cast<int>(code));
}

void SetVmExitListener(void (*listener)(int status)) noexcept { hookState.vmExitListener = listener; }

void JNICALL JvmAbortHook() { ReportRuntimeStoppedBeforeMain(); }

}  // namespace orvo
