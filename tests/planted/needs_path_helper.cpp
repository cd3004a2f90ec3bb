// A stand-in for a Java program's native library: loaded with System.load, it
// imports orvo_path_helper.dll, which the system must find through Path.
#include <windows.h>

extern "C" __declspec(dllimport) int OrvoPathHelper();

extern "C" __declspec(dllexport) int OrvoNeedsPathHelper() { return OrvoPathHelper(); }
