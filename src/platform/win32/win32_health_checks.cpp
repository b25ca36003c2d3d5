#include "platform/win32/win32_health_checks.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/logon_start.h"
#include "platform/win32/tcp_connect.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/winhttp_get.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

// How much of an answer's body is searched for the text.
constexpr DWORD kBodyBytes = 64 * 1024;
constexpr std::uint64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns

// Milliseconds until `deadline`, never below 0.
int Left(HealthClock::time_point deadline) {
    auto const left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - HealthClock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT32_MAX));
}

HealthAnswer Failed(std::wstring error) {
    HealthAnswer answer;
    answer.error = std::move(error);
    return answer;
}

HealthAnswer TimedOut() {
    HealthAnswer answer = Failed(L"timed out");
    answer.timedOut = true;
    return answer;
}

HealthAnswer HttpFailure(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return TimedOut();
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return Failed(L"name not found");
    case ERROR_WINHTTP_CANNOT_CONNECT: return Failed(L"no connection");
    case ERROR_WINHTTP_CONNECTION_ERROR: return Failed(L"connection lost");
    case ERROR_WINHTTP_SECURE_FAILURE: return Failed(L"certificate not accepted");
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL: return Failed(L"not an HTTP URL");
    case ERROR_PROC_NOT_FOUND: return Failed(L"WinHTTP not available");
    default: return Failed(L"WinHTTP error " + std::to_wstring(error));
    }
}

// Up to the first kBodyBytes of the answer's body; what came before a failure or the deadline.
std::string ReadBody(HINTERNET request) {
    std::string body(kBodyBytes, '\0');
    DWORD got = 0;
    for (DWORD read = 1; read != 0 && got < kBodyBytes; got += read) {
        read = 0;
        if (!WinHttpFunctions().readData(request, body.data() + got, kBodyBytes - got, &read)) break;
    }
    body.resize(got);
    return body;
}

// The body read as UTF-8 (a byte that is not becomes U+FFFD), in lower case.
std::wstring LowerText(std::string const& body) {
    if (body.empty()) return {};
    int const length = MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()), text.data(), length);
    return ToLowerText(text);
}

// The command line with its program, `program`, in quotes: a path with blanks, which users often
// leave unquoted, then reaches the program as its first argument whole.
std::wstring QuotedProgram(std::wstring const& commandLine, std::wstring const& program) {
    std::size_t rest = commandLine.find(program) + program.size();
    if (rest < commandLine.size() && commandLine[rest] == L'"') ++rest;
    return L"\"" + program + L"\"" + commandLine.substr(rest);
}

// A path from a drive's root (C:\tools\check.exe) or on a share (\\server\tools\check.exe).
bool IsFullPath(std::wstring const& path) {
    bool const drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    return drive || path.starts_with(L"\\\\");
}

HealthAnswer StartFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Failed(L"not found");
    case ERROR_ACCESS_DENIED: return Failed(L"access denied");
    default: return Failed(L"could not be started (error " + std::to_wstring(error) + L")");
    }
}

}  // namespace

HealthAnswer AskHttp(HealthQuestion const& question, HealthClock::time_point deadline) {
    OpenedGet get;
    if (DWORD const error = OpenGet(question.target, std::max(Left(deadline), 1), get); error != 0) {
        return HttpFailure(error);
    }
    DWORD status = 0;
    if (DWORD const error = SendGet(get.request.Get(), status); error != 0) return HttpFailure(error);
    HealthAnswer answer;
    answer.answered = true;
    answer.code = status;
    answer.textFound = question.bodyText.empty() ||
                       LowerText(ReadBody(get.request.Get())).find(ToLowerText(question.bodyText)) != std::wstring::npos;
    return answer;
}

HealthAnswer AskTcp(HealthQuestion const& question, HealthClock::time_point deadline) {
    switch (ConnectTcp(question.target, question.port, Left(deadline))) {
    case ConnectOutcome::Connected: {
        HealthAnswer answer;
        answer.answered = true;
        return answer;
    }
    case ConnectOutcome::Refused: return Failed(L"refused");
    case ConnectOutcome::TimedOut: return TimedOut();
    case ConnectOutcome::NameNotFound: return Failed(L"name not found");
    case ConnectOutcome::Failed: break;
    }
    return Failed(L"no connection");
}

HealthAnswer AskFile(HealthQuestion const& question) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(question.target.c_str(), GetFileExInfoStandard, &data)) {
        DWORD const error = GetLastError();
        return Failed(error == ERROR_ACCESS_DENIED ? L"access denied" : L"not found");
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    std::uint64_t const written = TicksOf(data.ftLastWriteTime);
    std::uint64_t const current = TicksOf(now);
    HealthAnswer answer;
    answer.answered = true;
    // A file written "in the future" (a clock set back, another machine's share) is as new as can be.
    answer.ageSeconds = current > written ? static_cast<std::int64_t>((current - written) / kTicksPerSecond) : 0;
    return answer;
}

DWORD HealthCommand::Start(std::wstring const& program, std::wstring const& commandLine, std::wstring const& folder) {
    std::optional<JobProcess> started = StartInJob(program.c_str(), commandLine, nullptr, folder);
    DWORD const error = started ? 0 : GetLastError();
    std::lock_guard lock(mutex_);
    process_ = std::move(started);
    if (ended_ && process_) EndJobProcess(*process_);  // dropped while it was being started
    return ended_ ? ERROR_CANCELLED : error;
}

void HealthCommand::End() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    if (process_) EndJobProcess(*process_);
}

void HealthCommand::Release() {
    std::lock_guard lock(mutex_);
    process_.reset();
}

HealthAnswer AskRun(HealthQuestion const& question, HealthClock::time_point deadline, HealthCommand& command) {
    std::wstring const program = RunValueProgram(question.target);
    if (!IsFullPath(program)) return Failed(L"not a full path");
    std::wstring const line = QuotedProgram(question.target, program);
    if (DWORD const error = command.Start(program, line, question.folder); error != 0) {
        return StartFailure(error);
    }
    HealthAnswer answer;
    DWORD exitCode = 0;
    if (WaitForSingleObject(command.Process(), static_cast<DWORD>(Left(deadline))) == WAIT_TIMEOUT) {
        command.End();
        answer = TimedOut();
    } else if (GetExitCodeProcess(command.Process(), &exitCode)) {
        answer.answered = true;
        answer.code = exitCode;
    } else {
        answer = Failed(L"no exit code");
    }
    command.Release();
    return answer;
}

}  // namespace vigilon
