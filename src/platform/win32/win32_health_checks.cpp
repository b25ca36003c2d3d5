#include "platform/win32/win32_health_checks.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

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
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: return TimedOut();  // the latter from Wine's WinHTTP
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

// The body read as UTF-8 (a byte that is not becomes U+FFFD), in lower case.
std::wstring LowerText(std::string_view body) {
    if (body.empty()) return {};
    int const length = MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, body.data(), static_cast<int>(body.size()), text.data(), length);
    return ToLowerText(text);
}

// Reads the answer's body, up to its first kBodyBytes, until `search` finds its text, each wait
// limited to the time left; 0, or the error that stopped it (ERROR_WINHTTP_TIMEOUT when no time
// is left). Each read takes only what has come, so that the text is searched as it arrives.
DWORD SearchBody(HINTERNET request, BodySearch& search, HealthClock::time_point deadline) {
    WinHttp const& f = WinHttpFunctions();
    std::string piece;
    for (DWORD got = 0; got < kBodyBytes && !search.Found();) {
        DWORD come = 0;
        if (!LimitRequest(request, Left(deadline))) return ERROR_WINHTTP_TIMEOUT;
        if (!f.queryDataAvailable(request, &come)) return GetLastError();
        if (come == 0) break;  // the end of the body
        piece.resize(std::min(come, kBodyBytes - got));
        DWORD read = 0;
        if (!f.readData(request, piece.data(), static_cast<DWORD>(piece.size()), &read)) return GetLastError();
        if (read == 0) break;
        search.Add(std::string_view(piece.data(), read));
        got += read;
    }
    return 0;
}

// The command line with its program, `program`, in quotes: a path with blanks, which users often
// leave unquoted, then reaches the program as its first argument whole.
std::wstring QuotedProgram(std::wstring const& commandLine, std::wstring const& program) {
    std::size_t rest = commandLine.find(program) + program.size();
    if (rest < commandLine.size() && commandLine[rest] == L'"') ++rest;
    return L"\"" + program + L"\"" + commandLine.substr(rest);
}

// The program a command line starts: the text in quotes; else up to ".exe", so that a path with
// blanks needs no quotes; else up to the first blank, the arguments of a script following it.
std::wstring CommandProgram(std::wstring const& commandLine) {
    std::size_t const first = commandLine.find_first_not_of(L" \t");
    if (first == std::wstring::npos || commandLine[first] == L'"' ||
        ToLowerText(commandLine).find(L".exe", first) != std::wstring::npos) {
        return RunValueProgram(commandLine);
    }
    std::size_t const blank = commandLine.find_first_of(L" \t", first);
    return commandLine.substr(first, blank == std::wstring::npos ? std::wstring::npos : blank - first);
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

// Why a file check's path could not be read.
HealthAnswer FileFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return Failed(L"not found");
    case ERROR_ACCESS_DENIED: return Failed(L"access denied");
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_DEV_TYPE:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETWORK_BUSY:
    case ERROR_REM_NOT_LIST:
    case ERROR_SEM_TIMEOUT:
    case ERROR_NO_NET_OR_BAD_PATH:
    case ERROR_NO_NETWORK:
    case ERROR_NOT_CONNECTED:
    case ERROR_LOGON_FAILURE:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_SESSION_CREDENTIAL_CONFLICT: return Failed(L"share not reachable");
    default: return Failed(L"could not be read (error " + std::to_wstring(error) + L")");
    }
}

}  // namespace

BodySearch::BodySearch(std::wstring const& text)
    : text_(ToLowerText(text)), tailBytes_(3 * text.size()), found_(text.empty()) {}

bool BodySearch::Add(std::string_view piece) {
    if (found_) return true;
    tail_.append(piece);
    found_ = LowerText(tail_).find(text_) != std::wstring::npos;
    // What is kept starts on a character (UTF-8 takes at most 3 bytes for each UTF-16 unit).
    if (tail_.size() > tailBytes_) {
        std::size_t cut = tail_.size() - tailBytes_;
        while (cut > 0 && (static_cast<unsigned char>(tail_[cut]) & 0xC0) == 0x80) --cut;
        tail_.erase(0, cut);
    }
    return found_;
}

HealthAnswer AskHttp(HealthQuestion const& question, HealthClock::time_point deadline) {
    OpenedGet get;
    if (DWORD const error = OpenGet(question.target, std::max(Left(deadline), 1), get); error != 0) {
        return HttpFailure(error);
    }
    DWORD status = 0;
    auto const timeLeft = [deadline] { return Left(deadline); };
    if (DWORD const error = SendGet(get.request.Get(), status, timeLeft); error != 0) return HttpFailure(error);
    BodySearch search(question.bodyText);
    HealthAnswer answer;
    if (DWORD const error = SearchBody(get.request.Get(), search, deadline); error != 0) answer = HttpFailure(error);
    answer.answered = answer.error.empty();
    answer.code = status;
    answer.textFound = search.Found();
    return answer;
}

HealthAnswer AskTcp(HealthQuestion const& question, HealthClock::time_point deadline) {
    switch (ConnectTcp(question.target, question.port, {.totalMilliseconds = Left(deadline)})) {
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
        return FileFailure(GetLastError());
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

DWORD HealthCommand::Start(std::wstring const& application, std::wstring const& commandLine,
                           std::wstring const& folder) {
    {
        std::lock_guard lock(mutex_);
        if (ended_) return ERROR_CANCELLED;  // dropped before its thread came to it
    }
    std::optional<JobProcess> started = StartInJob(application.empty() ? nullptr : application.c_str(), commandLine,
                                                   nullptr, folder, JobClose::End);
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
    std::wstring const program = CommandProgram(question.target);
    if (!IsFullPath(program)) return Failed(L"not a full path");
    std::wstring const line = QuotedProgram(question.target, program);
    // An exe is started as itself, so no other program is looked for. Anything else (a .cmd or .bat
    // script, a name without its extension) the system reads from the quoted command line: it runs
    // a script with cmd.exe, which a script named as the program would not get.
    bool const exe = ToLowerText(program).ends_with(L".exe");
    if (DWORD const error = command.Start(exe ? program : std::wstring(), line, question.folder); error != 0) {
        return StartFailure(error);
    }
    HealthAnswer answer;
    DWORD exitCode = 0;
    DWORD const waited = WaitForSingleObject(command.Process(), static_cast<DWORD>(Left(deadline)));
    if (waited != WAIT_OBJECT_0) {
        DWORD const error = GetLastError();
        command.End();
        answer = waited == WAIT_TIMEOUT ? TimedOut()
                                        : Failed(L"could not be waited for (error " + std::to_wstring(error) + L")");
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
