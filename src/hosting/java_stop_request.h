#pragma once
// Asks a running Java program to stop, from a thread of the launcher's own: a
// service's answer to the service manager's stop.
#include <jni.h>

#include <string>
#include <vector>

namespace orvo {

class CJavaStopRequest {
public:
    CJavaStopRequest() = default;
    CJavaStopRequest(const CJavaStopRequest&) = delete;
    CJavaStopRequest& operator=(const CJavaStopRequest&) = delete;

    // Attaches the calling thread to the VM as a daemon thread, which DestroyJavaVM
    // does not wait for. False when the VM refuses.
    bool Attach(JavaVM* vm);

    // On the attached thread: calls the static method that the "Service Stop Method"
    // text names, as stop() or else stop(String[]) with `arguments`; with an empty text
    // calls System.exit(0), so that the program's shutdown hooks run. A method that
    // cannot be found or throws is reported to the service log and the program is
    // stopped with System.exit(1). Returns when the stop method returns; System.exit
    // does not return.
    void Send(const std::wstring& stopMethod, const std::vector<std::wstring>& arguments);

    // Ends the attachment. Not for a VM that is being destroyed: that call would block.
    void Detach();

private:
    bool CallStopMethod(const std::wstring& stopMethod, const std::vector<std::wstring>& arguments);
    void CallSystemExit(int status);

    JavaVM* vm_ = nullptr;
    JNIEnv* env_ = nullptr;
};

}  // namespace orvo
