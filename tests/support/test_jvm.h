#pragma once
// Java runtimes made of the test JVM library (tests/testjvm): a folder laid out
// like a runtime home (bin\java.dll marker, bin\server\jvm.dll or
// bin\client\jvm.dll), the testjvm.ini that chooses the library's behaviour, and
// the reading of the testjvm.log it writes beside itself.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::test {

enum class TestJvmFlavor { kServer, kClient };

// Which build of the library: every export, or one export missing, or every
// export and an import of testjvm_bin_dependency.dll, which the runtime then
// holds in its bin folder (the library loads only with bin on the DLL search path).
enum class TestJvmVariant { kComplete, kNoFindClassFromBootLoader, kNoCreateJavaVM, kNoDefaultInitArgs, kNeedsBinDll };

// kSame: built for this test program's architecture; kPair: for the other one.
enum class TestJvmArch { kSame, kPair };

// The built library file (ORVO_TEST_JVM_DIR or ORVO_PAIR_TEST_JVM_DIR).
std::wstring TestJvmLibrary(TestJvmVariant variant = TestJvmVariant::kComplete, TestJvmArch arch = TestJvmArch::kSame);
// The probe program of this architecture (tests/testjvm/testjvm_probe.cpp).
std::wstring TestJvmProbe();

// The settings of testjvm.ini, in the order set; see tests/testjvm/README.md.
class TestJvmIni {
public:
    TestJvmIni& Set(std::string key, std::wstring value);
    // "key=value" lines in UTF-8; "\", line feeds, carriage returns and tabs escaped.
    std::string Bytes() const;

private:
    std::vector<std::pair<std::string, std::wstring>> settings_;
};

// One line of testjvm.log.
struct TestJvmEvent {
    std::string name;
    std::map<std::string, std::string> fields;  // values decoded to their bytes

    bool Has(const std::string& key) const { return fields.count(key) != 0; }
    // The value's bytes; empty when missing.
    std::string Bytes(const std::string& key) const;
    // A number field (decimal or 0x hexadecimal); 0 when missing.
    long long Number(const std::string& key) const;
    // A Java text field, exact from its "<key>_u16" form.
    std::wstring Java(const std::string& key) const;
};

struct TestJvmOption {
    std::string bytes;       // the option string as handed over (ANSI code page)
    std::wstring text;       // the same, decoded with the ANSI code page
    bool hasExtraInfo = false;
};

struct TestJvmCreation {
    unsigned long version = 0;
    long nOptions = 0;
    bool ignoreUnrecognized = false;
    unsigned long threadId = 0;
    unsigned long long stackReserve = 0;  // bytes reserved for the creating thread's stack
    std::vector<TestJvmOption> options;
    std::wstring currentDirectory;        // the process's working folder at creation
    int showState = -1;                   // STARTUPINFO wShowWindow of the process; -1: none given
    // The variables named by log_environment that were set at creation (by their
    // name as listed there).
    std::map<std::string, std::wstring> environment;
    std::optional<long> result;           // missing when the process ended inside the call
};

// A call of main or secondaryMain.
struct TestJvmJavaCall {
    std::string className;
    std::string signature;
    unsigned long threadId = 0;
    std::string threadName;
    bool nullArray = false;
    std::vector<std::wstring> arguments;  // a null element reads as empty
};

struct TestJvmMethodLookup {
    std::string className;
    std::string name;
    std::string signature;
    bool isStatic = false;
    bool found = false;
};

// System.setOut / System.setErr.
struct TestJvmStreamTarget {
    std::string stream;   // "out" or "err"
    std::string kind;     // "file", "buffer" or "null"
    std::wstring path;    // for files
    bool append = false;
};

struct TestJvmLog {
    std::vector<TestJvmEvent> events;                 // every line, in order
    std::vector<TestJvmCreation> creations;
    std::optional<unsigned long> defaultArgsVersion;  // JNI_GetDefaultJavaVMInitArgs record version
    bool defaultArgsZeroed = false;                   // every other member of that record was zero
    std::vector<std::string> findClassNames;          // FindClass, in order
    std::vector<std::string> bootLoaderNames;         // JVM_FindClassFromBootLoader, in order
    std::vector<std::wstring> checkAndLoadMainNames;  // LauncherHelper.checkAndLoadMain's class argument
    std::vector<TestJvmMethodLookup> methodLookups;
    std::vector<TestJvmJavaCall> mainCalls;
    std::vector<TestJvmJavaCall> secondaryMainCalls;
    std::vector<TestJvmStreamTarget> streamTargets;
    std::vector<std::string> describedExceptions;     // classes printed by ExceptionDescribe
    std::vector<std::string> uncaughtExceptions;      // classes printed when a thread detached
    std::optional<long> exitCode;                     // System.exit's status
    bool exitHookCalled = false;
    std::vector<unsigned long> attachedThreads;       // successful AttachCurrentThread calls
    std::vector<unsigned long> detachedThreads;       // DetachCurrentThread calls
    int destroyCalls = 0;
    int destroyEnds = 0;                              // DestroyJavaVM calls that returned
    std::vector<std::string> problems;                // traps and misuses: each ended the process

    std::vector<const TestJvmEvent*> EventsNamed(std::string_view name) const;
};

// Parses the log's text (unknown events are kept in `events` only).
TestJvmLog ParseTestJvmLog(std::string_view text);

// A runtime home made of the test library.
class TestJvmRuntime {
public:
    // Lays out <home>\bin\java.dll (an empty marker) and <home>\bin\<flavor>\jvm.dll
    // copied from the build (with bin\testjvm_bin_dependency.dll for kNeedsBinDll),
    // and writes the ini. Throws HarnessError on failure.
    TestJvmRuntime(std::wstring home, const TestJvmIni& ini, TestJvmFlavor flavor = TestJvmFlavor::kServer,
                   TestJvmVariant variant = TestJvmVariant::kComplete, TestJvmArch arch = TestJvmArch::kSame);

    // The home folder, without a trailing backslash.
    const std::wstring& home() const { return home_; }
    // Full path of the jvm.dll inside it.
    const std::wstring& jvmPath() const { return jvmPath_; }
    // <home>\bin
    std::wstring binFolder() const { return home_ + L"\\bin"; }
    std::wstring logPath() const;

    // Replaces testjvm.ini.
    void WriteIni(const TestJvmIni& ini) const;
    // Parses testjvm.log; an empty log when the library never wrote one.
    TestJvmLog ReadLog() const;

private:
    std::wstring home_;
    std::wstring jvmPath_;
};

}  // namespace orvo::test
