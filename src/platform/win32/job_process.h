#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// A process Vigilon started, in a job of its own, so that ending it ends what it started too.
struct JobProcess {
    DWORD id = 0;
    UniqueKernelHandle process;
    UniqueKernelHandle job;  // empty when the process could not be put in one
};

// What closing the job's handle, on purpose or because Vigilon ended, does to what still runs in it.
enum class JobClose {
    Leave,  // it runs on
    End,    // it is ended with the job
};

// Starts `commandLine` without a window: the program `application` when it is given, else the one
// the command line's first word names. `environment` is a block of "name=value" strings (or null
// for Vigilon's own), `folder` the current directory (or empty for Vigilon's). The process is
// started suspended and put in its job before it can start anything. Nothing when it could not be
// started; GetLastError says why.
std::optional<JobProcess> StartInJob(wchar_t const* application, std::wstring commandLine, wchar_t* environment,
                                     std::wstring const& folder, JobClose close = JobClose::Leave);

// Ends the process and everything in its job, by their handles only.
void EndJobProcess(JobProcess const& started);

}  // namespace vigilon
