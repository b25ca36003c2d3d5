#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vigilon::e2e {

// Polls `condition` every 50 ms until it holds or `seconds` have passed; true when it held.
bool WaitUntil(std::function<bool()> const& condition, double seconds = 20);

// True when `condition` holds all through `seconds`: for checking that nothing happens.
bool HoldsFor(std::function<bool()> const& condition, double seconds);

// One start of a watched program as it recorded it.
struct StartRecord {
    std::wstring commandLine;
    std::wstring directory;
    int showCommand = -1;
    std::vector<std::wstring> arguments;  // as the C runtime split the command line
    long long time = 0;                    // when it started, in milliseconds of the system clock
};

struct Record {
    std::vector<StartRecord> starts;
    std::vector<long long> exits;  // when each run's message loop ended, in milliseconds
    int closes = 0;
    int hangs = 0;  // times it stopped handling its messages
    int endSessions = 0;
};

Record ReadRecord(std::wstring const& path);

// The event words of the history at `log`, in order, for `program` (empty: Vigilon's own).
std::vector<std::string> HistoryEvents(std::wstring const& log, std::string const& program);

std::wstring FolderOf(std::wstring const& path);
std::wstring ThisFolder();
void WriteTextFile(std::wstring const& path, std::wstring const& text);
bool FileExistsAt(std::wstring const& path);

// A running process started by a test; ended at the end if it is still running.
class Process {
public:
    Process() = default;
    Process(Process const&) = delete;
    Process& operator=(Process const&) = delete;
    ~Process() { Kill(); }

    bool Start(std::wstring const& exe, std::wstring const& arguments, std::wstring const& directory);
    bool Running() const;
    // Waits for the process to end; its exit code, or -1 when it is still running.
    int WaitForExit(double seconds);
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

// A command's exit code and what it wrote on its standard output (UTF-8), run with that output
// going to `outputFile`; the code is -1 when it did not end within `seconds`.
struct CommandResult {
    int exitCode = -1;
    std::string output;
};
CommandResult RunCommand(std::wstring const& exe, std::wstring const& arguments, std::wstring const& outputFile,
                         double seconds = 20);

// The rows of another process's report-style list view, each a list of cell texts.
std::vector<std::vector<std::wstring>> ListViewRows(HWND list, int columns);

// Ends every process that owns a top-level window whose caption starts with `prefix`.
void KillProcessesWithWindows(std::wstring const& prefix);

}  // namespace vigilon::e2e
