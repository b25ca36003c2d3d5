#include "platform/win32/job_process.h"

namespace vigilon {

namespace {

// A job of its own for one process; empty when the system makes none.
UniqueKernelHandle NewJob(JobClose close) {
    UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    if (job && close == JobClose::End) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    return job;
}

}  // namespace

std::optional<JobProcess> StartInJob(wchar_t const* application, std::wstring commandLine, wchar_t* environment,
                                     std::wstring const& folder, JobClose close) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    DWORD const flags = CREATE_NO_WINDOW | CREATE_SUSPENDED | (environment != nullptr ? CREATE_UNICODE_ENVIRONMENT : 0);
    if (!CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, flags, environment,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    UniqueKernelHandle const thread(info.hThread);
    JobProcess started{info.dwProcessId, UniqueKernelHandle(info.hProcess), NewJob(close)};
    if (started.job && !AssignProcessToJobObject(started.job.Get(), info.hProcess)) started.job.Reset();
    ResumeThread(thread.Get());
    return started;
}

void EndJobProcess(JobProcess const& started) {
    if (!started.job || !TerminateJobObject(started.job.Get(), 1)) TerminateProcess(started.process.Get(), 1);
}

}  // namespace vigilon
