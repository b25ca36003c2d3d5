#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/watch_host.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_event_loop.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system_services.h"
#include "platform/platform.h"
#include "platform/process_watch.h"

namespace vigilon::testing {

// Keeps the list of processes watched; a test ends one by calling the host as the system would.
class FakeProcessWatch final : public ProcessWatch {
public:
    std::vector<std::uint32_t> watched;
    int calls = 0;
    std::vector<WindowHandle> questions;  // windows asked to answer, in order
    bool questionsQueue = true;           // false: the system cannot send a question
    std::vector<std::uint32_t> ended;     // processes ended
    EndResult endResult = EndResult::Ended;
    std::map<std::uint32_t, std::wstring> images;     // the executable of each process, where known
    std::map<std::uint32_t, std::uint64_t> startTimes;  // when each process started, where known
    void WatchProcesses(std::span<std::uint32_t const> processIds) override {
        watched.assign(processIds.begin(), processIds.end());
        ++calls;
    }
    bool AskToAnswer(WindowHandle window) override {
        if (!questionsQueue) return false;
        questions.push_back(window);
        return true;
    }
    std::wstring ProcessImagePath(std::uint32_t processId) override {
        auto const it = images.find(processId);
        return it == images.end() ? std::wstring() : it->second;
    }
    std::uint64_t ProcessStartTime(std::uint32_t processId) override {
        auto const it = startTimes.find(processId);
        return it == startTimes.end() ? 0 : it->second;
    }
    std::map<std::uint32_t, std::uint64_t> memory;  // each process's private bytes, where known
    int memoryReadings = 0;
    std::uint64_t PrivateMemoryBytes(std::uint32_t processId) override {
        ++memoryReadings;
        auto const it = memory.find(processId);
        return it == memory.end() ? 0 : it->second;
    }
    EndResult EndProcess(std::uint32_t processId) override {
        ended.push_back(processId);
        return endResult;
    }
};

// Every fake, and the bundle the core takes.
struct FakePlatform {
    FakeProfileStore profile;
    FakeRegistry registry;
    FakeDesktop desktop;
    FakeFileSystem files;
    FakeSystemServices system;
    FakeShell shell;
    FakeEventLoop events;
    FakeProcessWatch processes;
    Platform view{profile, registry, desktop, files, system, shell, events, processes};

    FakePlatform() { events.onProcess = [this] { desktop.ApplyPendingShows(); }; }
    FakePlatform(FakePlatform const&) = delete;
    FakePlatform& operator=(FakePlatform const&) = delete;
};

class FakeWatchHost final : public WatchHost {
public:
    WindowHandle mainWindow = 0x77;
    int mainWindowShown = 0;
    int timerEnabled = 0;
    bool ending = false;
    bool watching = true;  // false while the editor has the passes stopped

    WindowHandle MainWindow() override { return mainWindow; }
    void ShowMainWindow() override { ++mainWindowShown; }
    void EnableTimer() override { ++timerEnabled; }
    bool Ending() override { return ending; }
    bool Watching() override { return watching; }
    void ShowNotice(std::wstring const& text) override { notices.push_back(text); }
    void LaunchPausedChanged(bool paused) override { pausedTip = paused; }

    std::vector<std::wstring> notices;
    bool pausedTip = false;
};

}  // namespace vigilon::testing
