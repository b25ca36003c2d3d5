#include "platform/win32/win32_process_watch.h"

#include <algorithm>
#include <string>

#include <psapi.h>
#include <tlhelp32.h>

#include "platform/win32/long_path.h"
#include "platform/win32/private_messages.h"
#include "platform/win32/process_image_path.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_owners.h"

namespace vigilon {

// One process waited on. The thread-pool callback reads only the fields set before the wait was
// registered; the wait goes first when the watch does, before the process's handle.
struct Win32ProcessWatch::Watch {
    HWND window = nullptr;
    UINT message = 0;
    std::uint32_t processId = 0;
    UniqueKernelHandle process;
    bool mayQuery = false;  // the handle may read the exit code
    UniqueWait wait;

    static VOID CALLBACK Ended(PVOID context, BOOLEAN /*timedOut*/) {
        auto const* watch = static_cast<Watch const*>(context);
        PostMessageW(watch->window, watch->message, watch->processId, 0);
    }
};

Win32ProcessWatch::Win32ProcessWatch() = default;

Win32ProcessWatch::~Win32ProcessWatch() = default;

void Win32ProcessWatch::SetNotifyWindow(HWND window, UINT endedMessage, UINT answeredMessage) {
    window_ = window;
    message_ = endedMessage;
    answeredMessage_ = answeredMessage;
}

namespace {

// Long enough for a busy program, short enough that a question never piles up behind the last.
DWORD const kAnswerTimeoutMilliseconds = 2000;

// One question to a window, asked on a thread of the system's pool, so that a window that does not
// answer holds up nothing but that thread.
struct Question {
    HWND window;
    HWND notify;
    UINT message;

    static DWORD WINAPI Ask(LPVOID context) {
        std::unique_ptr<Question const> const question(static_cast<Question const*>(context));
        DWORD_PTR result = 0;
        bool const answered = SendMessageTimeoutW(question->window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                  kAnswerTimeoutMilliseconds, &result) != 0;
        // The token says that the answer comes from here, and its free lowest bit what it is.
        PostMessageW(question->notify, question->message, reinterpret_cast<WPARAM>(question->window),
                     static_cast<LPARAM>(PrivateMessageToken() | (answered ? 1 : 0)));
        return 0;
    }
};

}  // namespace

bool Win32ProcessWatch::AskToAnswer(WindowHandle window) {
    if (window_ == nullptr) return false;
    auto question = std::make_unique<Question>(Question{ToHwnd(window), window_, answeredMessage_});
    if (!QueueUserWorkItem(Question::Ask, question.get(), WT_EXECUTELONGFUNCTION)) return false;
    question.release();  // the pool thread owns it now
    return true;
}

std::wstring Win32ProcessWatch::ProcessImagePath(std::uint32_t processId) { return ProcessImagePathOf(processId); }

namespace {

// The file name of a path: what follows its last backslash or slash.
std::wstring_view FileNameOf(std::wstring_view path) {
    std::size_t const slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

std::wstring const& Win32ProcessWatch::LongImageOf(std::uint32_t processId) {
    static std::wstring const none;
    UniqueKernelHandle const process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return none;  // not ours to see, or gone
    std::uint64_t const started = StartTimeOf(process.Get());
    LongImage& known = longImages_[processId];
    if (known.startTime == started && !known.path.empty()) return known.path;
    std::wstring path(32768, L'\0');  // the longest path the system takes
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size)) return none;
    path.resize(size);
    // Written out long as the images asked for are: the system may give a short (8.3) name.
    known = {started, LongFullPathOf(path)};
    return known.path;
}

std::vector<ImageProcess> Win32ProcessWatch::ProcessesOfImages(std::span<std::wstring const> images) {
    // What it costs: one snapshot of the system's processes (their ids and file names, no handle
    // opened), then, for a process whose file name is one of the images' (usually the few asked
    // for) or a short (8.3) name that may be one, its session and one open to read its full path,
    // written out long once per process.
    std::vector<ImageProcess> found;
    if (images.empty()) return found;
    // It fails with INVALID_HANDLE_VALUE, as CreateFile does.
    UniqueKernelHandle const snapshot = OwnFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &ownSession)) return found;
    std::map<std::uint32_t, LongImage> seen;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        std::wstring_view const name(entry.szExeFile);
        bool const shortName = name.find(L'~') != std::wstring_view::npos;
        bool const named = shortName || std::any_of(images.begin(), images.end(), [&](std::wstring const& image) {
                               return SameTextIgnoringCase(FileNameOf(image), name);
                           });
        DWORD session = 0;
        if (!named || !ProcessIdToSessionId(entry.th32ProcessID, &session) || session != ownSession) continue;
        std::wstring const& path = LongImageOf(entry.th32ProcessID);
        if (path.empty()) continue;
        seen[entry.th32ProcessID] = longImages_[entry.th32ProcessID];
        for (std::size_t i = 0; i < images.size(); ++i) {
            if (SameTextIgnoringCase(path, images[i])) found.push_back({entry.th32ProcessID, i});
        }
    }
    longImages_ = std::move(seen);  // those not listed any more are forgotten
    return found;
}

EndResult Win32ProcessWatch::EndProcess(std::uint32_t processId) {
    if (processId == GetCurrentProcessId()) return EndResult::Denied;  // never this program
    UniqueKernelHandle const process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER ? EndResult::Gone : EndResult::Denied;
    if (TerminateProcess(process.Get(), 1)) return EndResult::Ended;
    // A process that has just ended refuses to be ended again: tell that apart from a refusal.
    return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0 ? EndResult::Gone : EndResult::Denied;
}

ProcessExit Win32ProcessWatch::ExitCode(std::uint32_t processId) {
    auto const it = watches_.find(processId);
    if (it == watches_.end()) return {};
    Watch const& watch = *it->second;
    // The wait first: a running process reports STILL_ACTIVE, which is also a code it may end with.
    if (WaitForSingleObject(watch.process.Get(), 0) == WAIT_TIMEOUT) return {ProcessExit::State::Running, 0};
    DWORD code = 0;
    if (!watch.mayQuery || !GetExitCodeProcess(watch.process.Get(), &code)) return {};
    return {ProcessExit::State::Ended, code};
}

std::uint64_t Win32ProcessWatch::ProcessStartTime(std::uint32_t processId) {
    UniqueKernelHandle const process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process ? StartTimeOf(process.Get()) : 0;
}

std::uint64_t Win32ProcessWatch::PrivateMemoryBytes(std::uint32_t processId) {
    // The documented rights first; a process of another user or one running elevated grants only
    // the limited query, which Windows takes for this question too.
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) process.Reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return 0;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        return 0;
    }
    // Both figures are the commit charge on Windows; Wine fills in only the second.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void Win32ProcessWatch::WatchProcesses(std::span<std::uint32_t const> processIds) {
    std::erase_if(watches_, [&](auto const& entry) {
        return std::find(processIds.begin(), processIds.end(), entry.first) == processIds.end();
    });
    if (window_ == nullptr) return;
    for (std::uint32_t const id : processIds) {
        if (id == 0 || id == GetCurrentProcessId() || watches_.contains(id)) continue;
        auto watch = std::make_unique<Watch>();
        watch->window = window_;
        watch->message = message_;
        watch->processId = id;
        // The right to query lets the exit code be read once it has ended; a process that grants
        // only the wait is still watched, its code then unknown.
        watch->process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        watch->mayQuery = static_cast<bool>(watch->process);
        if (!watch->process) watch->process.Reset(OpenProcess(SYNCHRONIZE, FALSE, id));
        if (!watch->process) continue;  // gone already, or not ours to see: found missing by the pass
        HANDLE wait = nullptr;
        if (!RegisterWaitForSingleObject(&wait, watch->process.Get(), Watch::Ended, watch.get(), INFINITE,
                                         WT_EXECUTEONLYONCE)) {
            continue;
        }
        watch->wait.Reset(wait);
        watches_.emplace(id, std::move(watch));
    }
}

}  // namespace vigilon
