// A library a Java program's native library depends on, found through Path (the
// "System Path" setting puts its folder there). The tests plant planted.dll under
// its name where the search must not look.
#include <windows.h>

extern "C" __declspec(dllexport) int OrvoPathHelper() { return 42; }
