#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/watch_host.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_event_loop.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_profile_store.h"
#include "fakes/fake_health_probe.h"
#include "fakes/fake_readiness_probe.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_session_power.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system_services.h"
#include "fakes/fake_window_survey.h"
#include "platform/platform.h"
#include "platform/process_watch.h"
#include "support/text_case.h"

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
    int imageReads = 0;  // ProcessImagePath calls
    std::wstring ProcessImagePath(std::uint32_t processId) override {
        ++imageReads;
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
    // How each process stands, where a test says; one not named here runs while the desktop shows
    // a window of it, and its end is unknown otherwise. Only a watched process is known, as on Windows.
    std::map<std::uint32_t, ProcessExit> exits;
    std::function<bool(std::uint32_t)> hasWindow;  // set by FakePlatform
    ProcessExit ExitCode(std::uint32_t processId) override {
        if (std::find(watched.begin(), watched.end(), processId) == watched.end()) return {};
        auto const it = exits.find(processId);
        if (it != exits.end()) return it->second;
        if (hasWindow && hasWindow(processId)) return {ProcessExit::State::Running, 0};
        if (running.contains(processId)) return {ProcessExit::State::Running, 0};
        return {};
    }
    // Processes that run with no window of their own, as the system lists them: their executable and
    // their session (kOwnSession is this one's). Listed by ProcessesOfImages; running while listed.
    static constexpr std::uint32_t kOwnSession = 1;
    struct Listed {
        std::wstring image;
        std::uint32_t session = kOwnSession;
    };
    std::map<std::uint32_t, Listed> running;
    int imageQueries = 0;  // enumerations of the system's processes
    std::vector<ImageProcess> ProcessesOfImages(std::span<std::wstring const> wanted) override {
        ++imageQueries;
        std::vector<ImageProcess> found;
        for (auto const& [id, process] : running) {
            if (process.session != kOwnSession) continue;
            for (std::size_t i = 0; i < wanted.size(); ++i) {
                if (ToUpperText(wanted[i]) == ToUpperText(process.image)) found.push_back({id, i});
            }
        }
        return found;
    }
    std::function<void(std::uint32_t)> onEnd;  // runs as a process is ended
    EndResult EndProcess(std::uint32_t processId) override {
        ended.push_back(processId);
        if (onEnd) onEnd(processId);
        return endResult;
    }
};

// Records the entries written, as Windows would keep them.
class FakeEventLog final : public EventLog {
public:
    struct Entry {
        std::uint16_t type;
        std::uint32_t messageId;
        std::wstring program, details;
        std::int64_t at = 0;  // the clock's time, when a test gives one
    };
    std::vector<Entry> entries;
    std::function<std::int64_t()> clock;
    bool Write(std::uint16_t type, std::uint32_t messageId, std::wstring_view program,
               std::wstring_view details) override {
        entries.push_back({type, messageId, std::wstring(program), std::wstring(details), clock ? clock() : 0});
        return true;
    }
};

// Commands started, by id, with their environment; a test ends one with `finished`.
class FakeCommandRunner final : public CommandRunner {
public:
    struct Command {
        std::wstring line;
        std::map<std::wstring, std::wstring> variables;
        bool running = true;
        bool ended = false;  // ended by Vigilon
        std::int64_t at = 0;  // the clock's time, when a test gives one
    };
    std::vector<Command> commands;
    bool startSucceeds = true;
    std::function<std::int64_t()> clock;
    std::optional<std::uint32_t> Start(std::wstring_view commandLine, Variables variables) override {
        if (!startSucceeds) return std::nullopt;
        commands.push_back({std::wstring(commandLine), {variables.begin(), variables.end()}, true, false, clock ? clock() : 0});
        return static_cast<std::uint32_t>(commands.size() - 1);
    }
    bool Finished(std::uint32_t id) override { return !commands.at(id).running; }
    void End(std::uint32_t id) override {
        commands.at(id).running = false;
        commands.at(id).ended = true;
    }
    std::size_t Running() const {
        return static_cast<std::size_t>(std::count_if(commands.begin(), commands.end(), [](auto const& c) { return c.running; }));
    }
};

// Requests made, by id; each ends when a test gives it an outcome, as a real one ends later.
class FakeHttpClient final : public HttpClient {
public:
    struct Request {
        std::wstring url;
        int timeoutMilliseconds = 0;
        std::optional<Outcome> outcome;  // nothing while it runs
        bool cancelled = false;
        std::string contentType;  // a POST's
        std::string body;
    };
    std::vector<Request> requests;
    bool startSucceeds = true;
    std::optional<std::uint32_t> Get(std::wstring_view url, int timeoutMilliseconds) override {
        if (!startSucceeds) return std::nullopt;
        requests.push_back({std::wstring(url), timeoutMilliseconds, std::nullopt, false, {}, {}});
        return static_cast<std::uint32_t>(requests.size() - 1);
    }
    std::optional<std::uint32_t> Post(std::wstring_view url, std::string_view contentType, std::string body,
                                      int timeoutMilliseconds) override {
        if (!startSucceeds) return std::nullopt;
        requests.push_back({std::wstring(url), timeoutMilliseconds, std::nullopt, false, std::string(contentType),
                            std::move(body)});
        return static_cast<std::uint32_t>(requests.size() - 1);
    }
    std::optional<Outcome> Finished(std::uint32_t id) override {
        return requests.at(id).cancelled ? std::nullopt : requests.at(id).outcome;
    }
    void Cancel(std::uint32_t id) override { requests.at(id).cancelled = true; }
    // Ends the last request as a server would.
    void Answer(std::uint32_t status, std::string answer = {}) {
        requests.back().outcome = Outcome{status / 100 == 2, status, {}, std::move(answer)};
    }
    void Fail(std::wstring error) { requests.back().outcome = Outcome{false, 0, std::move(error), {}}; }
};

// Takes each picture as a worker would, saved as a file of the fake file system by the time anyone
// looks; a test may make saving fail, or pictures block, as for a window that never draws.
class FakeWindowCapture final : public WindowCapture {
public:
    explicit FakeWindowCapture(FakeFileSystem& files) : files_(files) {}
    struct Saved {
        WindowHandle window;
        std::wstring path;
        bool fromScreen;
    };
    std::vector<Saved> saved;  // every picture begun, in order
    bool succeeds = true;
    bool savesNothing = false;  // says it saved, yet no file is there (deleted at once by someone else)
    bool blocks = false;        // pictures begun now are never done, until Unblock
    std::vector<std::wstring> dropped;  // the paths of the pictures dropped
    std::uint32_t Begin(WindowHandle window, std::wstring const& path, bool fromScreen) override {
        saved.push_back({window, path, fromScreen});
        jobs_[++last_] = {path, blocks ? CaptureResult::Pending : succeeds ? CaptureResult::Saved : CaptureResult::NotSaved};
        if (jobs_[last_].result == CaptureResult::Saved && !savesNothing) files_.AddFile(path);
        return last_;
    }
    CaptureResult Take(std::uint32_t ticket) override {
        auto const it = jobs_.find(ticket);
        if (it == jobs_.end()) return CaptureResult::NotSaved;
        CaptureResult const result = it->second.result;
        if (result != CaptureResult::Pending) jobs_.erase(it);
        return result;
    }
    void Drop(std::uint32_t ticket) override {
        auto const it = jobs_.find(ticket);
        if (it == jobs_.end()) return;
        if (it->second.result == CaptureResult::Saved) files_.RemoveFile(it->second.path);
        dropped.push_back(it->second.path);
        jobs_.erase(it);
    }
    // The pictures that block are done at last, saved; a dropped one's file is deleted, as its
    // worker deletes it.
    void Unblock() {
        blocks = false;
        for (auto& [ticket, job] : jobs_) {
            if (job.result != CaptureResult::Pending) continue;
            job.result = CaptureResult::Saved;
            files_.AddFile(job.path);
        }
    }
    std::size_t Outstanding() const { return jobs_.size(); }

private:
    struct Job {
        std::wstring path;
        CaptureResult result = CaptureResult::Pending;
    };
    FakeFileSystem& files_;
    std::map<std::uint32_t, Job> jobs_;
    std::uint32_t last_ = 0;
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
    FakeEventLog eventLog;
    FakeCommandRunner commands;
    FakeReadinessProbe readiness;
    FakeHealthProbe health;
    FakeHttpClient http;
    FakeWindowCapture capture{files};
    FakeWindowSurvey survey;
    FakeSessionPower power;
    Platform view{profile,   registry, desktop,  files,     system, shell, events,
                  processes, eventLog, commands, readiness, health, http, capture, survey, power};

    FakePlatform() {
        events.onProcess = [this] { desktop.ApplyPendingShows(); };
        system.now = &events.now;
        processes.hasWindow = [this](std::uint32_t processId) {
            auto const windows = desktop.TopLevelWindows();
            return std::any_of(windows.begin(), windows.end(),
                               [&](WindowHandle window) { return desktop.WindowProcessId(window) == processId; });
        };
    }
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
