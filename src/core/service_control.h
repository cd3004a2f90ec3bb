#pragma once
// A launcher in service mode that the service control manager started is the service
// itself: it connects to the manager, tells it how the start goes, and answers its
// stop by asking the Java program to end.
#include <optional>

namespace orvo {

class CLauncherApp;

// After the settings were read (`settingsRead` false: they were incomplete, which
// was reported): runs Init and Run as the service when the service control manager
// started this process, and returns the exit code once the service has stopped (a
// program that ends through System.exit ends the process itself with its status).
// nullopt, at once, when the process was started any other way; the caller then
// launches as usual.
std::optional<int> RunUnderServiceManager(CLauncherApp& app, bool settingsRead);

}  // namespace orvo
