#include "platform/win32/win32_process_watch.h"

#include <algorithm>

#include "platform/win32/win32_owners.h"

namespace vigilon {

// One process waited on. The thread-pool callback reads only the fields set before the wait was
// registered, and the destructor waits for a callback under way to finish.
struct Win32ProcessWatch::Watch {
    HWND window = nullptr;
    UINT message = 0;
    std::uint32_t processId = 0;
    UniqueKernelHandle process;
    HANDLE wait = nullptr;

    Watch() = default;
    Watch(Watch const&) = delete;
    Watch& operator=(Watch const&) = delete;
    ~Watch() {
        if (wait != nullptr) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
    }

    static VOID CALLBACK Ended(PVOID context, BOOLEAN /*timedOut*/) {
        auto const* watch = static_cast<Watch const*>(context);
        PostMessageW(watch->window, watch->message, watch->processId, 0);
    }
};

Win32ProcessWatch::Win32ProcessWatch() = default;

Win32ProcessWatch::~Win32ProcessWatch() = default;

void Win32ProcessWatch::SetNotifyWindow(HWND window, UINT message) {
    window_ = window;
    message_ = message;
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
        watch->process.Reset(OpenProcess(SYNCHRONIZE, FALSE, id));
        if (!watch->process) continue;  // gone already, or not ours to see: found missing by the pass
        if (!RegisterWaitForSingleObject(&watch->wait, watch->process.Get(), Watch::Ended, watch.get(), INFINITE,
                                         WT_EXECUTEONLYONCE)) {
            watch->wait = nullptr;
            continue;
        }
        watches_.emplace(id, std::move(watch));
    }
}

}  // namespace vigilon
