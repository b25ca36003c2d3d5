#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/process_watch.h"

namespace vigilon {

// Waits on the watched processes' handles in the system's thread pool; the end of one is posted
// to the notify window as its message, with the process id in wParam.
class Win32ProcessWatch final : public ProcessWatch {
public:
    Win32ProcessWatch();
    Win32ProcessWatch(Win32ProcessWatch const&) = delete;
    Win32ProcessWatch& operator=(Win32ProcessWatch const&) = delete;
    ~Win32ProcessWatch() override;

    // Ends of processes are posted to `window` as `endedMessage`, with the process id in wParam;
    // answers as `answeredMessage`, with the window in wParam and, in lParam, PrivateMessageToken
    // with its lowest bit set when the window answered.
    void SetNotifyWindow(HWND window, UINT endedMessage, UINT answeredMessage);
    void WatchProcesses(std::span<std::uint32_t const> processIds) override;
    bool AskToAnswer(WindowHandle window) override;
    std::wstring ProcessImagePath(std::uint32_t processId) override;
    std::uint64_t ProcessStartTime(std::uint32_t processId) override;
    std::uint64_t PrivateMemoryBytes(std::uint32_t processId) override;
    ProcessExit ExitCode(std::uint32_t processId) override;
    std::vector<ImageProcess> ProcessesOfImages(std::span<std::wstring const> images) override;
    EndResult EndProcess(std::uint32_t processId) override;

private:
    struct Watch;
    // A listed process's image, written out long as the images asked for are: read once per process.
    struct LongImage {
        std::uint64_t startTime = 0;  // tells the process from a later one of its id
        std::wstring path;
    };
    // The image of a process of this session as LongFullPathOf gives it; empty when it cannot be read.
    std::wstring const& LongImageOf(std::uint32_t processId);
    std::map<std::uint32_t, std::unique_ptr<Watch>> watches_;
    std::map<std::uint32_t, LongImage> longImages_;  // by process id, of the processes last listed
    HWND window_ = nullptr;
    UINT message_ = 0;
    UINT answeredMessage_ = 0;
};

}  // namespace vigilon
