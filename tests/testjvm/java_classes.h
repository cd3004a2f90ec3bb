#pragma once
// The classes of the test VM: the JDK classes a launcher touches, the throwables
// the VM raises, and the classes testjvm.ini declares (application classes with
// main and secondaryMain, and optionally sun/launcher/LauncherHelper).
#include "testjvm/object_model.h"

namespace orvo::testjvm {

// Fills Vm().classes from Vm().settings; called once, when the VM is created.
void DefineClasses();

// Bodies of the JDK methods (java_runtime_methods.cpp).
Value StringInit(CallContext& call);
Value SystemExit(CallContext& call);
Value SystemSetOut(CallContext& call);
Value SystemSetErr(CallContext& call);
Value FileOutputStreamInit(CallContext& call);
Value PrintStreamInit(CallContext& call);
Value ByteArrayOutputStreamInit(CallContext& call);
Value ByteArrayOutputStreamToString(CallContext& call);
Value ThrowablePrintStackTrace(CallContext& call);
Value ThrowableToString(CallContext& call);
Value ThreadCurrentThread(CallContext& call);
Value ThreadGetUncaughtExceptionHandler(CallContext& call);
Value ThreadGroupUncaughtException(CallContext& call);

// Bodies of the declared classes' methods (application_methods.cpp).
Value Main(CallContext& call);
Value SecondaryMain(CallContext& call);
Value CheckAndLoadMain(CallContext& call);

// Sleeps, then waits (bounded by wait_timeout_ms) until the file exists, with the
// model unlocked; a relative file name is taken beside the library.
void WaitAsConfigured(std::string_view who, unsigned sleepMs, const std::u16string& waitFile);

// True when the object is an instance of the class of that name.
bool IsInstanceOf(const Object* object, std::string_view className);

// Closes the files of every FileOutputStream (the library is being unloaded).
void CloseStreamFiles();

}  // namespace orvo::testjvm
