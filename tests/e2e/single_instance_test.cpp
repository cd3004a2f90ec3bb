// Single-instance mode on the test JVM: what a later start hands over and gets back,
// a request made while the VM starts, many later starts at once, the running
// instance's end, a later start that loads nothing, and when a second start hosts a
// VM of its own instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "hosting_test_app.h"
#include "single_instance/launcher_identity.h"
#include "single_instance/request_service.h"
#include "single_instance/single_instance.h"
#include "single_instance/single_instance_block.h"
#include "support/harness_error.h"
#include "support/planted_dll.h"
#include "support/process_inspection.h"
#include "support/test_environment.h"

namespace orvo::test {
namespace {

using Arguments = std::vector<std::wstring>;

// The names of a launcher's objects, as every start of that file makes them.
SingleInstanceNames Names(const std::wstring& launcher) {
    const std::optional<std::wstring> identity = ExecutableIdentity(launcher);
    if (!identity) throw HarnessError(L"cannot open the launcher " + launcher, GetLastError());
    return NamesFor(*identity);
}

constexpr wchar_t kOn[] = L"Single Instance=yes\n";
constexpr int kPrimaryExitCode = 77;
constexpr DWORD kWaitMs = 30000;
constexpr DWORD kPrimaryTimeoutMs = 120000;
constexpr DWORD kLaterStartTimeoutMs = 60000;
constexpr DWORD kSettleBeforeVmMs = 3000;

// main waits for the file "release" beside the library, then ends the process with
// kPrimaryExitCode; an int secondaryMain answers with its first argument's number.
TestJvmIni JvmIni(const wchar_t* secondaryMain = L"int") {
    return HostedApp::DefaultJvmIni()
        .Set("main_wait_file", L"release")
        .Set("main", L"exit")
        .Set("main_exit_code", std::to_wstring(kPrimaryExitCode))
        .Set("secondary_main", secondaryMain)
        .Set("secondary_main_result", L"arg0");
}

HostedIni Ini(std::wstring applicationLines = kOn, std::wstring runtimeLines = {}) {
    HostedIni ini;
    ini.applicationLines = std::move(applicationLines);
    ini.runtimeLines = std::move(runtimeLines);
    return ini;
}

class SingleInstanceApp : public HostedApp {
public:
    explicit SingleInstanceApp(const TestJvmIni& jvmIni = JvmIni(), HostedIni ini = Ini())
        : HostedApp(jvmIni, std::move(ini)) {}

    std::unique_ptr<LauncherSession> Start(const Arguments& arguments = {}, const std::wstring& exe = {},
                                           DWORD timeoutMs = kLaterStartTimeoutMs) const {
        RunOptions options;
        options.environment = {{L"JAVA_HOME", std::nullopt}};
        options.timeoutMs = timeoutMs;
        return std::make_unique<LauncherSession>(exe.empty() ? launcher : exe, arguments, options);
    }

    // App.exe, once its main runs.
    std::unique_ptr<LauncherSession> StartPrimary() const {
        auto primary = Start({}, {}, kPrimaryTimeoutMs);
        EXPECT_TRUE(WaitForLog(*primary, [](const TestJvmLog& log) { return log.mainCalls.size() == 1; }))
            << "main never ran";
        return primary;
    }

    // Handles the session's windows until the log shows what the condition wants.
    bool WaitForLog(LauncherSession& session, const std::function<bool(const TestJvmLog&)>& condition) const {
        return session.WaitUntil([&](const LauncherRun&) { return condition(Log()); }, kWaitMs);
    }

    void CreateBesideLibrary(const wchar_t* name) const { folder.WriteText(std::wstring(L"jre\\bin\\server\\") + name, L""); }
    void Release() const { CreateBesideLibrary(L"release"); }

    void ReleaseAndExpectPrimaryEnd(LauncherSession& primary) const {
        Release();
        EXPECT_EQ(primary.Finish().exitCode, kPrimaryExitCode);
        ExpectNoProblems(Log());
    }
};

std::size_t SecondaryMainLookupsThatFailed(const TestJvmLog& log) {
    return std::count_if(log.methodLookups.begin(), log.methodLookups.end(),
                         [](const TestJvmMethodLookup& lookup) { return lookup.name == "secondaryMain" && !lookup.found; });
}

// -1 when no event has that name (and, if given, that method name).
std::ptrdiff_t FirstEventIndex(const TestJvmLog& log, const std::string& name, const std::string& method = {}) {
    auto found = std::find_if(log.events.begin(), log.events.end(), [&](const TestJvmEvent& event) {
        return event.name == name && (method.empty() || event.Bytes("name") == method);
    });
    return found == log.events.end() ? -1 : found - log.events.begin();
}

// A later start holds the forwarding mutex from writing its arguments until the
// running instance has told it they were taken: once the area holds them and the
// mutex is free again, the request has been taken.
bool WaitUntilArgumentsTaken(const std::wstring& launcher, const Arguments& arguments) {
    const SingleInstanceNames names = Names(launcher);
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    UniqueKernelHandle section(OpenFileMappingW(FILE_MAP_READ, FALSE, names.section.c_str()));
    UniqueMappedView view(section ? MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, kBlockBytes) : nullptr);
    if (!view) return false;
    const std::span<const std::byte> area(static_cast<const std::byte*>(view.get()) + kArgumentAreaOffset,
                                          kArgumentAreaBytes);
    while (UnpackArguments(area) != arguments) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, names.forwardMutex.c_str()));
    const DWORD waited = mutex ? WaitForSingleObject(mutex.get(), kWaitMs) : WAIT_FAILED;
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
    ReleaseMutex(mutex.get());
    return true;
}

// A section under the launcher's name made by the test, as another program or a
// stale object might leave one: filled with 'A', then the header where it fits.
struct ForeignSection {
    ForeignSection(const std::wstring& launcher, DWORD size, const BlockHeader& header)
        : section(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size,
                                     Names(launcher).section.c_str())),
          view(section ? MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, 0) : nullptr) {
        if (!view) throw HarnessError(L"cannot make the section", GetLastError());
        bytes = std::span<std::byte>(static_cast<std::byte*>(const_cast<void*>(view.get())), size);
        std::fill(bytes.begin(), bytes.end(), std::byte{'A'});
        if (size >= kBlockBytes) WriteBlockHeader(bytes, header);
    }
    std::span<const std::byte> Area() const { return bytes.subspan(kArgumentAreaOffset, kArgumentAreaBytes); }

    UniqueKernelHandle section;
    UniqueMappedView view;
    std::span<std::byte> bytes;
};

// A process that exists and runs nothing: the launcher, started suspended.
struct SuspendedProcess {
    explicit SuspendedProcess(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                            &startup, &info)) {
            throw HarnessError(L"cannot start a suspended process", GetLastError());
        }
        process.reset(info.hProcess);
        UniqueKernelHandle thread(info.hThread);
        id = info.dwProcessId;
    }
    ~SuspendedProcess() {
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), kWaitMs);
    }
    UniqueKernelHandle process;
    DWORD id = 0;
};

// The test's thread, with a message queue of its own, stands in for a listener.
UINT PrepareQueueAndRegister(const std::wstring& messageName) {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    return RegisterWindowMessageW(messageName.c_str());
}

TEST(SingleInstance, LaterStartsForwardTheirArgumentsAndExitWithTheAnswer) {
    struct Case {
        Arguments sent;
        int exitCode;
        std::optional<Arguments> received;  // nullopt: nothing reaches secondaryMain
    };
    const std::wstring exact(518, L'x');  // with its zero unit and the list's: 1,040 bytes
    const Arguments script = {L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600", L"a b"};
    const Case cases[] = {
        {{L"12"}, 12, Arguments{L"12"}},
        {{L"-7", L"x"}, -7, Arguments{L"-7", L"x"}},
        {{}, 0, Arguments{L""}},
        {{L"a", L"", L"b"}, 0, Arguments{L"a"}},
        {{L"", L"b"}, 0, Arguments{L"", L"b"}},
        {script, 0, script},
        {{exact}, 0, Arguments{exact}},
        {{exact + L"x"}, -1, std::nullopt},
    };
    SingleInstanceApp app;
    auto primary = app.StartPrimary();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.sent));
        const std::size_t callsBefore = app.Log().secondaryMainCalls.size();
        EXPECT_EQ(app.Run(c.sent).exitCode, c.exitCode);
        const TestJvmLog log = app.Log();
        if (!c.received) {
            EXPECT_EQ(log.secondaryMainCalls.size(), callsBefore);
            continue;
        }
        ASSERT_EQ(log.secondaryMainCalls.size(), callsBefore + 1);
        EXPECT_EQ(log.secondaryMainCalls.back().arguments, *c.received);
    }
    app.ReleaseAndExpectPrimaryEnd(*primary);
    const TestJvmLog log = app.Log();
    EXPECT_EQ(log.creations.size(), 1u) << "a later start created a VM of its own";
    EXPECT_EQ(log.mainCalls.size(), 1u);
}

// A void secondaryMain lets the later start go before it runs, whatever it then
// does; an int one only once it has returned its answer.
TEST(SingleInstance, VoidMethodAnswersZeroBeforeItRunsIntMethodAnswersWhenItReturns) {
    struct Case {
        const wchar_t* kind;
        const wchar_t* throws;
        int exitCode;
        std::size_t endsLoggedAtExit;
    };
    for (const Case& c : {Case{L"void", L"1", 0, 0}, Case{L"int", L"0", 5, 1}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.kind)));
        SingleInstanceApp app(JvmIni(c.kind).Set("secondary_main_sleep_ms", L"5000").Set("secondary_main_throws", c.throws));
        auto primary = app.StartPrimary();
        EXPECT_EQ(app.Run({L"5"}).exitCode, c.exitCode);
        // A void method may not even have begun when the later start has ended.
        EXPECT_TRUE(app.WaitForLog(*primary, [](const TestJvmLog& log) { return log.secondaryMainCalls.size() == 1; }));
        EXPECT_EQ(app.Log().EventsNamed("secondarymain-end").size(), c.endsLoggedAtExit);
        app.ReleaseAndExpectPrimaryEnd(*primary);
    }
}

TEST(SingleInstance, WithoutSecondaryMainLaterStartsEndWithTheRunningInstance) {
    SingleInstanceApp app(JvmIni(L"none"));
    auto primary = app.StartPrimary();
    std::vector<std::unique_ptr<LauncherSession>> later;
    for (const wchar_t* argument : {L"1", L"2", L"3"}) later.push_back(app.Start({argument}));
    // Each request looks for both forms, finds neither and gives no answer.
    EXPECT_TRUE(app.WaitForLog(*primary, [](const TestJvmLog& log) { return SecondaryMainLookupsThatFailed(log) == 6; }));
    for (const auto& session : later) EXPECT_TRUE(session->RootRunning());
    app.ReleaseAndExpectPrimaryEnd(*primary);
    for (const auto& session : later) EXPECT_EQ(session->Finish().exitCode, kPrimaryExitCode);
}

TEST(SingleInstance, RequestMadeWhileTheVmStartsIsAnsweredOnlyOnceMainRuns) {
    SingleInstanceApp app(JvmIni().Set("create_wait_file", L"created"));
    auto primary = app.Start({}, {}, kPrimaryTimeoutMs);
    ASSERT_TRUE(app.WaitForLog(*primary, [](const TestJvmLog& log) { return !log.EventsNamed("wait").empty(); }));
    auto later = app.Start({L"5"});
    ASSERT_TRUE(WaitUntilArgumentsTaken(app.launcher, {L"5"}));
    EXPECT_TRUE(later->RootRunning());
    EXPECT_TRUE(app.Log().mainCalls.empty());
    app.CreateBesideLibrary(L"created");
    EXPECT_EQ(later->Finish().exitCode, 5);
    // The ready signal comes once main has been found, just before it is called.
    const TestJvmLog log = app.Log();
    const std::ptrdiff_t mainFound = FirstEventIndex(log, "getstaticmethodid", "main");
    EXPECT_NE(mainFound, -1);
    EXPECT_LT(mainFound, FirstEventIndex(log, "secondarymain"));
    app.ReleaseAndExpectPrimaryEnd(*primary);
}

// Started while the VM is still being created, the requests all wait for main
// together, long after each later start has written the one argument area.
TEST(SingleInstance, TenLaterStartsAtOnceEachGetTheAnswerToTheirOwnArguments) {
    SingleInstanceApp app(JvmIni().Set("create_wait_file", L"created"));
    auto primary = app.Start({}, {}, kPrimaryTimeoutMs);
    ASSERT_TRUE(app.WaitForLog(*primary, [](const TestJvmLog& log) { return !log.EventsNamed("wait").empty(); }));
    std::vector<std::unique_ptr<LauncherSession>> later;
    for (int i = 1; i <= 10; ++i) later.push_back(app.Start({std::to_wstring(i), L"from " + std::to_wstring(i)}));
    Sleep(kSettleBeforeVmMs);  // only makes overlapping requests likelier; no outcome depends on it
    app.CreateBesideLibrary(L"created");
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(later[static_cast<std::size_t>(i - 1)]->Finish().exitCode, i);
    const TestJvmLog log = app.Log();
    EXPECT_EQ(log.secondaryMainCalls.size(), 10u);
    for (const TestJvmJavaCall& call : log.secondaryMainCalls) {
        ASSERT_EQ(call.arguments.size(), 2u);
        EXPECT_EQ(call.arguments[1], L"from " + call.arguments[0]);
    }
    app.ReleaseAndExpectPrimaryEnd(*primary);
}

// The running instance keeps the library it loaded; a later start that loaded one
// would get the planted copy put in its place.
TEST(SingleInstance, LaterStartLoadsNoJvmLibraryAndShowsNothing) {
    SingleInstanceApp app;
    auto primary = app.StartPrimary();
    const std::wstring serverFolder = app.folder.PathOf(L"jre\\bin\\server");
    ASSERT_TRUE(MoveFileW((serverFolder + L"\\jvm.dll").c_str(), (serverFolder + L"\\jvm-in-use.dll").c_str()));
    const std::wstring planted =
        PlantDll(serverFolder, L"jvm.dll", TestArchitecture() == L"x86_64" ? PlantedArch::k64 : PlantedArch::k32);
    const LauncherRun later = app.Run({L"9"});
    EXPECT_EQ(later.exitCode, 9);
    EXPECT_TRUE(later.windows.empty());
    EXPECT_EQ(PlantedDllLoads(planted), L"");
    app.ReleaseAndExpectPrimaryEnd(*primary);
}

TEST(SingleInstance, HandlerLeavesTheVmUnlessTheIbmRuleKeepsItAttached) {
    for (const bool ibm : {false, true}) {
        SCOPED_TRACE(ibm ? "VM Provider=ibm" : "no VM Provider");
        SingleInstanceApp app(JvmIni(), Ini(kOn, ibm ? L"VM Provider=ibm\n" : L""));
        auto primary = app.StartPrimary();
        EXPECT_EQ(app.Run({L"4"}).exitCode, 4);
        app.ReleaseAndExpectPrimaryEnd(*primary);
        const TestJvmLog log = app.Log();
        ASSERT_EQ(log.secondaryMainCalls.size(), 1u);
        const unsigned long handler = log.secondaryMainCalls[0].threadId;
        EXPECT_EQ(std::count(log.attachedThreads.begin(), log.attachedThreads.end(), handler), 1);
        EXPECT_EQ(std::count(log.detachedThreads.begin(), log.detachedThreads.end(), handler), ibm ? 0 : 1);
    }
}

TEST(SingleInstance, SecondStartHostsItsOwnVmWhenTheModeIsOffOrTheLauncherIsAnother) {
    struct Case {
        const wchar_t* name;
        const wchar_t* applicationLines;
        const wchar_t* secondLauncher;  // nullptr: App.exe again
    };
    const Case cases[] = {
        {L"Yes", L"Single Instance=Yes\n", nullptr},
        {L"YES", L"Single Instance=YES\n", nullptr},
        {L"service", L"Single Instance=yes\nApplication Type=service\n", nullptr},
        {L"copy at another path", kOn, L"other\\App.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        SingleInstanceApp app(JvmIni(), Ini(c.applicationLines));
        std::wstring second = app.launcher;
        if (c.secondLauncher) {
            app.folder.CreateFolder(L"other");
            second = app.folder.AddLauncher(c.secondLauncher);
            app.folder.WriteText(L"other\\App.ini", app.folder.ReadText(L"App.ini").value_or(L""));
        }
        auto primary = app.StartPrimary();
        auto other = app.Start({L"3"}, second);
        EXPECT_TRUE(app.WaitForLog(*other, [](const TestJvmLog& log) { return log.mainCalls.size() == 2; }));
        app.ReleaseAndExpectPrimaryEnd(*primary);
        EXPECT_EQ(other->Finish().exitCode, kPrimaryExitCode);
        EXPECT_TRUE(app.Log().secondaryMainCalls.empty());
    }
}

// Another program's section under that name, or one whose primary is gone: the
// launcher neither writes into it nor posts to the thread it names, and runs as an
// ordinary instance.
TEST(SingleInstance, SectionThatIsNoRunningInstancesLeavesTheLaunchAnOrdinaryOne) {
    enum class Process { kThisOne, kNone, kAnother };
    struct Case {
        const wchar_t* name;
        DWORD size;
        bool registeredMessage;
        Process process;  // the block names it; its listener thread is the test's
    };
    const Case cases[] = {
        {L"smaller than a block", 16, true, Process::kThisOne},
        {L"another message", kBlockBytes, false, Process::kThisOne},
        {L"process gone", kBlockBytes, true, Process::kNone},
        {L"thread of another process", kBlockBytes, true, Process::kAnother},
        {L"process of another program", kBlockBytes, true, Process::kThisOne},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        HostedApp app(HostedApp::DefaultJvmIni(), Ini());
        const std::wstring name = Names(app.launcher).message;
        const UINT messageId = PrepareQueueAndRegister(c.registeredMessage ? name : name + L" of another program");
        SuspendedProcess other(app.launcher);
        const DWORD processId = c.process == Process::kThisOne ? GetCurrentProcessId()
                                : c.process == Process::kAnother ? other.id
                                                                  : 0xFFFFFFF0;
        ForeignSection block(app.launcher, c.size, {GetCurrentThreadId(), processId, messageId});
        const std::vector<std::byte> before(block.bytes.begin(), block.bytes.end());
        const LauncherRun run = app.Run({L"x"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(app.Log().mainCalls.size(), 1u);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), block.bytes.begin())) << "the block was written";
        MSG request;
        EXPECT_FALSE(PeekMessageW(&request, nullptr, messageId, messageId, PM_REMOVE)) << "a request was posted";
    }
}

// The tests' hostile process of the same user (tests/hostile), run with a time limit.
std::unique_ptr<LauncherSession> StartHostile(const Arguments& arguments) {
    RunOptions options;
    options.timeoutMs = 2 * kLaterStartTimeoutMs;
    return std::make_unique<LauncherSession>(RequiredEnvironment(L"ORVO_HOSTILE_INSTANCE"), arguments, options);
}

bool WaitForFile(const std::wstring& path) {
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
    return true;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Tells the hostile process to end (through READY.stop) and waits for it.
void StopHostile(LauncherSession& hostile, const std::wstring& ready) {
    HANDLE stop = CreateFileW((ready + L".stop").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (stop != INVALID_HANDLE_VALUE) CloseHandle(stop);
    EXPECT_EQ(hostile.Finish().exitCode, 0);
}

std::wstring NotRespondingBox(const std::wstring& launcher) {
    return launcher + L" is already running but does not respond, so this start could not hand its arguments "
                      L"over to it. Try again once it responds, or end it.";
}

// Someone else keeps the forwarding mutex: a later start that sees the running
// instance says it cannot reach it and exits with -1; with no instance running, a
// start goes on alone. Neither waits longer than the bound.
TEST(SingleInstanceHostile, HeldForwardMutexNeverHangsAStart) {
    SingleInstanceApp app;
    auto primary = app.StartPrimary();
    const std::wstring ready = app.folder.PathOf(L"held");
    auto holder = StartHostile({L"hold-mutex", Names(app.launcher).forwardMutex, ready, L"110000"});
    ASSERT_TRUE(WaitForFile(ready));
    const LauncherRun later = app.Run({L"5"}, {ExpectErrorBox(NotRespondingBox(app.launcher))}, {}, kLaterStartTimeoutMs);
    EXPECT_EQ(later.exitCode, -1);
    EXPECT_TRUE(app.Log().secondaryMainCalls.empty());
    app.ReleaseAndExpectPrimaryEnd(*primary);
    // main finds "release" there already and ends the process at once.
    EXPECT_EQ(app.Run({}, {}, {}, kLaterStartTimeoutMs).exitCode, kPrimaryExitCode);
    EXPECT_EQ(app.Log().mainCalls.size(), 2u);
    StopHostile(*holder, ready);
}

// A process that is not the program makes the section first and names its own
// thread: it must get no arguments (a password among them), and the program runs.
TEST(SingleInstanceHostile, SquattedSectionGetsNothingAndTheLaunchIsAnOrdinaryOne) {
    HostedApp app(HostedApp::DefaultJvmIni(), Ini());
    const SingleInstanceNames names = Names(app.launcher);
    const std::wstring ready = app.folder.PathOf(L"squatting");
    auto squatter = StartHostile({L"squat", names.section, names.message, ready, L"110000"});
    ASSERT_TRUE(WaitForFile(ready));
    const LauncherRun run = app.Run({L"--password=secret"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(app.Log().mainCalls.size(), 1u);
    EXPECT_FALSE(FileExists(ready + L".requests")) << "the squatter got a request";
    StopHostile(*squatter, ready);
}

// Forged requests (any sequence number, the current one, the next one) posted to the
// running instance's listener: none reaches secondaryMain, the process keeps its
// few threads and its memory, and a real later start is still served after them.
TEST(SingleInstanceHostile, FloodOfForgedRequestsLeavesTheRunningInstanceBounded) {
    constexpr int kForged = 2000;
    constexpr std::size_t kMemoryGrowthLimit = 64u << 20;
    SingleInstanceApp app(JvmIni().Set("secondary_main_sleep_ms", L"2000"));
    auto primary = app.StartPrimary();
    const std::vector<DWORD> ids = primary->LiveProcessIds();
    ASSERT_FALSE(ids.empty());
    const DWORD primaryId = ids.front();
    UniqueKernelHandle section(OpenFileMappingW(FILE_MAP_READ, FALSE, Names(app.launcher).section.c_str()));
    UniqueMappedView view(section ? MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, kBlockBytes) : nullptr);
    ASSERT_TRUE(view) << "no block";
    const std::span<const std::byte> block(static_cast<const std::byte*>(view.get()), kBlockBytes);
    const BlockHeader header = ReadBlockHeader(block);
    const int threadsBefore = ThreadCount(primaryId);
    const std::size_t bytesBefore = PrivateBytes(primaryId);
    auto flood = StartHostile({L"flood", std::to_wstring(header.listenerThreadId), std::to_wstring(header.messageId),
                               std::to_wstring(kForged), std::to_wstring(ReadRequestSequence(block))});
    EXPECT_EQ(flood->Finish().exitCode, 0) << "some forged requests could not be posted";
    // Posted after the flood, the real request is taken after every forged one.
    EXPECT_EQ(app.Run({L"6"}, {}, {}, kLaterStartTimeoutMs).exitCode, 6);
    const int threadsAfter = ThreadCount(primaryId);
    const std::size_t bytesAfter = PrivateBytes(primaryId);
    std::printf("flood of %d: threads %d -> %d, private bytes %zu -> %zu\n", kForged, threadsBefore, threadsAfter,
                bytesBefore, bytesAfter);
    EXPECT_LE(threadsAfter, threadsBefore + kRequestHandlers);
    EXPECT_LT(bytesAfter, bytesBefore + kMemoryGrowthLimit);
    const TestJvmLog log = app.Log();
    ASSERT_EQ(log.secondaryMainCalls.size(), 1u) << "forged requests reached secondaryMain";
    EXPECT_EQ(log.secondaryMainCalls[0].arguments, Arguments{L"6"});
    app.ReleaseAndExpectPrimaryEnd(*primary);
}

// "C:\Apps\MyApp.exe" and "c:\apps\myapp.EXE" are one file: a start by either
// spelling is a later start of the one running instance.
TEST(SingleInstance, StartByThePathInAnotherLetterCaseIsALaterStart) {
    SingleInstanceApp app;
    auto primary = app.StartPrimary();
    std::wstring upper = app.launcher;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    ASSERT_NE(upper, app.launcher);
    EXPECT_EQ(app.Start({L"8"}, upper)->Finish().exitCode, 8);
    app.ReleaseAndExpectPrimaryEnd(*primary);
    EXPECT_EQ(app.Log().creations.size(), 1u) << "the other spelling hosted a VM of its own";
}

}  // namespace
}  // namespace orvo::test
