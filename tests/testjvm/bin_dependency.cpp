// testjvm_bin_dependency.dll: a library that one build of the test JVM imports and
// that lies in the runtime's bin folder, as a real jvm.dll's runtime libraries do.
// Loading that build works only when bin is among the DLL search folders.
#include <windows.h>

extern "C" __declspec(dllexport) int TestJvmBinDependency() { return 0x7E57; }
