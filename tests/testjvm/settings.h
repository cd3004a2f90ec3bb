#pragma once
// testjvm.ini: what the test JVM library does in one test. Plain "key=value"
// lines in UTF-8; blank lines and lines starting with "#" or ";" are ignored;
// "\n", "\r", "\t" and "\\" in a value stand for line feed, carriage return, tab
// and backslash. README.md lists the keys.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::testjvm {

enum class MainOutcome { kReturn, kThrow, kExit, kMissing };
enum class SecondaryMainKind { kNone, kVoid, kInt };

struct TestJvmSettings {
    std::vector<std::string> classes;        // classes that exist besides the JDK's own
    int createResult = 0;                    // forced JNI_CreateJavaVM result (0: create)
    std::u16string createWaitFile;           // JNI_CreateJavaVM first waits for this file
    std::u16string createTimeFile;           // full path: JNI_CreateJavaVM's entry time goes here
    long javaStackSize = 1048576;            // reported by JNI_GetDefaultJavaVMInitArgs
    std::vector<std::string> unknownOptions; // rejected options; "prefix*" rejects a prefix
    std::optional<int> rejectResult;         // result for a rejected option (default -1 / -6)
    std::vector<std::string> failing;        // JNI functions made to fail
    MainOutcome main = MainOutcome::kReturn;
    int mainExitCode = 0;
    std::u16string mainPrints;               // one line printed to System.out by main
    std::u16string mainPrintsErr;            // one line printed to System.err by main
    std::string mainExceptionClass = "java/lang/IllegalStateException";
    std::optional<std::u16string> mainStackTrace;  // default: "<class>: thrown by main" + frame
    unsigned mainSleepMs = 0;
    std::u16string mainWaitFile;
    SecondaryMainKind secondaryMain = SecondaryMainKind::kNone;
    std::string secondaryMainResult = "0";   // a number, or "arg0" for the first argument's value
    bool secondaryMainThrows = false;
    std::u16string secondaryMainPrints;
    unsigned secondaryMainSleepMs = 0;
    bool checkAndLoadMainReturnsNull = false;
    unsigned destroySleepMs = 0;
    std::u16string destroyWaitFile;
    unsigned backgroundExitMs = 0;           // a Java thread calls System.exit after this long...
    std::u16string backgroundExitWaitFile;   // ...and after this file exists
    int backgroundExitCode = 0;
    std::vector<std::string> loggedEnvironment = {"ORVO_JVM_PATH", "ORVO_JVM_HOME", "Path"};
    unsigned waitTimeoutMs = 60000;          // bound of every *_wait_file wait
};

// Parses the file's text. An unknown key or a malformed value gives nullopt and
// sets `problem` to a description of the offending line.
std::optional<TestJvmSettings> ParseSettings(std::string_view text, std::string& problem);

// True when `name` (a JNI function name) is listed in the `fail` setting.
bool ShouldFail(const TestJvmSettings& settings, std::string_view name);

// UTF-16 of UTF-8 text (invalid bytes become U+FFFD).
std::u16string Utf16FromUtf8(std::string_view bytes);

}  // namespace orvo::testjvm
