#include "engine/outputs/trouble_reporter.h"

#include <algorithm>

#include "support/local_time.h"

namespace vigilon {
namespace {

// What an event log entry adds for the entries of its kind held back before it.
std::wstring HeldBackSuffix(int heldBack) {
    if (heldBack <= 0) return L"";
    return L" (" + std::to_wstring(heldBack) + L" more held back since the last entry)";
}

std::uint16_t EventLogType(EventType type) {
    switch (type) {
    case EventType::Information: return kEventLogInformation;
    case EventType::Warning: return kEventLogWarning;
    case EventType::Error: return kEventLogError;
    }
    return kEventLogInformation;
}

// What a command's details add for the troubles it was not run for, kind by kind.
std::wstring UntoldSuffix(std::map<TroubleKind, int> const& untold) {
    std::wstring kinds;
    int total = 0;
    for (auto const& [kind, count] : untold) {
        if (count <= 0) continue;
        total += count;
        kinds += (kinds.empty() ? L"" : L", ") + std::to_wstring(count) + L" " + std::wstring(TroubleName(kind));
    }
    if (total == 0) return L"";
    return L" (" + std::to_wstring(total) + (total == 1 ? L" more trouble" : L" more troubles") +
           L" since the last report: " + kinds + L")";
}

}  // namespace

TroubleReporter::TroubleReporter(Platform& platform, SupervisionJournal& journal, Supervisor& supervisor,
                                 std::wstring historyPath)
    : platform_(platform), journal_(journal), supervisor_(supervisor), historyPath_(std::move(historyPath)) {}

void TroubleReporter::Report(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                             std::wstring_view screenshot) {
    if (observer_) observer_(kind, program, details, screenshot);
    if (program.empty()) {  // Vigilon's own: every one is told, a flapping one's command held back
        WriteEventLog(kind, program, details);
        if (!IsProblem(kind)) return;
        if (kind == TroubleKind::HeartbeatFailed || kind == TroubleKind::MetricsUnwritable) {
            auto const last = ownLastRunAt_.find(kind);
            if (last != ownLastRunAt_.end() && Now() - last->second < kRepeatAfter) return;
            ownLastRunAt_[kind] = Now();
        }
        Run(Describe(kind).word, program, details);
        return;
    }
    std::wstring const name(program);
    LimitEventLog(kind, name, details);
    if (!IsProblem(kind)) return;
    TroubleTold& trouble = supervisor_.StateOf(name).trouble;
    std::int64_t const now = Now();
    trouble.inTrouble = true;
    trouble.lastTroubleAt = now;
    auto const last = trouble.lastRunAt.find(kind);
    if (last != trouble.lastRunAt.end() && now - last->second < kRepeatAfter) {
        ++trouble.untold[kind];
        return;
    }
    // A kind new to the program, or its repeat after the quiet time: with what was held back.
    Run(Describe(kind).word, program, std::wstring(details) + UntoldSuffix(trouble.untold), screenshot);
    trouble.lastRunAt[kind] = now;
    trouble.untold.clear();
}

void TroubleReporter::LimitEventLog(TroubleKind kind, std::wstring const& program, std::wstring_view details) {
    if (!eventLog_) return;
    Logged& logged = logged_[{program, kind}];
    std::int64_t const now = Now();
    if (logged.lastAt != 0 && now - logged.lastAt < kEventLogAfter) {
        ++logged.heldBack;
        logged.heldDetails = details;
        return;
    }
    WriteEventLog(kind, program, std::wstring(details) + HeldBackSuffix(logged.heldBack));
    logged = {now, 0, {}};
}

void TroubleReporter::FlushEventLog() {
    std::int64_t const now = Now();
    for (auto& [key, logged] : logged_) {
        if (logged.heldBack == 0 || now - logged.lastAt < kEventLogAfter) continue;
        // The last one held back stands for them all, with their count.
        WriteEventLog(key.second, key.first, logged.heldDetails + HeldBackSuffix(logged.heldBack - 1));
        logged = {now, 0, {}};
    }
}

void TroubleReporter::Running(std::wstring const& program, std::int64_t runningSince) {
    TroubleTold& trouble = supervisor_.StateOf(program).trouble;
    if (!trouble.inTrouble) return;
    if (Now() - std::max(runningSince, trouble.lastTroubleAt) < kRecoveredAfter) return;
    std::wstring const details = L"ran 5 minutes without trouble" + UntoldSuffix(trouble.untold);
    trouble = {};
    journal_.Log(Describe(TroubleKind::Recovered).word, program, details);
    LimitEventLog(TroubleKind::Recovered, program, details);
    Run(Describe(TroubleKind::Recovered).word, program, details);
}

void TroubleReporter::WriteEventLog(TroubleKind kind, std::wstring_view program, std::wstring_view details) {
    if (!eventLog_) return;
    TroubleInfo const info = Describe(kind);
    platform_.eventLog.Write(EventLogType(info.type), MessageId(info), program, details);
}

void TroubleReporter::ReportEscalation(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                                       Variables extra) {
    WriteEventLog(kind, program, details);
    Run(Describe(kind).word, program, details, {}, std::move(extra));
}

void TroubleReporter::RunEscalationCommand(TroubleKind kind, std::wstring_view program, std::wstring_view details,
                                           Variables extra) {
    Run(Describe(kind).word, program, details, {}, std::move(extra));
}

void TroubleReporter::Run(std::wstring_view word, std::wstring_view program, std::wstring_view details,
                          std::wstring_view screenshot, Variables extra) {
    if (command_.empty()) return;
    if (waiting_.size() >= kMostWaiting) {
        if (!failureSaid_) journal_.Log(L"command", {}, L"not run: " + std::to_wstring(kMostWaiting) + L" wait already");
        failureSaid_ = true;
        return;
    }
    waiting_.push_back({{L"VIGILON_EVENT", std::wstring(word)},
                        {L"VIGILON_PROGRAM", std::wstring(program)},
                        {L"VIGILON_DETAILS", std::wstring(details)},
                        {L"VIGILON_TIME", DateTimeText(platform_.events.LocalTimeNow())},
                        {L"VIGILON_COMPUTER", platform_.system.ComputerName()},
                        {L"VIGILON_HISTORY", historyPath_}});
    if (!screenshot.empty()) waiting_.back().emplace_back(L"VIGILON_SCREENSHOT", std::wstring(screenshot));
    for (auto& variable : extra) waiting_.back().push_back(std::move(variable));
    StartWaiting();
}

void TroubleReporter::Pass() {
    // A command's time is counted awake only: one running across a sleep is not ended on waking.
    std::int64_t const awake = platform_.events.AwakeMilliseconds();
    int ended = 0;
    std::erase_if(running_, [&](RunningCommand const& command) {
        if (platform_.commands.Finished(command.id)) return true;
        if (awake - command.startedAt < kLongestRun) return false;
        platform_.commands.End(command.id);
        ++ended;
        return true;
    });
    // Logged once the list is whole again: a line that cannot be written is itself a trouble,
    // which may start a command.
    for (int i = 0; i < ended; ++i) journal_.Log(L"command", {}, L"ended after running 2 minutes");
    StartWaiting();
    FlushEventLog();
}

void TroubleReporter::StartWaiting() {
    while (running_.size() < kMostRunning && !waiting_.empty()) {
        Variables const variables = std::move(waiting_.front());
        waiting_.pop_front();
        std::optional<std::uint32_t> const id = platform_.commands.Start(command_, variables);
        if (!id) {
            // Said once, until a command starts again.
            if (!failureSaid_) {
                journal_.Log(L"command", {}, L"could not be started (OnEvent in the settings)");
                journal_.Notice(L"The command on trouble could not be started.");
            }
            failureSaid_ = true;
            continue;
        }
        failureSaid_ = false;
        running_.push_back({*id, platform_.events.AwakeMilliseconds()});
    }
}

}  // namespace vigilon
