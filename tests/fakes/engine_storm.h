#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes/engine_scene.h"
#include "support/file_utils.h"
#include "support/local_time.h"
#include "support/text_case.h"
#include "ui/remote_answers.h"

namespace vigilon::testing {

// Where the storm's choices come from: a seeded generator in the unit tests, the fuzzer's bytes.
class Choices {
public:
    virtual ~Choices() = default;
    // A number from 0 to bound - 1.
    virtual std::uint32_t Below(std::uint32_t bound) = 0;
};

// Drives a watch engine on the fakes with random happenings (windows that come, go, hang and
// answer; starts that come up, never come, or are refused; memory, sleep, the clock set, the editor,
// the tray's and a script's commands, rules and options changed), a pass after each as the timer
// runs them, and checks after every step what must always hold. Step returns what broke, or empty.
class EngineStorm final : private RemoteTarget {
public:
    static constexpr int kPrograms = 3;
    // How long a command may wait for its start after its trouble: in Box mode a pass may wait a
    // minute for each program's window before the commands are tended, and the step's clock runs on.
    static constexpr std::int64_t kQueued = 70'000;
    static constexpr wchar_t kPingUrl[] = L"https://hc.example.com/ping/storm";

    explicit EngineStorm(Choices& choices) : choices_(choices) {
        scene_.fake.power.paused = [this] { return engine().LaunchPaused(); };
        for (int i = 0; i < kPrograms; ++i) {
            scene_.fake.files.AddFile(Exe(i));
            scene_.AddProgram(Name(i), Caption(i), Exe(i));
        }
        // A program without a window, after the others: its caption is the first one's, which it
        // must never take, and its keys ask for a window kept on screen, which it has not.
        scene_.fake.files.AddFile(Exe(kWindowless));
        WatchedProgram& windowless = scene_.AddProgram(Name(kWindowless), Caption(0), Exe(kWindowless));
        windowless.rules.window = L"None";
        windowless.rules.show = L"Maximized";
        windowless.rules.onTop = L"1";
        auto& fake = scene_.fake;
        fake.desktop.closeOnPost = true;
        // The third program's executable is the shell's, as with EXE=explorer.exe for a folder.
        fake.desktop.shellProcess = Process(Exe(2));
        desktopWindow_ = fake.desktop.Add(L"Program Manager", true, false);
        fake.desktop.Find(desktopWindow_)->processId = fake.desktop.shellProcess;
        windowImages_[desktopWindow_] = Exe(2);
        fake.eventLog.clock = [&fake] { return fake.events.now; };
        fake.commands.clock = [&fake] { return fake.events.now; };
        // When each history line was written: a pass may run on for minutes after a trouble.
        fake.files.onAppend = [this](std::wstring const& path, std::string_view bytes) {
            if (path != std::wstring(EngineScene::kFolder) + L"vigilon.log") return;
            for (char const c : bytes) {
                if (c == '\n') historyTimes_.push_back(scene_.fake.events.now);
            }
        };
        fake.shell.onLaunch = [this](FakeShell::Launch const& launch) { Launched(launch); };
        fake.desktop.onPost = [this](WindowHandle window) { Posted(window); };
        fake.processes.onEnd = [this](std::uint32_t process) { Ended(process); };
        fake.desktop.onRequest = [this](WindowHandle window, std::int32_t show) { Requested(window, show); };
        fake.health.onBegin = [this](std::uint32_t ticket, HealthQuestion const& question) { CheckBegun(ticket, question); };
        fake.health.onTake = [this](std::uint32_t ticket, HealthAnswer const& answer) { CheckTaken(ticket, answer); };
        fake.system.onMessage = [this] {
            EditWhileABoxIsOpen();
            HoldBox();
        };
        engine().SetEventLog(true);
        engine().SetTroubleCommand(L"tell.cmd");
        engine().SetNoticeMode(NoticeMode::Tray);
        // A URL without a placeholder: a monitor that alerts when its pings stop.
        engine().SetHeartbeat(kPingUrl, 10);
        SetAlerts();
    }

    std::string Step() {
        failure_.clear();
        Happen();
        if (scene_.host.watching) {
            passBegan_ = scene_.fake.events.now;
            processKeysInPass_ = false;
            scene_.engine.WatchPrograms();
            CheckWindowsHeld();
            if (engine().WindowOf(Name(kWindowless)) != 0) Fail("a program without a window took one");
            // Not when the editor was opened while a notice held this pass: every row then says
            // Stopped with no process, yet the engine still holds the one it had, which it tells
            // as gone when it ends meanwhile; what it held was read as the editor opened.
            if (scene_.host.watching) windowlessFound_ = WindowlessHeld();
        }
        CheckStatus();  // as the pass left it, before the world moves on
        CheckPlacementRequests();
        Answer();
        scene_.fake.events.now += 1000;
        scene_.fake.events.ProcessPendingEvents();
        NotePlacementOutcomes();
        DrainCommands();
        CheckTrouble();
        CheckHoursBegan();
        CheckHeartbeat();
        CheckHealthChecks();
        CheckEscalation();
        CheckAlerts();
        return failure_;
    }

    // Vigilon ends, as Exit ends it: no window it hid is left hidden.
    std::string Finish() {
        failure_.clear();
        engine().LetGoOfWindows();
        engine().ShowHidePrograms(true);
        ForgetGoneWindows();
        if (!hidden_.empty()) Fail("a window Vigilon hid is left hidden as Vigilon ends: " + std::to_string(*hidden_.begin()));
        return failure_;
    }

    // The last steps, for the report of a failure.
    std::string Trace() {
        std::string text;
        for (std::string const& line : trace_) text += line + "\n";
        std::string const& history = scene_.fake.files.texts[std::wstring(EngineScene::kFolder) + L"vigilon.log"];
        std::size_t from = history.size();
        for (int lines = 0; lines <= 60 && from > 0; lines += history[--from] == '\n') {}
        return text + "history:\n" + history.substr(from);
    }

private:
    struct Proc {
        std::wstring image;
        bool hung = false;
        int startedFor = -1;  // the program Vigilon started it for, -1 none
    };

    // The program without a window: listed after the others, which the storm's loops go through.
    static constexpr int kWindowless = kPrograms;
    static std::wstring Name(int i) { return std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L"lpha"; }
    // Captions that overlap: the first is the start of the others. While the twins are on, the
    // third has the second's caption, and each of the two is told apart by its Process.
    std::wstring Caption(int i) const { return i == 0 ? std::wstring(L"Alpha") : L"Alpha " + Name(twins_ && i == 2 ? 1 : i); }
    static std::wstring Exe(int i) { return L"C:\\" + Name(i) + L".exe"; }
    WatchEngine& engine() { return scene_.engine; }
    FakeDesktop& desktop() { return scene_.fake.desktop; }

    std::uint32_t Process(std::wstring image, int startedFor = -1) {
        std::uint32_t const id = nextProcess_++;
        processes_[id] = {std::move(image), false, startedFor};
        scene_.fake.processes.images[id] = processes_[id].image;
        scene_.fake.processes.startTimes[id] = id * 10ull;
        return id;
    }
    WindowHandle Open(std::wstring const& caption, std::uint32_t process, bool minimised) {
        WindowHandle const window = desktop().Add(caption, true, minimised);
        desktop().Find(window)->processId = process;
        windowImages_[window] = processes_[process].image;
        Sync(process);
        return window;
    }
    // A hung program handles no close request, nor one that asks the user to save.
    void Sync(std::uint32_t process) {
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (desktop().WindowProcessId(window) != process) continue;
            std::erase(desktop().refuseClose, window);
            if (processes_[process].hung || asksToSave_.count(window) != 0) desktop().refuseClose.push_back(window);
        }
    }
    // The program whose caption, as it is now, matches the most of `window`'s, -1 none.
    int ProgramOf(WindowHandle window) {
        FakeWindow const* w = desktop().Find(window);
        return w == nullptr ? -1 : ProgramOf(w->caption, ImageOf(window));
    }
    // The program whose caption, as it is now, matches the most of `shown`, shown by a process of
    // `image`: a program with Process takes only its own executable's, and at the same length of
    // caption wins over one without. -1 none.
    int ProgramOf(std::wstring const& shown, std::wstring const& image) {
        int best = -1;
        for (int i = 0; i < kPrograms; ++i) {
            WatchedProgram const& record = scene_.programs[i + 1];
            if (record.caption.empty() || !ToUpperText(shown).starts_with(ToUpperText(record.caption))) continue;
            if (!record.rules.process.empty() && !SameText(record.rules.process, image)) continue;
            WatchedProgram const* const other = best < 0 ? nullptr : &scene_.programs[best + 1];
            if (other == nullptr || record.caption.size() > other->caption.size() ||
                (record.caption.size() == other->caption.size() && other->rules.process.empty() && !record.rules.process.empty())) {
                best = i;
            }
        }
        return best;
    }
    // The executable of the process that opened `window`; empty for one the storm did not open.
    std::wstring ImageOf(WindowHandle window) const {
        auto const found = windowImages_.find(window);
        return found == windowImages_.end() ? std::wstring() : found->second;
    }
    // The program whose window the last pass found `window` to be, -1 none.
    int HolderOf(WindowHandle window) {
        for (int i = 0; i < kPrograms; ++i) {
            if (window != 0 && engine().WindowOf(scene_.programs[i + 1].name) == window) return i;
        }
        return -1;
    }
    // A caption changed: each program whose window now matches another's more loses it.
    void WindowsMayGo() {
        for (int i = 0; i < kPrograms; ++i) {
            WindowHandle const window = engine().WindowOf(scene_.programs[i + 1].name);
            if (window != 0 && ProgramOf(window) != i) crashed_.insert(i);
        }
    }
    // Whether the process runs, as far as the engine can know: -1 it cannot.
    int Runs(std::uint32_t process) {
        auto const exit = scene_.fake.processes.exits.find(process);
        if (exit != scene_.fake.processes.exits.end()) return exit->second.state == ProcessExit::State::Running ? 1 : 0;
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (desktop().WindowProcessId(window) == process) return 1;
        }
        return -1;
    }
    WindowHandle AnyWindow() {
        std::vector<WindowHandle> const windows = desktop().TopLevelWindows();
        WindowHandle const window = windows[choices_.Below(static_cast<std::uint32_t>(windows.size()))];
        return window == desktopWindow_ ? 0 : window;
    }
    void Say(std::string what) {
        trace_.push_back(std::to_string(step_) + ": " + what);
        if (trace_.size() > 40) trace_.erase(trace_.begin());
    }
    static constexpr int kUptimes[] = {2, 10, 20, 600};  // minutes
    // A ladder on the program, and the PC-wide options of escalation.
    void EscalationRules(WatchedProgram& record) {
        static constexpr wchar_t const* kLadders[] = {L"", L"1:reboot", L"2:logoff, 3:shutdown", L"1:command, 2:reboot"};
        record.rules.escalate = kLadders[choices_.Below(4)];
        escalation_.minUptimeMinutes = choices_.Below(2) == 0 ? 5 : 15;
        escalation_.maxReboots = 1 + static_cast<int>(choices_.Below(3));
        escalation_.noticeSeconds = static_cast<int>(choices_.Below(3)) * 15;  // 0, 15 or 30
        engine().SetEscalation(escalation_);
        Say("escalation rules " + std::to_string(escalation_.noticeSeconds));
    }
    // The lines of escalation that share a word with others: `held` and `cancelled`.
    static bool EscalationDetails(std::wstring_view details) {
        return details.find(L" kept back: ") != std::wstring_view::npos || details.find(L" cancelled by ") != std::wstring_view::npos ||
               details.find(L" cancelled, ") != std::wstring_view::npos;
    }
    // No logoff, restart or shutdown within MinUptime, more than MaxReboots in 24 hours, before its
    // countdown has run, beside another countdown, or while launching is paused.
    void CheckEscalation() {
        auto& fake = scene_.fake;
        bool const counting = engine().EscalationCountingDown();
        for (std::size_t i = powerSeen_; i < fake.power.requests.size(); ++i) {
            FakeSessionPower::Request const& request = fake.power.requests[i];
            if (request.uptime < std::int64_t{escalation_.minUptimeMinutes} * 60'000) Fail("a session ended within MinUptime");
            if (i > powerSeen_) Fail("two sessions ended at once");
            if (counting) Fail("a session ended while a countdown still runs");
            if (request.paused) Fail("a session ended while launching is paused");
            // Asked for within the step after the countdown's end: its seconds have gone by.
            if (countdownSince_ < 0 || fake.events.now - countdownSince_ < std::int64_t{countdownNotice_} * 1000) {
                Fail("a session ended before its countdown ran");
            }
            if (!fake.power.refusal.empty()) continue;
            std::int64_t const wall = UnixSeconds(fake.events.LocalTimeNow());
            int const inDay = static_cast<int>(std::count_if(sessionsEnded_.begin(), sessionsEnded_.end(),
                                                             [&](std::int64_t at) { return wall - at < 86'400; }));
            if (inDay >= escalation_.maxReboots) Fail("more sessions ended in a day than MaxReboots");
            sessionsEnded_.push_back(wall);
        }
        powerSeen_ = fake.power.requests.size();
    }

    void Fail(std::string const& what) {
        if (failure_.empty()) failure_ = "step " + std::to_string(step_) + ": " + what;
    }

    void Happen() {
        ++step_;
        auto& fake = scene_.fake;
        int const program = static_cast<int>(choices_.Below(kPrograms));
        WatchedProgram& record = scene_.programs[program + 1];
        switch (choices_.Below(46)) {
        case 0: Say("user starts " + std::to_string(program)); Open(Caption(program) + L" - user", Process(Exe(program)), choices_.Below(2) == 0); break;
        case 1:
            Say("stranger window " + std::to_string(program));
            Open(Caption(program) + L" - other", program == 2 ? desktop().shellProcess : Process(L"C:\\other.exe"), false);
            break;
        case 2: case 3: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            int const of = HolderOf(window) >= 0 ? HolderOf(window) : ProgramOf(window);
            Say("window gone " + std::to_string(window) + " of " + std::to_string(of));
            if (of >= 0) crashed_.insert(of);
            // Its process ends well, crashes, or its end is not told (it runs on, or cannot be asked).
            std::uint32_t const code = choices_.Below(3) == 0 ? 0u : 0xC0000005u;
            if (choices_.Below(3) != 0) fake.processes.exits[desktop().WindowProcessId(window)] = {ProcessExit::State::Ended, code};
            desktop().Remove(window);
            break;
        }
        case 4: case 5: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            std::uint32_t const process = desktop().WindowProcessId(window);
            processes_[process].hung = !processes_[process].hung;
            Say("process " + std::to_string(process) + (processes_[process].hung ? " hangs" : " answers"));
            Sync(process);
            break;
        }
        case 6: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            if (!asksToSave_.insert(window).second) asksToSave_.erase(window);
            Sync(desktop().WindowProcessId(window));
            Say("window asks to save, or not " + std::to_string(window));
            break;
        }
        case 7: {
            WindowHandle const window = AnyWindow();
            if (window == 0 || processes_[desktop().WindowProcessId(window)].hung) break;
            desktop().Find(window)->minimised = true;
            Say("minimised");
            break;
        }
        case 8: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            fake.processes.memory[desktop().WindowProcessId(window)] = std::uint64_t{choices_.Below(2) == 0 ? 50u : 300u} << 20;
            Say("memory reading");
            break;
        }
        case 9: {
            std::int64_t const jump = 2'000 + choices_.Below(600) * 1'000;
            Say("asleep " + std::to_string(jump));
            fake.events.now += jump;
            break;
        }
        case 10: fake.events.localShift += (static_cast<std::int64_t>(choices_.Below(3)) - 1) * 3'600'000; Say("clock set"); break;
        case 11:
            // While the editor is open no pass runs and the status tells no process: the one the
            // engine holds now is kept until it is looked at again.
            if (scene_.host.watching) windowlessFound_ = WindowlessHeld();
            scene_.host.watching = !scene_.host.watching;
            Say(scene_.host.watching ? "editor closed" : "editor opened");
            if (scene_.host.watching) {
                engine().ResumeLaunching();
            } else {
                engine().WatchingStopped(L"the editor is open");
                engine().ShowHidePrograms(false);
            }
            break;
        case 12: Say("pause"); engine().PauseLaunching(); break;
        case 13: Say("launch programs"); Resume(); break;
        case 14: Say("close programs"); engine().ClosePrograms(); break;
        case 15: Remote(program); break;
        case 16: {
            static constexpr int kHangSeconds[] = {0, 5, 20};
            int const seconds = kHangSeconds[choices_.Below(3)];
            Say("hang seconds " + std::to_string(seconds));
            hangSeconds_ = seconds;
            engine().SetHangSeconds(seconds);
            break;
        }
        case 17: backoff_ = !backoff_; engine().SetBackoff(backoff_); Say("backoff"); break;
        case 18: record.rules.maxMemoryMB = record.rules.maxMemoryMB.empty() ? L"100" : L""; Say("memory limit"); break;
        case 19: {
            LocalTime const soon = AddMilliseconds(fake.events.LocalTimeNow(), 60'000);
            record.rules.restartAt = choices_.Below(2) == 0 ? std::wstring() : ClockText(soon).substr(0, 5);
            Say("daily restart");
            break;
        }
        case 20:
            if (choices_.Below(2) == 0) fake.files.RemoveFile(Exe(program)); else fake.files.AddFile(Exe(program));
            fake.shell.result = choices_.Below(4) == 0 ? 2 : 42;
            Say("file or shell changed");
            break;
        case 21:
            engine().SetNoticeMode(engine().Notices() == NoticeMode::Tray ? NoticeMode::Box : NoticeMode::Tray);
            Say("notice mode");
            break;
        case 22:
            record.rules.restart = record.rules.restart.empty() ? L"Failure" : L"";
            if (record.rules.restart.empty()) closed_.erase(program);
            Say("restart rule " + std::to_string(program));
            break;
        case 23: {
            static constexpr wchar_t const* kShows[] = {L"", L"Normal", L"Maximized", L"FullScreen"};
            record.rules.show = kShows[choices_.Below(4)];
            record.rules.onTop = choices_.Below(2) == 0 ? L"1" : L"";
            Say("show rule");
            break;
        }
        case 24: StartRules(record); break;
        case 25:
            if (choices_.Below(4) == 0) {
                fake.readiness.stalled = !fake.readiness.stalled;
            } else {
                std::wstring const what = choices_.Below(2) == 0 ? L"C:\\ready" : L"db:1433";
                if (!fake.readiness.there.erase(what)) fake.readiness.there.insert(what);
            }
            Say("what a start waits for comes or goes");
            break;
        case 26: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            if (std::erase(desktop().refusePlacement, window) == 0) desktop().refusePlacement.push_back(window);
            Say("window refuses placements, or not " + std::to_string(window));
            break;
        }
        case 27:
            // Pictures on or off; the ones begun from now on come at once, or never (a window that
            // does not draw), or those waiting come at last.
            switch (choices_.Below(3)) {
            case 0: screenshots_ = !screenshots_; engine().SetScreenshots(screenshots_); break;
            case 1: fake.capture.blocks = !fake.capture.blocks; break;
            case 2: fake.capture.Unblock(); break;
            }
            Say("pictures changed");
            break;
        case 28: {
            WindowHandle const window = AnyWindow();
            if (window == 0) break;
            // Retitled by its document, or into another program's caption.
            FakeWindow* const w = desktop().Find(window);
            w->caption = choices_.Below(2) == 0 ? L"report.txt - " + w->caption : Caption(program) + L" - renamed";
            Say("retitled " + std::to_string(window));
            WindowsMayGo();
            break;
        }
        case 29: {
            // Its caption changed in the editor: none (as good as deleted), or its own again. The
            // first program keeps its caption: with none left, /status has nothing to tell.
            int const changed = 1 + static_cast<int>(choices_.Below(kPrograms - 1));
            WatchedProgram& edited = scene_.programs[changed + 1];
            edited.caption = edited.caption.empty() ? Caption(changed) : L"";
            if (edited.caption.empty()) closed_.erase(changed);  // not watched: nothing is left closed
            Say("caption of " + std::to_string(changed) + (edited.caption.empty() ? " taken away" : " back"));
            WindowsMayGo();
            break;
        }
        case 30: {
            // A process started for a program that runs on without a window ends.
            for (auto& [process, proc] : processes_) {
                if (proc.startedFor != program || Runs(process) != 1) continue;
                fake.processes.exits[process] = {ProcessExit::State::Ended, 0};
                for (WindowHandle const window : desktop().TopLevelWindows()) {
                    if (desktop().WindowProcessId(window) != process) continue;
                    if (HolderOf(window) >= 0) crashed_.insert(HolderOf(window));
                    desktop().Remove(window);
                }
                Say("started process ends " + std::to_string(process));
                break;
            }
            break;
        }
        case 32: HealthRules(program, record); break;
        case 35: WindowlessHappens(); break;
        case 33:
            // What a program's check finds changes: it works, fails, or never answers.
            if (choices_.Below(4) == 0) fake.health.stalled = !fake.health.stalled;
            fake.health.answers.erase(CheckUrl(program));
            if (std::uint32_t const code = 100 * choices_.Below(6); code > 0) {
                fake.health.answers[CheckUrl(program)].answered = true;
                fake.health.answers[CheckUrl(program)].code = code;  // 100 to 500: works from 200 to 399
            }
            Say("check answers changed " + std::to_string(program));
            break;
        case 36:
            // The second and third programs take one caption, each narrowed to its own executable
            // by Process, or part again.
            twins_ = !twins_;
            processKeysInPass_ = true;  // while a notice holds a pass, that pass has looked already
            for (int i = 1; i <= 2; ++i) {
                WatchedProgram& twin = scene_.programs[i + 1];
                if (!twin.caption.empty()) twin.caption = Caption(i);
                twin.rules.process = twins_ ? Exe(i) : L"";
            }
            Say(twins_ ? "twins on" : "twins off");
            WindowsMayGo();
            break;
        case 37: EscalationRules(record); break;
        case 38:
            // The PC has run a while, or has just started; the system takes a session's end, or refuses it.
            fake.power.uptime = std::int64_t{kUptimes[choices_.Below(4)]} * 60'000;
            fake.power.refusal = choices_.Below(4) == 0 ? L"Access is denied (error 5)" : L"";
            Say("uptime " + std::to_string(fake.power.uptime / 60'000) + " min");
            break;
        case 39:
            // Someone cancels the countdown: its button, a script, or nobody.
            switch (choices_.Below(3)) {
            case 0: engine().CancelEscalation(L"Cancel"); break;
            case 1: AnswerRemote({RemoteVerb::Cancel, L""}, *this); break;
            default: break;
            }
            Say("countdown cancelled, perhaps");
            break;
        case 34: {
            // The program's own process shows an error window, or a user asks for its check.
            WindowHandle const window = engine().WindowOf(record.name);
            if (choices_.Below(2) == 0 && window != 0 && desktop().Find(window) != nullptr) {
                Open(L"Oops, something went wrong", desktop().WindowProcessId(window), false);
                Say("error window of " + std::to_string(program));
                break;
            }
            Say("check asked for " + std::to_string(program));
            asking_ = true;
            engine().AskCheck(record.name);
            asking_ = false;
            break;
        }
        case 43: alertAfter_ = kAlertAfters[choices_.Below(3)]; SetAlerts(); Say("alert after " + std::to_string(alertAfter_)); break;
        case 44: alertGoneOnly_ = !alertGoneOnly_; SetAlerts(); Say(alertGoneOnly_ ? "alert kinds gone" : "alert kinds all"); break;
        case 45:
            alertsOn_ = !alertsOn_;
            SetAlerts();
            Say(alertsOn_ ? "alerts on" : "alerts off");
            break;
        case 40: {
            // Opening hours: none, a range that holds now and ends within minutes, one that begins
            // in a minute, or one days away.
            LocalTime const now = fake.events.LocalTimeNow();
            auto const at = [&](int minutes) { return ClockText(AddMilliseconds(now, minutes * 60'000LL)).substr(0, 5); };
            switch (choices_.Below(4)) {
            case 0: record.rules.hours.clear(); break;
            case 1: record.rules.hours = at(-1) + L"-" + at(1 + static_cast<int>(choices_.Below(3))); break;
            case 2: record.rules.hours = at(1) + L"-" + at(3); break;
            case 3: record.rules.hours = L"Mon 08:00-09:00"; break;
            }
            // Changed hours do not start a program left closed: only the start of a range does.
            closed_.erase(program);
            hoursBegan_.erase(program);
            Say("hours of " + std::to_string(program));
            break;
        }
        case 41:
            // IdleRestart a minute on or off, or someone uses the PC.
            if (choices_.Below(2) == 0) {
                record.rules.idleRestart = record.rules.idleRestart.empty() ? L"1" : L"";
                Say("idle restart of " + std::to_string(program));
            } else {
                fake.system.lastInput = fake.events.now;
                idleRestarted_.clear();
                Say("input");
            }
            break;
        case 42:
            dialogShown_ = !dialogShown_;
            dialogShownSince_ = fake.events.now;
            engine().SetDialogShown(dialogShown_);
            Say(dialogShown_ ? "dialog shown" : "dialog closed");
            break;
        case 31:
            ownWindowsOpen_ = !ownWindowsOpen_;
            engine().SetOwnWindowsOpen(ownWindowsOpen_);
            Say(ownWindowsOpen_ ? "status window opened" : "status window closed");
            break;
        }
    }

    static std::wstring CheckUrl(int program) { return L"http://127.0.0.1:8080/" + Name(program); }
    // A program's health check: none, its address, or a window of its own; its timing and what follows.
    void HealthRules(int program, WatchedProgram& record) {
        static constexpr wchar_t const* kGraces[] = {L"", L"0", L"10"};
        static constexpr wchar_t const* kFailures[] = {L"1", L"2", L"3"};
        RestartRules& rules = record.rules;
        switch (choices_.Below(4)) {
        case 0: rules.check = choices_.Below(3) == 0 ? L"" : choices_.Below(3) == 0 ? L"window:Oops" : CheckUrl(program); break;
        case 1: rules.checkGrace = kGraces[choices_.Below(3)]; break;
        case 2: rules.checkFailures = kFailures[choices_.Below(3)]; break;
        case 3: rules.checkAction = rules.checkAction.empty() ? L"Report" : L""; break;
        }
        rules.checkSeconds = L"5";
        rules.checkTimeout = L"2";
        Say("health rules of " + std::to_string(program));
    }
    static int Setting(std::wstring const& text, int fallback) { return text.empty() ? fallback : std::stoi(text); }
    // The program of a check begun by its address, -1 none.
    int CheckedProgram(HealthQuestion const& question) {
        for (int i = 0; i < kPrograms; ++i) {
            if (question.target == CheckUrl(i)) return i;
        }
        return -1;
    }
    // A check begins only for a program's window once its grace is over, never while launching is
    // paused or the editor is open.
    void CheckBegun(std::uint32_t ticket, HealthQuestion const& question) {
        if (asking_) return;  // a user's, at any time
        int const program = CheckedProgram(question);
        if (program < 0) return Fail("a check of something not watched");
        std::wstring const& name = scene_.programs[program + 1].name;
        WindowHandle const window = engine().WindowOf(name);
        if (window == 0) Fail("a check begun for a program without a window");
        if (engine().LaunchPaused() || !scene_.host.watching) Fail("a check begun while launching is paused or the editor is open");
        // The window was found no earlier than the pass in which the storm first saw it.
        std::int64_t const found = firstSeen_.contains(window) ? firstSeen_[window] : passBegan_;
        int const grace = Setting(scene_.programs[program + 1].rules.checkGrace, kDefaultCheckGrace);
        if (scene_.fake.events.now - found < std::int64_t{grace} * 1000) Fail("a check begun within the grace of its window");
        checks_[ticket] = {program, window};
    }
    // An answer is counted only for the window it was asked for; failures in a row, as the storm sees them.
    void CheckTaken(std::uint32_t ticket, HealthAnswer const& answer) {
        auto const check = checks_.find(ticket);
        if (check == checks_.end()) return;  // a user's
        auto const [program, window] = check->second;
        checks_.erase(check);
        if (engine().WindowOf(scene_.programs[program + 1].name) != window) Fail("an earlier window's check counted against a new one");
        failures_[window] = answer.answered && answer.code >= 200 && answer.code < 400 ? 0 : failures_[window] + 1;
    }
    // Restarts for a check: only after its failures in a row, for Restart, and at most three an hour
    // (on the passes' clock, which runs no faster than the storm's); a check under way only for a
    // program's window of the moment, dropped by the pass after the one that left it behind.
    void CheckHealthChecks() {
        for (int i = 0; i < kPrograms; ++i) {
            WindowHandle const window = engine().WindowOf(scene_.programs[i + 1].name);
            if (window != 0 && !firstSeen_.contains(window)) firstSeen_[window] = passBegan_;
        }
        // A check the engine dropped (or gave up) counts as a failure: failures in a row are counted
        // generously, never short.
        std::vector<std::uint32_t> const out = scene_.fake.health.OutstandingTickets();
        std::erase_if(checks_, [&](auto const& check) {
            bool const dropped = std::find(out.begin(), out.end(), check.first) == out.end();
            if (dropped) ++failures_[check.second.window];
            return dropped;
        });
        StatusSnapshot const snapshot = engine().Snapshot();
        for (int i = 0; i < kPrograms; ++i) {
            ProgramFacts const& facts = snapshot.programs[static_cast<std::size_t>(i)];
            std::uint64_t const restarts = facts.counts.Restarts(RestartCause::Check);
            std::uint64_t& seen = checkRestarts_[i];
            if (restarts == seen) continue;
            seen = restarts;
            RestartRules const& rules = scene_.programs[i + 1].rules;
            WindowHandle const window = engine().WindowOf(scene_.programs[i + 1].name);
            if (!rules.checkAction.empty()) Fail("a program restarted for a check that only reports");
            bool const counted = rules.check.starts_with(L"http");
            if (counted && failures_[window] < Setting(rules.checkFailures, kDefaultCheckFailures)) {
                Fail("a program restarted for a check before its failures in a row");
            }
            std::deque<std::int64_t>& times = checkRestartTimes_[i];
            times.push_back(scene_.fake.events.now);
            while (scene_.fake.events.now - times.front() >= RestartLimit::kHour) times.pop_front();
            if (times.size() > static_cast<std::size_t>(RestartLimit::kMostPerHour)) Fail("more restarts for a check than the hourly limit");
        }
        std::set<std::uint32_t> stale;
        for (std::uint32_t const ticket : out) {
            auto const check = checks_.find(ticket);
            if (check == checks_.end()) continue;
            auto const [program, window] = check->second;
            if (!scene_.host.watching) Fail("a check under way while the editor is open");
            if (engine().WindowOf(scene_.programs[program + 1].name) == window && !engine().LaunchPaused() &&
                snapshot.programs[static_cast<std::size_t>(program)].row.state != StatusState::Restarting) {
                continue;
            }
            if (staleChecks_.contains(ticket) && scene_.host.watching) Fail("a check left under way for a program that no longer runs it");
            stale.insert(ticket);
        }
        staleChecks_ = std::move(stale);
    }

    // A notice in Box mode waits for OK and holds the pass that showed it: for a while the world goes
    // on, the user and scripts act (the editor opened from the tray among them), the commands timer
    // runs, and no pass does. Nothing may then say that all is well, and no rule may close anything.
    void HoldBox() {
        if (inBox_ || choices_.Below(3) != 0) return;
        inBox_ = true;
        std::uint32_t const seconds = choices_.Below(30);
        Say("a notice waits " + std::to_string(seconds) + " s for OK");
        for (std::uint32_t i = 0; i < seconds; ++i) {
            if (choices_.Below(3) == 0) Happen();
            scene_.fake.events.now += 1000;
            scene_.fake.events.ProcessPendingEvents();
            Answer();
            DrainCommands();
            CheckHeartbeat();
            // The editor, opened meanwhile, has watching stopped: the status says that instead.
            if (!scene_.host.watching) continue;
            if (engine().Snapshot().watching != WatchingState::HeldByNotice) Fail("a notice holds the passes, unsaid");
            if (AnswerRemote({RemoteVerb::Status, L""}, *this).code == kRemoteDone) {
                Fail("/status exits 0 while a notice holds the passes");
            }
        }
        inBox_ = false;
    }

    // The rules of a program's first start: a delay, another program (itself, one that is not
    // listed, or one that waits for it: loops), a path or a server, and how long at most.
    void StartRules(WatchedProgram& record) {
        static constexpr wchar_t const* kDelays[] = {L"", L"3", L"40", L"soon"};
        static constexpr wchar_t const* kWaits[] = {L"", L"C:\\ready", L"db:1433", L"share"};
        static constexpr wchar_t const* kSeconds[] = {L"", L"5", L"0"};
        RestartRules& rules = record.rules;
        switch (choices_.Below(4)) {
        case 0: rules.startDelay = kDelays[choices_.Below(4)]; break;
        case 1: {
            std::uint32_t const other = choices_.Below(kPrograms + 2);
            rules.startAfter = other == kPrograms ? L"" : other > kPrograms ? L"Nobody" : ToUpperText(Name(static_cast<int>(other)));
            break;
        }
        case 2: rules.waitFor = kWaits[choices_.Below(4)]; break;
        case 3: rules.waitSeconds = kSeconds[choices_.Below(3)]; break;
        }
        Say("start rules of " + std::string(record.name.begin(), record.name.end()));
    }

    void Remote(int program) {
        static constexpr RemoteVerb kVerbs[] = {RemoteVerb::Status, RemoteVerb::Pause, RemoteVerb::Resume,
                                                RemoteVerb::Restart, RemoteVerb::Close, RemoteVerb::Exit,
                                                RemoteVerb::Start, RemoteVerb::Screenshot};
        RemoteVerb const verb = kVerbs[choices_.Below(8)];
        Say("remote " + std::to_string(static_cast<int>(verb)));
        requested_ = true;
        RemoteAnswer const answer = AnswerRemote({verb, choices_.Below(4) == 0 ? L"Nobody" : Name(program)}, *this);
        requested_ = false;
        if (verb == RemoteVerb::Close) engine().ClosePrograms();  // posted, done after the answer
        if (verb == RemoteVerb::Status && (!scene_.host.watching || engine().LaunchPaused()) && answer.code == kRemoteDone) {
            Fail("/status exits 0 while watching is stopped or launching paused");
        }
    }
    StatusSnapshot Snapshot() override { return engine().Snapshot(); }
    void Pause() override { engine().PauseLaunching(); }
    void Resume() override {
        closed_.clear();
        for (int i = 0; i < kPrograms; ++i) personAsked_.insert(i);
        engine().LaunchPrograms();
    }
    WatchEngine::RestartAnswer Restart(std::wstring const& name) override { return engine().RestartProgram(name); }
    StartReply Start(std::wstring const& name) override {
        StartReply const reply = engine().StartProgram(name);
        int const number = scene_.programs.Find(name) - 1;
        if (reply.answer == StartAnswer::Starting && number >= 0) {
            closed_.erase(number);
            personAsked_.insert(number);
            startAsked_.insert(number);
            if (!FileExists(scene_.fake.files, Exe(number))) Fail("/start says Starting for a program whose file is missing");
            if (inBox_) Fail("/start says Starting while a notice holds the passes");
        }
        return reply;
    }
    WatchEngine::AskedScreenshot Screenshot(std::wstring const& name) override { return engine().AskScreenshot(name); }
    void Close() override {}
    void Exit() override {}
    bool CancelCountdown() override { return engine().CancelEscalation(L"/cancel"); }
    void OpenEditor() override {}

    // In Box mode the user may edit the list while a box is open: programs added past the table's
    // slots (every record moves), or deleted again, after the three the storm watches. Nothing the
    // engine held from before the box may be used after it (the sanitizers would tell).
    void EditWhileABoxIsOpen() {
        if (choices_.Below(3) != 0) return;
        WatchedPrograms& programs = scene_.programs;
        if (programs.Count() > kPrograms + 1) {
            Say("box: extras deleted");
            while (programs.Count() > kPrograms + 1) programs.Delete(kPrograms + 2);
            return;
        }
        Say("box: extras added");
        for (int i = 0; i < 4; ++i) programs.Add(L"Extra" + std::to_wstring(i));  // no caption: not watched
    }

    // A window kept on screen is never hidden; nothing is put back into place while launching is
    // paused or the editor is open (what goes back when a rule is taken away is no putting back).
    void Requested(WindowHandle window, std::int32_t show) {
        // What Vigilon hid, until it asks to show it again.
        if (show == kSwHide) {
            hidden_.insert(window);
        } else if (show != kSwMinimize && show != FakeDesktop::kNotAShow) {
            hidden_.erase(window);
        }
        // Whose window the engine takes it for: with the editor open, a caption changed meanwhile is
        // not looked at yet.
        int const program = HolderOf(window) >= 0 ? HolderOf(window) : ProgramOf(window);
        if (program < 0) return;
        bool const keptShown = PlacementKeeper::KeepsShown(scene_.programs[program + 1]);
        if (show == kSwHide && keptShown) Fail("a window kept on screen was hidden");
        bool const puttingBack = show == kSwShowMaximized || show == kSwRestore || show == kSwShow ||
                                 (show == kSwShowNormal && keptShown);
        if (puttingBack && engine().LaunchPaused()) Fail("a window put back while launching is paused");
        if (puttingBack && !scene_.host.watching) Fail("a window put back while the editor is open");
        if (puttingBack && ownWindowsOpen_) Fail("a window put back over Vigilon's own windows");
    }

    // The program without a window: its process ends, a copy Vigilon did not start runs (in this
    // session or another), its memory is read, its rules change, or a script restarts it.
    void WindowlessHappens() {
        auto& fake = scene_.fake;
        WatchedProgram& record = scene_.programs[kWindowless + 1];
        switch (choices_.Below(6)) {
        case 0: {
            auto const running = fake.processes.running;
            if (running.empty()) break;
            auto const it = std::next(running.begin(), choices_.Below(static_cast<std::uint32_t>(running.size())));
            if (windowlessFound_ == it->first) crashed_.insert(kWindowless);
            Say("windowless process ends " + std::to_string(it->first));
            WindowlessEnds(it->first, choices_.Below(2) == 0 ? 0u : 0xC0000005u);
            break;
        }
        case 1:
        case 2: {
            std::uint32_t const process = Process(Exe(kWindowless));
            fake.processes.running[process] = {Exe(kWindowless), choices_.Below(2) == 0 ? FakeProcessWatch::kOwnSession : 2};
            Say("windowless copy started by hand " + std::to_string(process));
            break;
        }
        case 3:
            for (auto const& [process, listed] : fake.processes.running) {
                fake.processes.memory[process] = std::uint64_t{choices_.Below(2) == 0 ? 50u : 300u} << 20;
            }
            Say("windowless memory reading");
            break;
        case 4:
            if (choices_.Below(2) == 0) {
                record.rules.maxMemoryMB = record.rules.maxMemoryMB.empty() ? L"100" : L"";
            } else {
                LocalTime const soon = AddMilliseconds(fake.events.LocalTimeNow(), 60'000);
                record.rules.restartAt = choices_.Below(2) == 0 ? std::wstring() : ClockText(soon).substr(0, 5);
            }
            Say("windowless rules");
            break;
        case 5:
            Say("windowless restart asked for");
            requested_ = true;
            AnswerRemote({RemoteVerb::Restart, Name(kWindowless)}, *this);
            requested_ = false;
            break;
        }
    }
    // The process the engine holds for the program without a window, as its status row tells it
    // while passes run (0 once that process has ended).
    std::uint32_t WindowlessHeld() { return engine().Status()[kWindowless].processId; }
    void WindowlessEnds(std::uint32_t process, std::uint32_t code) {
        scene_.fake.processes.running.erase(process);
        scene_.fake.processes.exits[process] = {ProcessExit::State::Ended, code};
    }
    // Started only while no process of its executable runs in this session; its process comes at
    // once, and may end at once.
    void WindowlessLaunched(FakeShell::Launch const& launch) {
        auto& fake = scene_.fake;
        if (engine().LaunchPaused()) Fail("a start while launching is paused");
        if (launch.showCommand == kSwMinimize) Fail("a program without a window started minimised");
        for (auto const& [process, listed] : fake.processes.running) {
            if (listed.session == FakeProcessWatch::kOwnSession) {
                Fail("a program without a window started while process " + std::to_string(process) + " of it runs");
            }
        }
        if (fake.shell.result <= 32) return;
        std::uint32_t const process = Process(Exe(kWindowless), kWindowless);
        fake.processes.running[process] = {Exe(kWindowless)};
        fake.shell.processId = process;
        fake.shell.processStarted = process * 10ull;
        if (choices_.Below(4) == 0) WindowlessEnds(process, 1);
    }
    // Ended only when Vigilon started it, its image is the program's, and it runs in this session.
    void WindowlessEnded(std::uint32_t process) {
        FakeProcessWatch::Listed const listed = scene_.fake.processes.running.at(process);
        if (processes_[process].startedFor != kWindowless || listed.image != Exe(kWindowless) ||
            listed.session != FakeProcessWatch::kOwnSession) {
            Fail("a process ended that is not the windowless program's own start: " + std::to_string(process));
        }
        scene_.fake.processes.running.erase(process);
    }

    // Each question out is answered, or found unanswered, as the system reports it.
    void Answer() {
        auto const& questions = scene_.fake.processes.questions;
        for (; answered_ < questions.size(); ++answered_) {
            WindowHandle const window = questions[answered_];
            bool const answers = desktop().Find(window) != nullptr && !processes_[desktop().WindowProcessId(window)].hung;
            lastAnswer_[window] = answers;
            engine().WindowAnswered(window, answers);
        }
    }

    void Launched(FakeShell::Launch const& launch) {
        int program = -1;
        if (launch.file == L"\"" + Exe(kWindowless) + L"\"") return WindowlessLaunched(launch);
        for (int i = 0; i < kPrograms; ++i) program = launch.file == L"\"" + Exe(i) + L"\"" ? i : program;
        if (program < 0) return Fail("a start of something not watched");
        if (engine().LaunchPaused()) Fail("a start while launching is paused");
        HoursLines();
        if (off_.count(program) != 0) Fail("a program started outside its hours, nobody asking");
        if (closed_.count(program) != 0) Fail("a program Restart=Failure left closed was started");
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (ProgramOf(window) == program) Fail("a start while the program's window is there: " + std::to_string(window));
        }
        // No pile of copies: not while the process started last runs, unless a start was asked for.
        auto const last = lastStarted_.find(program);
        if (last != lastStarted_.end() && Runs(last->second) == 1 && startAsked_.count(program) == 0) {
            Fail("a second copy started while process " + std::to_string(last->second) + " started last runs on");
        }
        if (engine().Status()[static_cast<std::size_t>(program)].state == StatusState::Waiting) {
            Fail("a start while back-off or a wait for its rules holds it");
        }
        auto& fake = scene_.fake;
        if (fake.shell.result <= 32) return;
        startAsked_.erase(program);  // a start asked for is done once one succeeds
        std::uint32_t const process = Process(Exe(program), program);
        lastStarted_[program] = process;
        fake.shell.processId = process;
        fake.shell.processStarted = process * 10ull;
        std::wstring const caption = Caption(program) + L" - started";
        switch (choices_.Below(4)) {
        case 0: Open(caption, process, true); break;
        case 1: fake.events.After(1'000 + choices_.Below(70) * 1'000, [this, caption, process] { Open(caption, process, true); }); break;
        case 2:
            // Its window never comes: the process ends, runs on without a window, or shows another.
            switch (choices_.Below(3)) {
            case 0: break;
            case 1: fake.processes.exits[process] = {ProcessExit::State::Running, 0}; break;
            case 2: Open(L"WineMine", process, false); break;
            }
            break;
        case 3: {
            WindowHandle const window = Open(caption, process, true);
            fake.events.After(500 + choices_.Below(3) * 1'000, [this, window, program] {
                if (desktop().Find(window) != nullptr) crashed_.insert(HolderOf(window) >= 0 ? HolderOf(window) : program);
                Say("started window ends " + std::to_string(window));
                desktop().Remove(window);
            });
            break;
        }
        }
    }

    // Vigilon may end only the program's own process, that it asked to close, whose last question
    // went unanswered, with launching not paused and passes running; never the shell.
    bool Own(std::uint32_t process, int program) {
        if (processes_[process].startedFor == program) return true;
        if (processes_[process].image != Exe(program)) return false;
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (desktop().WindowProcessId(window) == process && desktop().IsVisible(window) && ProgramOf(window) != program) {
                return false;
            }
        }
        return true;
    }
    void Posted(WindowHandle window) {
        posted_.insert(window);
        if (inBox_ && !requested_) Fail("a rule asked a window to close while a notice held the passes");
        if (engine().LaunchPaused()) Fail("a window asked to close while launching is paused");
        if (!scene_.host.watching && !requested_) Fail("a rule asked a window to close while the editor is open");
        std::uint32_t const process = desktop().WindowProcessId(window);
        int const program = ProgramOf(window);
        if (program < 0 || process == desktop().shellProcess || !Own(process, program)) {
            Fail("a window asked to close that is not the program's own: " + std::to_string(window) + " of process " +
                 std::to_string(process) + ", program " + std::to_string(program));
        }
    }
    void Ended(std::uint32_t process) {
        scene_.fake.processes.exits[process] = {ProcessExit::State::Ended, 1};
        if (engine().LaunchPaused() || !scene_.host.watching || inBox_) {
            Fail("a process ended while launching is paused, the editor open or a notice holds the passes");
        }
        if (process == desktop().shellProcess) Fail("the shell's process ended");
        if (scene_.fake.processes.running.contains(process)) return WindowlessEnded(process);
        bool asked = false, unanswered = false, own = false;
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (desktop().WindowProcessId(window) != process) continue;
            asked = asked || posted_.count(window) != 0;
            unanswered = unanswered || (lastAnswer_.count(window) != 0 && !lastAnswer_[window]);
            own = own || (ProgramOf(window) >= 0 && Own(process, ProgramOf(window)));
        }
        if (!asked || !unanswered || !own) Fail("a process ended that was not asked to close, answered, or is not its own");
        for (WindowHandle const window : desktop().TopLevelWindows()) {
            if (desktop().WindowProcessId(window) == process) desktop().Remove(window);
        }
    }

    // Commands on trouble end at once, so that each one due starts within the step.
    void DrainCommands() {
        for (int i = 0; i < 10; ++i) {
            for (auto& command : scene_.fake.commands.commands) command.running = false;
            for (auto& request : scene_.fake.http.requests) {
                // An alert is always accepted, so that each one queued is posted within the step
                // (the retries are proved on their own); a ping may fail.
                bool const alert = !request.body.empty();
                if (!request.outcome) request.outcome = HttpClient::Outcome{alert || choices_.Below(4) != 0, 200, {}, {}};
            }
            engine().TendCommands();
            engine().SettledScreenshots();  // as the host's tick answers the scripts that asked
            asking_ = true;  // a user's check that joined a scheduled one dropped meanwhile is asked now
            engine().SettledChecks();
            asking_ = false;
        }
    }

    void CheckStatus() {
        StatusSnapshot const snapshot = engine().Snapshot();
        std::vector<ProgramStatus> const rows = snapshot.Rows();
        // What the metrics count only grows: a collector takes a counter that falls for a restart
        // of Vigilon.
        for (ProgramFacts const& facts : snapshot.programs) {
            ProgramCounts& seen = counts_[facts.row.name];
            for (std::size_t k = 0; k < seen.restarts.size(); ++k) {
                if (facts.counts.restarts[k] < seen.restarts[k]) Fail("a restart count went down");
            }
            for (std::size_t k = 0; k < seen.exits.size(); ++k) {
                if (facts.counts.exits[k] < seen.exits[k]) Fail("an exit count went down");
            }
            seen = facts.counts;
            // A check's result is its window's: none shown while the program has no window.
            if (facts.lastCheck && engine().WindowOf(facts.row.name) == 0) Fail("a check's result shown without its window");
        }
        if (rows[kWindowless].state == StatusState::NotResponding) Fail("a program without a window called hung");
        NoteRunningForAlerts(rows);
        if ((engine().LaunchPaused() || !scene_.host.watching) && snapshot.AllWell()) {
            Fail("all is well, says the status, while launching is paused or the editor is open");
        }
        for (int i = 0; i < kPrograms; ++i) {
            if (rows[static_cast<std::size_t>(i)].state != StatusState::Running) continue;
            if (desktop().Find(engine().WindowOf(scene_.programs[i + 1].name)) == nullptr) {
                Fail("/status says " + std::to_string(i) + " is running, its window gone");
            }
        }
    }

    // A ping says all is well: never while the editor is open, launching is paused, or a
    // program's window is missing from the desktop.
    void CheckHeartbeat() {
        auto const& requests = scene_.fake.http.requests;
        bool pinged = false;  // alerts are POSTs; a ping is a GET
        for (; requestsSeen_ < requests.size(); ++requestsSeen_) pinged = pinged || requests[requestsSeen_].body.empty();
        if (!pinged) return;
        if (!scene_.host.watching) Fail("a heartbeat pinged while the editor was open");
        if (inBox_) Fail("a heartbeat pinged while a notice held the passes");
        if (engine().LaunchPaused()) Fail("a heartbeat pinged while launching was paused");
        for (int i = 0; i < kPrograms; ++i) {
            if (scene_.programs[i + 1].caption.empty()) continue;  // not watched
            if (off_.count(i) != 0) continue;                     // off outside its hours: counted neither way
            bool found = false;
            for (WindowHandle const window : desktop().TopLevelWindows()) found = found || ProgramOf(window) == i;
            if (!found) Fail("a heartbeat pinged while program " + std::to_string(i) + " had no window");
        }
    }

    // Alerts (AlertAfter 0, 5 or 30 s): a `gone` alert only for a program that has not run since
    // that long after its trouble; every trouble that lasts that long sent, unless the same kind
    // went within ten minutes for the same outage (after a `recovered`, a new outage is sent once
    // the ten minutes are over); a kind at most once in ten minutes; and one `recovered` after each
    // run of troubles sent. The passes tell the alerts which programs run; a step counts only when
    // its pass ran whole (watching, Tray mode, no notice waiting), others leave a trouble unjudged.
    static constexpr wchar_t kAlertUrl[] = L"http://127.0.0.1:9/alerts";
    static constexpr int kAlertAfters[] = {0, 5, 30};
    void SetAlerts() {
        engine().SetAlerts(alertsOn_ ? kAlertUrl : L"", AlertFormat::Json, alertAfter_,
                           alertGoneOnly_ ? std::vector<std::wstring>{L"gone", L"recovered"} : std::vector<std::wstring>{});
        alertsChangedAt_ = scene_.fake.events.now;
        if (!alertsOn_) {  // the gate starts afresh, its flood rule with it
            alertPosts_.clear();
            alertPostsAfter_.clear();
        }
    }
    void NoteGoneForAlerts(std::wstring const& program, std::int64_t at) {
        goneAt_[program].push_back(at);
        if (alertsOn_) alertOwed_.push_back({program, at});
    }
    void NoteRunningForAlerts(std::vector<ProgramStatus> const& rows) {
        std::int64_t const now = scene_.fake.events.now;
        // Launching paused or the editor open: the programs' troubles are dropped, not alerted.
        if (!scene_.host.watching || inBox_ || engine().Notices() != NoticeMode::Tray || engine().LaunchPaused()) {
            alertsUnjudgedAt_ = now;
            return;
        }
        for (ProgramStatus const& row : rows) {
            if (row.state == StatusState::Running) runningAt_[row.name] = now;
        }
    }
    // The name and kind of a posted alert, from its JSON.
    static std::pair<std::wstring, std::wstring> AlertOf(std::string const& body) {
        auto const field = [&](std::string const& name) {
            std::size_t const at = body.find("\"" + name + "\": \"");
            if (at == std::string::npos) return std::wstring();
            std::size_t const from = at + name.size() + 5;
            return std::wstring(body.begin() + static_cast<std::ptrdiff_t>(from),
                                body.begin() + static_cast<std::ptrdiff_t>(body.find('"', from)));
        };
        return {field("name"), field("kind")};
    }
    void CheckAlerts() {
        std::int64_t const now = scene_.fake.events.now;
        auto const& requests = scene_.fake.http.requests;
        for (; alertsSeen_ < requests.size(); ++alertsSeen_) {
            if (requests[alertsSeen_].body.empty()) continue;
            auto const [program, kind] = AlertOf(requests[alertsSeen_].body);
            if (program.empty()) continue;  // Vigilon's own
            if (kind == L"recovered") {
                if (!std::exchange(alertTroubleSent_[program], false)) Fail("a recovered alert without a trouble sent before it");
                continue;
            }
            alertTroubleSent_[program] = true;
            // Posted at some time since the last check, within a step that may span minutes (a
            // sleep, a start awaited): twice within ten minutes only when even the earliest the
            // first can have been posted and the latest the second can are nearer than that.
            auto const before = alertPostsAfter_.find({program, kind});
            if (before != alertPostsAfter_.end() && now - before->second < AlertGate::kRepeatAfter) {
                Fail("one kind alerted twice within ten minutes");
            }
            alertPostsAfter_[{program, kind}] = alertsCheckedAt_;
            alertPosts_[{program, kind}] = now;
            if (kind != L"gone") continue;
            // Sent for a trouble after the program last ran, at least AlertAfter ago.
            auto const ran = runningAt_.find(program);
            std::int64_t const ranAt = ran == runningAt_.end() ? INT64_MIN : ran->second;
            bool lasted = false;
            for (std::int64_t const at : goneAt_[program]) lasted = lasted || (at >= ranAt && now - at >= alertAfter_ * 1000);
            if (!lasted) Fail("a gone alert for a program that ran again within AlertAfter, or sooner than AlertAfter");
        }
        std::erase_if(alertOwed_, [&](std::pair<std::wstring, std::int64_t> const& owed) {
            auto const& [program, at] = owed;
            if (now < at + alertAfter_ * 1000 + 1000) return false;
            auto const ran = runningAt_.find(program);
            bool const ranAgain = ran != runningAt_.end() && ran->second >= at;
            bool const unjudged = alertsUnjudgedAt_ >= at || alertsChangedAt_ >= at || !alertsOn_;
            auto const sent = alertPosts_.find({program, L"gone"});
            bool const sentSince = sent != alertPosts_.end() && sent->second >= at;
            // Part of an outage already alerted within ten minutes, no recovery told since: the
            // flood rule counts it in the next alert.
            bool const sameOutage = sent != alertPosts_.end() && sent->second >= at - AlertGate::kRepeatAfter &&
                                    alertTroubleSent_[program];
            if (ranAgain || unjudged || sentSince || sameOutage) return true;
            // A new outage after a recovery waits for the flood rule, and is sent once it lets it
            // go: ten minutes after the last, give or take the posts queued before it (30 s is
            // far more than the few programs' alerts take, one a second).
            if (sent != alertPosts_.end() && now < sent->second + AlertGate::kRepeatAfter + 30'000) return false;
            Fail("a gone trouble that lasted past AlertAfter was not alerted");
            return true;
        });
        alertsCheckedAt_ = now;
    }

    // One window, one program; and a window Vigilon hid is hidden only while a program holds it.
    void CheckWindowsHeld() {
        std::set<WindowHandle> held;
        for (int i = 0; i < kPrograms; ++i) {
            WindowHandle const window = engine().WindowOf(scene_.programs[i + 1].name);
            if (window != 0 && !held.insert(window).second) Fail("two programs hold window " + std::to_string(window));
            // Programs of one caption told apart by Process never take each other's window. While
            // launching is paused the windows held are asked to close and awaited, not looked for
            // again: one held as the key was set is kept until it goes. Nor when the key was set
            // while a notice held this pass (the list edited meanwhile): the programs it had visited
            // before keep what they found, and the next pass judges them by the new key.
            std::wstring const& process = scene_.programs[i + 1].rules.process;
            if (window != 0 && !process.empty() && ImageOf(window) != process && !engine().LaunchPaused() &&
                !processKeysInPass_) {
                Fail("a program holds a window of another executable than its Process: " + std::to_string(window));
            }
        }
        ForgetGoneWindows();
        for (WindowHandle const window : hidden_) {
            if (held.count(window) == 0) Fail("a window Vigilon hid is left hidden, no program's: " + std::to_string(window));
        }
    }
    // Windows gone, or shown by something else (a hide a frozen window did not take), are not hidden.
    void ForgetGoneWindows() {
        std::erase_if(hidden_, [this](WindowHandle window) { return desktop().Find(window) == nullptr || desktop().IsVisible(window); });
    }

    // Each trouble of a kind new to the program, or past its quiet time, reaches the command at
    // once; no kind more often than its flood rule allows; a planned end is no trouble.
    void CheckTrouble() {
        auto& fake = scene_.fake;
        auto const& commands = fake.commands.commands;
        std::map<std::pair<std::wstring, std::wstring>, int> told;
        for (std::size_t i = commandsSeen_; i < commands.size(); ++i) {
            std::wstring const program = commands[i].variables.at(L"VIGILON_PROGRAM");
            std::wstring const event = commands[i].variables.at(L"VIGILON_EVENT");
            if (event == L"recovered") lastRun_.erase(program);
            // Escalation's own are each said once, when they happen, not held back by kind.
            if (commands[i].variables.contains(L"VIGILON_ACTION") || event == L"escalate" || event == L"refused" ||
                EscalationDetails(commands[i].variables.at(L"VIGILON_DETAILS"))) {
                ++told[{program, event}];
                continue;
            }
            auto& last = lastRun_[program][event];
            if (event != L"message" && event != L"recovered" && last != 0 &&
                commands[i].at - last < TroubleReporter::kRepeatAfter - kQueued) {
                Fail("the command ran twice within ten minutes for one kind");
            }
            last = commands[i].at;
            ++told[{program, event}];
        }
        for (std::size_t i = entriesSeen_; i < fake.eventLog.entries.size(); ++i) {
            auto const& entry = fake.eventLog.entries[i];
            if (entry.program.empty() || ((entry.messageId & 0xFFFF) >= 208 && (entry.messageId & 0xFFFF) <= 211)) continue;
            auto& last = lastEntry_[{entry.program, entry.messageId}];
            if (last != 0 && entry.at - last < TroubleReporter::kEventLogAfter) Fail("the event log took one kind twice in a minute");
            last = entry.at;
        }
        std::set<std::wstring> gone;  // programs with a gone line of trouble in this step
        HoursLines();
        for (auto const& [program, line, details, at] : NewHistoryLines()) {
            CheckHoursAndIdle(scene_.programs.Find(program) - 1, line, details, at);
            // A picture is named only once its file is there.
            std::size_t const shot = details.find(L"screenshot ");
            std::wstring const path = shot == std::wstring::npos ? std::wstring() : details.substr(shot + 11);
            if (line == L"screenshot" ? details.empty() || fake.files.QueryFileAttributes(details).attributes == kInvalidFileAttributes
                                      : !path.empty() && fake.files.QueryFileAttributes(path).attributes == kInvalidFileAttributes) {
                Fail("a picture named that is not there: " + std::string(details.begin(), details.end()));
            }
            int const listed = scene_.programs.Find(program) - 1;
            // Each wait ends once, before the next begins.
            if (line == L"waiting" && !waiting_.insert(program).second) Fail("a wait began again before it ended");
            bool const escalation = EscalationDetails(details);
            if ((line == L"ready" || (line == L"cancelled" && !escalation)) && waiting_.erase(program) == 0) {
                Fail("a wait ended that never began");
            }
            // A step of a ladder is taken only at a trouble: the program's line just before it says which.
            if (line == L"escalate" && details.find(L" now: ") == std::wstring::npos && !program.empty()) {
                auto const& [word, said] = lastLine_[program];
                bool const troubleEnd = (word == L"gone" && !said.starts_with(L"closed as asked") && !said.starts_with(L"ended") &&
                                         !said.starts_with(L"closed outside its hours")) ||
                                        word == L"exited" || word == L"hung" || word == L"memory" || word == L"unhealthy";
                if (!troubleEnd) Fail("a ladder's step taken without a trouble before it");
            }
            // A countdown begins: "... restart of the PC in 15 s".
            if (line == L"escalate" && details.ends_with(L" s")) {
                std::size_t const in = details.rfind(L" in ");
                countdownSince_ = at;
                countdownNotice_ = std::stoi(std::wstring(details.substr(in + 4)));
            }
            lastLine_[program] = {line, details};
            if (escalation) continue;  // its `held` is no rule's restart held
            NoteClosed(listed, line, details);
            // A program whose process Vigilon ended was ended, not closed as asked.
            if (line == L"ended") ended_.insert(program);
            // A window found afresh, or one asked to close after the end: a later close as asked
            // may be that window's. (A pass that finds another process's window where the ended
            // one was takes it without a line.)
            if (line == L"found" || line == L"close") ended_.erase(program);
            if (line == L"gone" && ended_.erase(program) != 0 && details.starts_with(L"closed as asked")) {
                Fail("a program Vigilon ended is said closed as asked");
            }
            // Said to be placed only once a placement took. A window retitled away from every
            // caption after the pass read it was asked for as no program's.
            if (line == L"placed") {
                int& credit = placedDone_[listed] > 0 ? placedDone_[listed] : placedDone_[-1];
                if (credit-- <= 0) Fail("a window said placed while its placement did not take");
            }
            // Gone by itself: trouble, told as `gone`, once it is known not to have ended well.
            bool const goneTrouble =
                // A program a person ran outside its hours until it is closed ends as planned.
                (line == L"gone" && !details.starts_with(L"closed as asked") && !details.starts_with(L"ended") &&
                 !details.starts_with(L"closed outside its hours") && !details.ends_with(L"left alone until it ends")) ||
                (line == L"exited" && details.ends_with(L"started again"));
            std::wstring const word = goneTrouble ? std::wstring(L"gone") : line;
            if (goneTrouble) gone.insert(program);
            if (goneTrouble) NoteGoneForAlerts(program, at);
            bool const trouble = word == L"hung" || word == L"memory" || word == L"held" || goneTrouble;
            if (!trouble) continue;
            int const number = scene_.programs.Find(program) - 1;
            if (word == L"gone" && !Forget(crashed_, number)) Fail("a planned end told as trouble: " + std::to_string(number));
            // Due by when the trouble came, not by the step's end: the pass that met it may end
            // minutes later (in Box mode it waits for windows, and while a notice waits for OK the
            // world goes on, a sleep among it), past a quiet time the trouble itself fell within.
            auto const last = lastRun_[program].find(word);
            bool const due = last == lastRun_[program].end() || at - last->second >= TroubleReporter::kRepeatAfter + kPrograms * kQueued;
            if (due && told[{program, word}] == 0) {
                Fail("a trouble due was not told to the command: " + std::string(word.begin(), word.end()) + " at " +
                     std::to_string(at) + ", last told " +
                     (last == lastRun_[program].end() ? std::string("never") : std::to_string(last->second)));
            }
        }
        for (std::size_t i = commandsSeen_; i < commands.size(); ++i) {
            if (commands[i].variables.at(L"VIGILON_EVENT") == L"gone" && gone.count(commands[i].variables.at(L"VIGILON_PROGRAM")) == 0) {
                Fail("a planned end ran the command as trouble");
            }
        }
        // Taken for the program's window instead, another window with its caption is its news now.
        std::erase_if(ended_, [&](std::wstring const& program) { return desktop().Find(engine().WindowOf(program)) != nullptr; });
        commandsSeen_ = commands.size();
        entriesSeen_ = fake.eventLog.entries.size();
        // A check is under way only for a program that waits.
        if (fake.readiness.Outstanding() > waiting_.size()) Fail("a check of what a start waits for left behind");
    }

    // A placement refused is asked again a minute later at the earliest; giving back a frame or
    // the topmost flag (no show command, not made topmost) is not held back. A window retitled
    // into another program's caption is that program's new window, which starts afresh.
    void CheckPlacementRequests() {
        auto const& asked = desktop().placements;
        for (; placementsSeen_ < asked.size(); ++placementsSeen_) {
            // By the caption its window had when it was asked: the window may be gone by now.
            int const program = ProgramOf(asked[placementsSeen_].caption, ImageOf(asked[placementsSeen_].window));
            // Said placed for the program that holds the window, which is not always the one its
            // caption matches best (with the editor open, a caption changed meanwhile is not looked
            // at yet).
            int const holder = HolderOf(asked[placementsSeen_].window);
            saidFor_[asked[placementsSeen_].request] = holder >= 0 ? holder : program;
            placedFor_[asked[placementsSeen_].request] = program;
            PlacementSteps const& steps = asked[placementsSeen_].steps;
            if (!steps.show && !steps.showAfter && steps.topmost != true) continue;
            placing_.insert(asked[placementsSeen_].request);
            auto const refused = refusedAt_.find({asked[placementsSeen_].window, program});
            if (refused != refusedAt_.end() && scene_.fake.events.now - refused->second < PlacementKeeper::kRetryMilliseconds) {
                Fail("a refused placement asked again within a minute");
            }
        }
    }
    void NotePlacementOutcomes() {
        auto const& ended = desktop().ended;
        for (; outcomesSeen_ < ended.size(); ++outcomesSeen_) {
            PlacementOutcome const& outcome = ended[outcomesSeen_];
            if (outcome.done) {
                ++placedDone_[saidFor_[outcome.request]];
            } else if (placing_.contains(outcome.request)) {
                refusedAt_[{outcome.window, placedFor_[outcome.request]}] = scene_.fake.events.now;
            }
        }
    }

    // The history's `off` and `on` lines, as the passes write them: between the two a program is
    // off, and is started only once a person asked (which says `on` first).
    void HoursLines() {
        std::string const& text = scene_.fake.files.texts[std::wstring(EngineScene::kFolder) + L"vigilon.log"];
        std::istringstream stream(text.substr(std::min(hoursSeen_, text.size())));
        hoursSeen_ = text.size();
        for (std::string line; std::getline(stream, line);) {
            std::vector<std::wstring> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) fields.emplace_back(field.begin(), field.end());
            if (fields.size() < 4) continue;
            int const program = scene_.programs.Find(fields[2]) - 1;
            NoteClosed(program, fields[1], fields[3]);
            if (fields[1] == L"off") off_.insert(program);
            if (fields[1] != L"on") continue;
            off_.erase(program);
            // A person's start is said only after a person asked for one.
            if (fields[3].starts_with(L"started by a person") && personAsked_.erase(program) == 0) {
                Fail("a person's start outside its hours said, nobody asking");
            }
        }
    }
    // Left closed by Restart=Failure until something starts it: found again, or its hours begin
    // while launching runs, which starts it. Both readers of the history note each line in order.
    void NoteClosed(int program, std::wstring const& line, std::wstring const& details) {
        if (line == L"exited" && details == L"exit code 0") closed_.insert(program);
        if (line == L"found" || line == L"exited" || line == L"gone") hoursBegan_.erase(program);
        if (line == L"found") closed_.erase(program);
        if (line == L"on" && details.starts_with(L"its hours begin") && !engine().LaunchPaused() && closed_.erase(program) != 0) {
            hoursBegan_.insert(program);
        }
    }
    // A program left closed whose hours began while launching runs is not left closed.
    void CheckHoursBegan() {
        if (engine().LaunchPaused()) hoursBegan_.clear();
        std::vector<ProgramStatus> const rows = engine().Status();
        for (int const program : hoursBegan_) {
            if (program >= 0 && static_cast<std::size_t>(program) < rows.size() && rows[static_cast<std::size_t>(program)].state == StatusState::Closed) {
                Fail("a program left closed was not started as its hours began: " + std::to_string(program));
            }
        }
    }
    // A program closed by its hours is never trouble, and is pictured never; an idle restart comes
    // once the PC was idle its minute, never while a dialog is shown, and never twice without input between.
    void CheckHoursAndIdle(int program, std::wstring const& line, std::wstring const& details, std::int64_t at) {
        if (line == L"off" && details.find(L"screenshot") != std::wstring::npos) Fail("a program closed by its hours pictured");
        // A person's start outside its hours that crashed or failed is trouble, not its person's close.
        std::size_t const code = details.find(L"exit code ");
        if (line == L"gone" && details.starts_with(L"closed outside its hours") && code != std::wstring::npos &&
            details.compare(code, std::wstring::npos, L"exit code 0") != 0 && details.find(L"(console closed)") == std::wstring::npos &&
            details.find(L"exit code unknown") == std::wstring::npos) {
            Fail("a crash of a person's start outside its hours told as a planned end");
        }
        if (line == L"off" && details.starts_with(L"its hours end")) closingForHours_.insert(program);
        if (line == L"found") closingForHours_.erase(program);
        if (line == L"gone" && closingForHours_.erase(program) != 0 && !details.starts_with(L"closed as asked") &&
            !details.starts_with(L"ended") && crashed_.count(program) == 0) {
            Fail("a program closed by its hours told as trouble");
        }
        if (line != L"idle") return;
        std::optional<std::int64_t> const input = scene_.fake.system.lastInput;
        if (!input || at - *input < 60'000) Fail("an idle restart before the PC was idle its minute");
        // Judged by the pass that decided it: a pass held by a notice's wait may have decided before
        // the dialog opened and tell it after, so the dialog must have been open a whole pass before.
        if (dialogShown_ && at > dialogShownSince_ + 1000) Fail("an idle restart while a Vigilon dialog is shown");
        if (!idleRestarted_.insert(program).second) Fail("an idle restart twice without input between");
    }

    static bool Forget(std::multiset<int>& set, int value) {
        auto const it = set.find(value);
        if (it == set.end()) return false;
        set.erase(it);
        return true;
    }

    struct Line {
        std::wstring program, word, details;
        std::int64_t at = 0;  // when it was written
    };
    std::vector<Line> NewHistoryLines() {
        std::string const& text = scene_.fake.files.texts[std::wstring(EngineScene::kFolder) + L"vigilon.log"];
        std::vector<Line> lines;
        std::istringstream stream(text.substr(std::min(historySeen_, text.size())));
        historySeen_ = text.size();
        for (std::string line; std::getline(stream, line);) {
            std::vector<std::wstring> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) fields.emplace_back(field.begin(), field.end());
            std::int64_t at = scene_.fake.events.now;
            if (!historyTimes_.empty()) {
                at = historyTimes_.front();
                historyTimes_.pop_front();
            }
            if (fields.size() >= 3) lines.push_back({fields[2], fields[1], fields.size() > 3 ? fields[3] : L"", at});
        }
        for (Line& line : lines) {
            if (!line.details.empty() && line.details.back() == L'\r') line.details.pop_back();
        }
        return lines;
    }

    Choices& choices_;
    EngineScene scene_;
    std::uint32_t nextProcess_ = 50'000;
    std::map<std::uint32_t, Proc> processes_;
    std::set<std::wstring> waiting_;  // programs whose wait the history began and has not ended
    std::set<std::wstring> ended_;    // programs whose process Vigilon ended, until their window is gone or found
    std::set<WindowHandle> asksToSave_, posted_;
    std::map<WindowHandle, bool> lastAnswer_;
    std::multiset<int> crashed_;  // programs whose window went by itself, not as asked
    std::set<int> closed_;        // programs Restart=Failure left closed, until something starts them
    std::set<int> hoursBegan_;    // of those, the ones whose hours began while launching ran, until they run or end again
    std::set<int> off_;           // programs the history said `off` for, until it says `on`
    std::set<int> personAsked_;   // programs a person asked to start (/start, Launch Programs), not yet said
    std::set<int> closingForHours_;  // programs asked to close at the end of their hours, until found again
    std::set<int> idleRestarted_;    // programs restarted for the idle spell under way
    std::size_t hoursSeen_ = 0;      // the history's length HoursLines has read
    bool dialogShown_ = false;
    std::int64_t dialogShownSince_ = 0;  // when the dialog last opened or closed
    std::set<WindowHandle> hidden_;        // windows Vigilon hid and has not asked to show since
    std::map<int, std::uint32_t> lastStarted_;  // the process each program was last started as
    std::set<int> startAsked_;             // programs a script asked to start, until they are
    std::size_t answered_ = 0, commandsSeen_ = 0, entriesSeen_ = 0, historySeen_ = 0, requestsSeen_ = 0;
    std::size_t placementsSeen_ = 0, outcomesSeen_ = 0;
    std::map<std::uint64_t, int> placedFor_;          // the program of each placement's window, by request
    std::map<std::uint64_t, int> saidFor_;            // the program a placement that takes is said placed for, by request
    std::map<int, int> placedDone_;                   // placements that took, by program, not yet said
    std::set<std::uint64_t> placing_;  // the requests that place a window, not give back what was taken
    std::map<std::pair<WindowHandle, int>, std::int64_t> refusedAt_;  // when each window last refused a placement, by program
    std::map<std::wstring, std::map<std::wstring, std::int64_t>> lastRun_;
    EscalationOptions escalation_;
    std::size_t powerSeen_ = 0;
    std::int64_t countdownSince_ = -1;  // when the countdown under way was first seen; -1 none
    int countdownNotice_ = 0;           // its notice then
    std::vector<std::int64_t> sessionsEnded_;  // wall-clock seconds of each session ended
    std::map<std::wstring, std::pair<std::wstring, std::wstring>> lastLine_;  // each program's last history line

    std::deque<std::int64_t> historyTimes_;  // when each history line not read yet was written
    std::map<std::pair<std::wstring, std::uint32_t>, std::int64_t> lastEntry_;
    std::map<std::wstring, ProgramCounts> counts_;  // each program's counts at the last look
    WindowHandle desktopWindow_ = 0;
    bool requested_ = false;
    bool asking_ = false;  // a user asks for a check
    std::int64_t passBegan_ = 0;
    struct Checked {
        int program;
        WindowHandle window;
    };
    std::map<std::uint32_t, Checked> checks_;               // the checks the passes began, not yet taken, by ticket
    std::map<WindowHandle, std::int64_t> firstSeen_;        // when each program's window was first seen
    std::map<WindowHandle, int> failures_;                  // each window's failures in a row, its dropped checks among them
    std::set<std::uint32_t> staleChecks_;                   // left under way at the last look
    std::map<int, std::uint64_t> checkRestarts_;
    std::map<int, std::deque<std::int64_t>> checkRestartTimes_;
    bool ownWindowsOpen_ = false;
    bool inBox_ = false;  // a notice waits for OK
    bool twins_ = false;  // the second and third programs share a caption (see Caption)
    bool processKeysInPass_ = false;  // the twins' Process keys changed during the last pass (a notice held it)
    std::map<WindowHandle, std::wstring> windowImages_;  // the executable of each window's process
    bool backoff_ = false;
    bool screenshots_ = false;
    int hangSeconds_ = 0;
    int step_ = 0;
    std::uint32_t windowlessFound_ = 0;  // the process the engine holds for the program without a window
    std::vector<std::string> trace_;
    std::string failure_;
    bool alertsOn_ = true;
    bool alertGoneOnly_ = false;
    int alertAfter_ = 30;
    std::int64_t alertsChangedAt_ = 0, alertsUnjudgedAt_ = 0;
    std::size_t alertsSeen_ = 0;
    std::map<std::wstring, std::vector<std::int64_t>> goneAt_;  // each program's gone troubles
    std::map<std::wstring, std::int64_t> runningAt_;             // when a whole pass last saw it run
    std::map<std::pair<std::wstring, std::wstring>, std::int64_t> alertPosts_;  // the last alert of each kind
    std::map<std::pair<std::wstring, std::wstring>, std::int64_t> alertPostsAfter_;  // the check before it
    std::int64_t alertsCheckedAt_ = INT64_MIN / 2;  // the last CheckAlerts
    std::map<std::wstring, bool> alertTroubleSent_;  // a trouble alert went, its recovery owed
    std::vector<std::pair<std::wstring, std::int64_t>> alertOwed_;  // gone troubles to be judged
};

}  // namespace vigilon::testing
