#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/supervisor.h"
#include "engine/outputs/trouble.h"
#include "platform/platform.h"

namespace vigilon {

// Tells someone away from the PC: each trouble goes to the Windows event log (when asked for) and
// runs the user's command (when there is one), with the history's event word, the program and the
// details in its environment.
//
// So that one crash loop does not send a thousand mails, the command runs for a program at once
// for each kind of trouble new to it, then for that kind at most once per kRepeatAfter while the
// trouble goes on, with what happened meanwhile, kind by kind, in its details; and once with
// `recovered` when the program has run kRecoveredAfter since its last trouble, which goes into the
// history too. The event log takes each kind for a program at most once per kEventLogAfter, the
// next entry saying how many were held back. Vigilon's own troubles are not held back. At most
// kMostRunning commands run at once, others wait their turn; one that runs kLongestRun is ended,
// and the history says so. The command line itself is never written out: it may hold a password.
class TroubleReporter {
public:
    static constexpr std::int64_t kRepeatAfter = 600'000;
    static constexpr std::int64_t kRecoveredAfter = 300'000;
    static constexpr std::size_t kMostRunning = 4;
    static constexpr std::int64_t kLongestRun = 120'000;
    static constexpr std::size_t kMostWaiting = 32;
    static constexpr std::int64_t kEventLogAfter = 60'000;

    // What was told of each program is kept in its state.
    TroubleReporter(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor, std::wstring historyPath);

    void SetEventLog(bool on) { eventLog_ = on; }
    void SetCommand(std::wstring commandLine) { command_ = std::move(commandLine); }
    // Told of every trouble as it is reported, before anything else is done with it (the alerts).
    using Observer = std::function<void(TroubleKind, std::wstring_view program, std::wstring_view details,
                                        std::wstring_view screenshot)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // A trouble of `kind` for `program` (empty: Vigilon's own); the command gets the path of a
    // screenshot of it in VIGILON_SCREENSHOT, when there is one.
    void Report(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                std::wstring_view screenshot = {});

    using Variables = std::vector<std::pair<std::wstring, std::wstring>>;
    // An escalation's event (escalate, cancelled, held, refused), each one rare and told every
    // time: the event log, and the command with `extra` variables besides the usual ones.
    void ReportEscalation(TroubleKind kind, std::wstring_view program, std::wstring_view details, Variables extra);
    // The same event's command alone, for one already said in the event log (a step held again).
    void RunEscalationCommand(TroubleKind kind, std::wstring_view program, std::wstring_view details, Variables extra);

    // The program's window is there, and has been since `runningSince` (monotonic milliseconds):
    // a program in trouble that has run long enough has recovered.
    void Running(std::wstring const& program, std::int64_t runningSince);

    // Ends the commands that ran too long, and starts the ones that wait.
    void Pass();

private:
    // The event log's entries for one program and kind.
    struct Logged {
        std::int64_t lastAt = 0;
        int heldBack = 0;
        std::wstring heldDetails;  // the last one held back
    };
    struct RunningCommand {
        std::uint32_t id;
        std::int64_t startedAt;
    };

    std::int64_t Now() { return platform_.events.MonotonicMilliseconds(); }
    void WriteEventLog(TroubleKind kind, std::wstring_view program, std::wstring_view details);
    // Writes an entry for a program's trouble, or holds it back when one of its kind was written
    // within kEventLogAfter.
    void LimitEventLog(TroubleKind kind, std::wstring const& program, std::wstring_view details);
    // Writes the entries held back whose minute is over.
    void FlushEventLog();
    // Queues the command for one trouble, and starts it when a place is free.
    void Run(std::wstring_view word, std::wstring_view program, std::wstring_view details,
             std::wstring_view screenshot = {}, Variables extra = {});
    void StartWaiting();

    Platform& platform_;
    SupervisionJournal& journal_;
    Supervisor& supervisor_;
    std::wstring historyPath_;
    bool eventLog_ = false;
    std::wstring command_;
    // Vigilon's own troubles that come and go with the network or a disk (a heartbeat, the metrics
    // file): the command last run for each, so that a flapping connection runs it at most once per
    // kRepeatAfter.
    std::map<TroubleKind, std::int64_t> ownLastRunAt_;
    std::map<std::pair<std::wstring, TroubleKind>, Logged> logged_;
    std::vector<RunningCommand> running_;
    std::deque<Variables> waiting_;
    bool failureSaid_ = false;  // a command that could not be started, or had to wait out, was told
    Observer observer_;
};

}  // namespace vigilon
