#include "platform/win32/win32_command_runner.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/module_path.h"

namespace vigilon {
namespace {

// Compares names as the environment does: without regard to case.
int CompareNames(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) -
           CSTR_EQUAL;
}

// This process's environment with `variables` set: a block of "name=value" strings, each ended by
// a NUL, and one NUL more.
std::vector<wchar_t> EnvironmentWith(std::vector<std::pair<std::wstring, std::wstring>> const& variables) {
    std::vector<std::wstring> entries;
    if (wchar_t* const block = GetEnvironmentStringsW()) {
        for (wchar_t const* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) entries.emplace_back(entry);
        FreeEnvironmentStringsW(block);
    }
    for (auto const& [name, value] : variables) {
        std::wstring const prefix = name + L"=";
        std::erase_if(entries, [&](std::wstring const& e) {
            return CompareNames(std::wstring_view(e).substr(0, prefix.size()), prefix) == 0;
        });
        entries.push_back(name + L"=" + value);
    }
    // Windows wants the block sorted by name, without regard to case.
    std::sort(entries.begin(), entries.end(),
              [](std::wstring const& a, std::wstring const& b) { return CompareNames(a, b) < 0; });
    std::vector<wchar_t> block;
    for (std::wstring const& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// The system's own interpreter, by its full path: %ComSpec% is the user's to change, and a bare
// cmd.exe is looked for in the current folder first.
std::wstring Interpreter() { return SystemFolderPath() + L"\\cmd.exe"; }

// Vigilon's own folder, without its trailing backslash. The command runs there rather than in
// Vigilon's current folder, which during a start is the watched program's: a program or script the
// command names by its bare name is never taken from a folder someone else may fill.
std::wstring CommandFolder() {
    std::wstring const exe = ExecutablePath();
    std::size_t const slash = exe.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
}

}  // namespace

std::optional<std::uint32_t> Win32CommandRunner::Start(std::wstring_view commandLine, Variables variables) {
    // /s: the line inside the outer quotes runs as it was written, quotes and all.
    std::wstring line = L"\"" + Interpreter() + L"\" /d /s /c \"" + std::wstring(commandLine) + L"\"";
    // And the interpreter looks for what it runs on the path only, not in its current folder first.
    std::vector<std::pair<std::wstring, std::wstring>> all(variables.begin(), variables.end());
    all.emplace_back(L"NoDefaultCurrentDirectoryInExePath", L"1");
    std::vector<wchar_t> environment = EnvironmentWith(all);
    std::optional<JobProcess> started = StartInJob(nullptr, line, environment.data(), CommandFolder());
    if (!started) return std::nullopt;
    std::uint32_t const id = started->id;
    running_[id] = std::move(*started);
    return id;
}

bool Win32CommandRunner::Finished(std::uint32_t id) {
    auto const it = running_.find(id);
    if (it == running_.end()) return true;
    // The command is over when the interpreter is; a program it started and left running is the
    // user's (closing the job's handle does not end it).
    if (WaitForSingleObject(it->second.process.Get(), 0) == WAIT_TIMEOUT) return false;
    running_.erase(it);
    return true;
}

void Win32CommandRunner::End(std::uint32_t id) {
    auto const it = running_.find(id);
    if (it == running_.end()) return;
    EndJobProcess(it->second);
    running_.erase(it);
}

}  // namespace vigilon
