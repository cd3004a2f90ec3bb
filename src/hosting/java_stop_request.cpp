#include "hosting/java_stop_request.h"

#include <optional>

#include "config/service_settings.h"
#include "foundation/messages.h"
#include "foundation/service_log.h"
#include "foundation/text_format.h"
#include "hosting/java_strings.h"
#include "hosting/jni_objects.h"

namespace orvo {
namespace {

// The status of a program stopped because its stop method failed: the one java.exe
// gives for an exception that escapes main.
constexpr int kStopMethodFailedStatus = 1;

// The name in the modified UTF-8 that FindClass and GetStaticMethodID take, made by the
// VM itself; empty when it cannot be had.
std::string JniName(JNIEnv* env, const std::wstring& text) {
    jstring string = NewJavaString(env, text);
    const char* bytes = string ? env->GetStringUTFChars(string, nullptr) : nullptr;
    std::string name = bytes ? bytes : "";
    if (bytes) env->ReleaseStringUTFChars(string, bytes);
    if (string) env->DeleteLocalRef(string);
    return name;
}

}  // namespace

bool CJavaStopRequest::Attach(JavaVM* vm) {
    char threadName[] = "Orvo service stop";
    JavaVMAttachArgs attachArgs{JNI_VERSION_1_2, threadName, nullptr};
    void* env = nullptr;
    if (!vm || vm->AttachCurrentThreadAsDaemon(&env, &attachArgs) != JNI_OK) return false;
    vm_ = vm;
    env_ = static_cast<JNIEnv*>(env);
    return true;
}

void CJavaStopRequest::Send(const std::wstring& stopMethod, const std::vector<std::wstring>& arguments) {
    if (!env_) return;
    if (stopMethod.empty()) {
        CallSystemExit(0);
        return;
    }
    if (!CallStopMethod(stopMethod, arguments)) CallSystemExit(kStopMethodFailedStatus);
}

bool CJavaStopRequest::CallStopMethod(const std::wstring& stopMethod, const std::vector<std::wstring>& arguments) {
    const std::optional<JavaStaticMethodName> name = ParseStaticMethodName(stopMethod);
    const std::string className = name ? JniName(env_, name->className) : std::string();
    const std::string method = name ? JniName(env_, name->methodName) : std::string();
    jclass owner = !className.empty() && !method.empty() ? env_->FindClass(className.c_str()) : nullptr;
    jmethodID withoutArguments = owner ? env_->GetStaticMethodID(owner, method.c_str(), "()V") : nullptr;
    env_->ExceptionClear();
    jmethodID withArguments =
        owner && !withoutArguments ? env_->GetStaticMethodID(owner, method.c_str(), "([Ljava/lang/String;)V") : nullptr;
    if (!withoutArguments && !withArguments) {
        DescribePendingException(env_);
        ReportToServiceLog(FillTemplate(LoadMessage(IDS_SERVICE_STOP_METHOD_MISSING), {stopMethod}));
        return false;
    }
    if (withoutArguments) {
        env_->CallStaticVoidMethod(owner, withoutArguments);
    } else {
        jobjectArray array = NewArgumentArray(env_, arguments);
        if (array) env_->CallStaticVoidMethod(owner, withArguments, array);
    }
    jthrowable thrown = env_->ExceptionOccurred();
    if (!thrown) return true;
    env_->ExceptionClear();
    ReportToServiceLog(
        FillTemplate(LoadMessage(IDS_SERVICE_STOP_METHOD_FAILED), {stopMethod, DescribeException(env_, thrown)}));
    return false;
}

void CJavaStopRequest::CallSystemExit(int status) {
    jclass systemClass = env_->FindClass("java/lang/System");
    jmethodID exitMethod = systemClass ? env_->GetStaticMethodID(systemClass, "exit", "(I)V") : nullptr;
    if (exitMethod) env_->CallStaticVoidMethod(systemClass, exitMethod, static_cast<jint>(status));
    DescribePendingException(env_);  // System.exit normally does not return at all
}

void CJavaStopRequest::Detach() {
    if (vm_ && env_) vm_->DetachCurrentThread();
    env_ = nullptr;
}

}  // namespace orvo
