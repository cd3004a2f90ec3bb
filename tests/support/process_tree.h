#pragma once
// A launcher and every process it starts (its paired launcher, say), held in one
// job object: the harness can list the tree's processes, learn each one's exit
// code, tell when the whole tree has ended, and kill all of it at once.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/unique_handle.h"

namespace orvo::test {

struct ListedProcess;

// What the root process is given besides its command line.
struct ChildStartup {
    std::wstring workingDirectory;              // empty: the test program's own
    const std::wstring* environmentBlock = nullptr;  // null: inherit
    HANDLE stdInput = nullptr;                  // inheritable; null: none
    HANDLE stdOutput = nullptr;                 // inheritable; null: none
    HANDLE stdError = nullptr;                  // inheritable; null: none
    std::vector<HANDLE> alsoInherited;          // further inheritable handles it gets
    std::optional<WORD> showWindow;             // STARTUPINFO wShowWindow, when set
};

struct ProcessRecord {
    DWORD processId = 0;
    DWORD parentProcessId = 0;
    std::wstring imagePath;       // full path; only the file name if the system gave no path
    std::optional<int> exitCode;  // set once the process has ended
};

class ProcessTree {
public:
    // Creates the job; throws HarnessError when the system refuses.
    ProcessTree();
    // Kills whatever of the tree still runs (the job is closed with kill-on-close).
    ~ProcessTree() = default;
    ProcessTree(const ProcessTree&) = delete;
    ProcessTree& operator=(const ProcessTree&) = delete;

    // Starts the root process inside the job, before it runs a single instruction.
    // It inherits the handles of `startup` and no other. Returns 0 or the system
    // error code.
    DWORD Start(const std::wstring& application, std::wstring commandLine, const ChildStartup& startup);

    // Takes in the job's news (processes started and ended), waiting at most
    // `milliseconds` for the first piece of it.
    void Poll(DWORD milliseconds);

    bool RootRunning() const;
    // The root's exit code as GetExitCodeProcess gives it, as a signed value.
    std::optional<int> RootExitCode() const;
    // True when no process of the tree runs any more.
    bool Empty() const;
    // Ids of the tree's processes that still run.
    std::vector<DWORD> LiveProcessIds() const;
    // Every process seen in the tree, the root first, in the order they started.
    std::vector<ProcessRecord> Records() const;

    // Ends every process of the tree with that exit code and waits (bounded) for them.
    void KillAll(UINT exitCode);

private:
    struct Member {
        ProcessRecord record;
        UniqueKernelHandle process;
    };
    void Adopt(DWORD processId);
    void AdoptUnseenDescendants(const std::vector<ListedProcess>& listed);
    void CompleteRecords(const std::vector<ListedProcess>& listed);

    UniqueKernelHandle job_;
    UniqueKernelHandle port_;
    UniqueKernelHandle root_;
    DWORD rootId_ = 0;
    std::vector<Member> members_;
};

}  // namespace orvo::test
