#include "e2e_support.h"

#include <commctrl.h>

#include <sstream>
#include <thread>

#include "driver.h"
#include "../wine/wine_test_support.h"

namespace vigilon::e2e {

bool WaitUntil(std::function<bool()> const& condition, double seconds) {
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool HoldsFor(std::function<bool()> const& condition, double seconds) {
    return !WaitUntil([&] { return !condition(); }, seconds);
}

std::vector<std::string> HistoryEvents(std::wstring const& log, std::string const& program) {
    std::vector<std::string> words;
    std::string const text = testing::ReadFileBytes(log);
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        std::string const line = text.substr(begin, end - begin);
        std::size_t const a = line.find('\t');
        std::size_t const b = line.find('\t', a + 1);
        std::size_t const c = line.find('\t', b + 1);
        if (c == std::string::npos) continue;
        if (line.substr(b + 1, c - b - 1) == program) words.push_back(line.substr(a + 1, b - a - 1));
    }
    return words;
}

Record ReadRecord(std::wstring const& path) {
    Record record;
    HANDLE const file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return record;
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                             text.data(), static_cast<int>(text.size()))));
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.rfind(L"close|", 0) == 0) ++record.closes;
        if (line.rfind(L"hung|", 0) == 0) ++record.hangs;
        if (line.rfind(L"exit|", 0) == 0) record.exits.push_back(std::stoll(line.substr(5)));
        if (line.rfind(L"endsession|", 0) == 0) ++record.endSessions;
        if (line.rfind(L"arg|", 0) == 0 && !record.starts.empty()) {
            record.starts.back().arguments.push_back(line.substr(4, line.rfind(L'|') - 4));  // arg|<text>|<time>
        }
        if (line.rfind(L"start|", 0) != 0) continue;
        // start|<command line>|<directory>|<show>|<time>: the command line may hold '|' itself
        std::size_t const d = line.rfind(L'|');
        std::size_t const c = line.rfind(L'|', d - 1);
        std::size_t const b = line.rfind(L'|', c - 1);
        if (b <= 5) continue;
        record.starts.push_back({line.substr(6, b - 6), line.substr(b + 1, c - b - 1),
                                 std::stoi(line.substr(c + 1, d - c - 1)), {}, std::stoll(line.substr(d + 1))});
    }
    return record;
}

std::wstring FolderOf(std::wstring const& path) { return path.substr(0, path.rfind(L'\\')); }

std::wstring ThisFolder() {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return FolderOf(self);
}

void WriteTextFile(std::wstring const& path, std::wstring const& text) {
    HANDLE const file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    int const bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExistsAt(std::wstring const& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Process::Start(std::wstring const& exe, std::wstring const& arguments, std::wstring const& directory) {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info_) != FALSE;
}

bool Process::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int Process::WaitForExit(double seconds) {
    if (info_.hProcess == nullptr) return -1;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

void Process::Kill() {
    if (info_.hProcess == nullptr) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = PROCESS_INFORMATION{};
}

CommandResult RunCommand(std::wstring const& exe, std::wstring const& arguments, std::wstring const& outputFile,
                         double seconds) {
    CommandResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE const output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return result;
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info{};
    bool const started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &info) != FALSE;
    CloseHandle(output);
    if (!started) return result;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        result.exitCode = static_cast<int>(code);
    } else {
        TerminateProcess(info.hProcess, 99);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    result.output = testing::ReadFileBytes(outputFile);
    return result;
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND list, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE const process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return rows;
    // The item and its text buffer live in the list's own process, where the list writes them.
    constexpr int kChars = 512;
    void* const remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int const count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote != nullptr && row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.cchTextMax = kChars;
            item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
            WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
            LRESULT const n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                           reinterpret_cast<LPARAM>(remote));
            std::wstring text(static_cast<std::size_t>(n), L'\0');
            ReadProcessMemory(process, item.pszText, text.data(), text.size() * sizeof(wchar_t), nullptr);
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rows;
}

void KillProcessesWithWindows(std::wstring const& prefix) {
    for (WindowInfo const& w : ListWindows()) {
        if (w.caption.rfind(prefix, 0) != 0) continue;
        HANDLE const process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, w.processId);
        if (process == nullptr) continue;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

}  // namespace vigilon::e2e
