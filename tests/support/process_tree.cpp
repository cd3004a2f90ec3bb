#include "support/process_tree.h"

#include <tlhelp32.h>

#include <algorithm>

#include "foundation/inherited_handles.h"
#include "support/harness_error.h"

namespace orvo::test {

// One entry of the system's process list.
struct ListedProcess {
    DWORD id = 0;
    DWORD parentId = 0;
    std::wstring exeName;
};

namespace {

std::vector<ListedProcess> ListProcesses() {
    std::vector<ListedProcess> listed;
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!snapshot || !Process32FirstW(snapshot.get(), &entry)) return listed;
    do {
        listed.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    } while (Process32NextW(snapshot.get(), &entry));
    return listed;
}

const ListedProcess* Find(const std::vector<ListedProcess>& listed, DWORD processId) {
    auto found = std::find_if(listed.begin(), listed.end(), [&](const ListedProcess& p) { return p.id == processId; });
    return found == listed.end() ? nullptr : &*found;
}

std::wstring ImagePathOf(HANDLE process) {
    wchar_t buffer[32768];
    DWORD size = static_cast<DWORD>(std::size(buffer));
    if (!process || !QueryFullProcessImageNameW(process, 0, buffer, &size)) return {};
    return std::wstring(buffer, size);
}

bool HasEnded(HANDLE process) { return !process || WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

std::vector<HANDLE> InheritedBy(const ChildStartup& startup) {
    std::vector<HANDLE> handles = startup.alsoInherited;
    for (HANDLE standard : {startup.stdInput, startup.stdOutput, startup.stdError})
        if (standard && std::find(handles.begin(), handles.end(), standard) == handles.end()) handles.push_back(standard);
    return handles;
}

// Always the handles given, null ones included: without STARTF_USESTDHANDLES wine
// hands a child the test's own streams, where a program started from the desktop has
// none at all.
void FillInStartup(const ChildStartup& startup, STARTUPINFOW& info) {
    info.dwFlags |= STARTF_USESTDHANDLES;
    info.hStdInput = startup.stdInput;
    info.hStdOutput = startup.stdOutput;
    info.hStdError = startup.stdError;
    if (startup.showWindow) {
        info.dwFlags |= STARTF_USESHOWWINDOW;
        info.wShowWindow = *startup.showWindow;
    }
}

}  // namespace

ProcessTree::ProcessTree() : job_(CreateJobObjectW(nullptr, nullptr)) {
    if (!job_) throw HarnessError(L"cannot create a job object", GetLastError());
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        throw HarnessError(L"cannot make the job kill its processes on close", GetLastError());
    port_.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{job_.get(), port_.get()};
    if (!port_ || !SetInformationJobObject(job_.get(), JobObjectAssociateCompletionPortInformation, &association,
                                           sizeof association))
        throw HarnessError(L"cannot watch the job through a completion port", GetLastError());
}

DWORD ProcessTree::Start(const std::wstring& application, std::wstring commandLine, const ChildStartup& startup) {
    STARTUPINFOEXW info{};
    info.StartupInfo.cb = sizeof info;
    FillInStartup(startup, info.StartupInfo);
    InheritedHandleList inherited(InheritedBy(startup));
    info.lpAttributeList = inherited.get();
    if (!InheritedBy(startup).empty() && !inherited.get()) return GetLastError();
    PROCESS_INFORMATION started{};
    // Suspended until it is in the job, so that not even its first child escapes.
    DWORD flags = CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT;
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, inherited.get() != nullptr, flags,
                        startup.environmentBlock ? const_cast<wchar_t*>(startup.environmentBlock->c_str()) : nullptr,
                        startup.workingDirectory.empty() ? nullptr : startup.workingDirectory.c_str(),
                        &info.StartupInfo, &started))
        return GetLastError();
    UniqueKernelHandle thread(started.hThread);
    root_.reset(started.hProcess);
    rootId_ = started.dwProcessId;
    if (!AssignProcessToJobObject(job_.get(), root_.get())) {
        DWORD error = GetLastError();
        TerminateProcess(root_.get(), 1);
        return error;
    }
    Adopt(rootId_);
    members_.front().record.parentProcessId = GetCurrentProcessId();
    ResumeThread(thread.get());
    return 0;
}

void ProcessTree::Adopt(DWORD processId) {
    bool known = std::any_of(members_.begin(), members_.end(),
                             [&](const Member& m) { return m.record.processId == processId; });
    if (known) return;
    Member member;
    member.process.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    member.record.processId = processId;
    members_.push_back(std::move(member));
}

void ProcessTree::AdoptUnseenDescendants(const std::vector<ListedProcess>& listed) {
    // Completion-port news is not guaranteed; a walk of the process list catches a
    // child whose news was lost. Membership of the job is checked, so a reused
    // process id never pulls a stranger in.
    for (const ListedProcess& process : listed) {
        bool parentKnown = std::any_of(members_.begin(), members_.end(),
                                       [&](const Member& m) { return m.record.processId == process.parentId; });
        if (!parentKnown) continue;
        UniqueKernelHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id));
        BOOL inJob = FALSE;
        if (handle && IsProcessInJob(handle.get(), job_.get(), &inJob) && inJob) Adopt(process.id);
    }
}

void ProcessTree::CompleteRecords(const std::vector<ListedProcess>& listed) {
    // A process that has only just been created is not listed yet, nor can its image
    // be asked for: both are filled in on a later poll.
    for (Member& member : members_) {
        const ListedProcess* entry = Find(listed, member.record.processId);
        if (member.record.parentProcessId == 0 && entry) member.record.parentProcessId = entry->parentId;
        if (member.record.imagePath.empty()) member.record.imagePath = ImagePathOf(member.process.get());
        if (member.record.imagePath.empty() && entry) member.record.imagePath = entry->exeName;
    }
}

void ProcessTree::Poll(DWORD milliseconds) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    LPOVERLAPPED detail = nullptr;
    DWORD wait = milliseconds;
    while (GetQueuedCompletionStatus(port_.get(), &message, &key, &detail, wait)) {
        wait = 0;
        // For the job's messages the "overlapped" pointer carries the process id.
        if (message == JOB_OBJECT_MSG_NEW_PROCESS) Adopt(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail)));
    }
    if (members_.empty()) return;
    std::vector<ListedProcess> listed = ListProcesses();
    AdoptUnseenDescendants(listed);
    CompleteRecords(listed);
}

bool ProcessTree::RootRunning() const { return root_ && !HasEnded(root_.get()); }

std::optional<int> ProcessTree::RootExitCode() const {
    DWORD code = 0;
    if (!root_ || !HasEnded(root_.get()) || !GetExitCodeProcess(root_.get(), &code)) return std::nullopt;
    return static_cast<int>(code);
}

bool ProcessTree::Empty() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting, sizeof accounting,
                                  nullptr))
        return accounting.ActiveProcesses == 0;
    return LiveProcessIds().empty();
}

std::vector<DWORD> ProcessTree::LiveProcessIds() const {
    std::vector<DWORD> ids;
    for (const Member& member : members_)
        if (!HasEnded(member.process.get())) ids.push_back(member.record.processId);
    return ids;
}

std::vector<ProcessRecord> ProcessTree::Records() const {
    std::vector<ProcessRecord> records;
    for (const Member& member : members_) {
        ProcessRecord record = member.record;
        DWORD code = 0;
        if (member.process && HasEnded(member.process.get()) && GetExitCodeProcess(member.process.get(), &code))
            record.exitCode = static_cast<int>(code);
        records.push_back(std::move(record));
    }
    return records;
}

void ProcessTree::KillAll(UINT exitCode) {
    TerminateJobObject(job_.get(), exitCode);
    for (int attempt = 0; attempt < 100 && !Empty(); ++attempt) Poll(50);
}

}  // namespace orvo::test
