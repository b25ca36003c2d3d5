#pragma once

#include <windows.h>

#include <map>

#include "platform/command_runner.h"
#include "platform/win32/job_process.h"

namespace vigilon {

// Runs commands through the system folder's cmd.exe /d /s /c, in Vigilon's own folder, with
// NoDefaultCurrentDirectoryInExePath set, without a console window, and keeps each one's process
// handle until it is found finished or ended, so that its id names it and no other process. Each
// command runs in a job of its own, so that ending it ends what it started too (a script's
// PowerShell, not only the interpreter around it).
class Win32CommandRunner final : public CommandRunner {
public:
    std::optional<std::uint32_t> Start(std::wstring_view commandLine, Variables variables) override;
    bool Finished(std::uint32_t id) override;
    void End(std::uint32_t id) override;

private:
    std::map<std::uint32_t, JobProcess> running_;
};

}  // namespace vigilon
